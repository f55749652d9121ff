#!/usr/bin/env python3
"""Reads of X_ACTUAL through the vrx630 module and as vrx630ctl calls, against one simulated
board with wire timing on a pseudo-terminal: the module keeps its port open and the board
identified, each vrx630ctl call opens the port and detects the board first.

    python_module_bench.py SIM CTL [COUNT]    SIM: vrx630-sim, CTL: vrx630ctl (COUNT 1000)

Prints the reads per second of each beside the wire's own bound: a 5-byte request and a 4-byte
reply at 19200 baud, 213 a second."""

import subprocess
import sys
import time

import vrx630

WIRE_READS_PER_SECOND = 213


def main():
    sim, ctl = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    board_process = subprocess.Popen([sim, "--wire-timing", "--variant", "52x"],
                                     stdout=subprocess.PIPE, text=True)
    try:
        device = board_process.stdout.readline().strip()
        with vrx630.Board(device) as board:
            started = time.monotonic()
            for _ in range(count):
                board.get("X_ACTUAL")
            module_rate = count / (time.monotonic() - started)
        started = time.monotonic()
        for _ in range(count):
            subprocess.run([ctl, "--port", device, "get", "X_ACTUAL"], check=True,
                           stdout=subprocess.DEVNULL)
        ctl_rate = count / (time.monotonic() - started)
    finally:
        board_process.terminate()
        board_process.wait()
    print(f"{count} reads of X_ACTUAL")
    print(f"  vrx630 module     {module_rate:7.1f} a second "
          f"({100 * module_rate / WIRE_READS_PER_SECOND:.0f} % of the wire's "
          f"{WIRE_READS_PER_SECOND})")
    print(f"  vrx630ctl calls   {ctl_rate:7.1f} a second")


if __name__ == "__main__":
    main()
