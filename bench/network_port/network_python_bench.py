#!/usr/bin/env python3
"""Reads of X_ACTUAL through the vrx630 module against one simulated board with wire timing:
on its pseudo-terminal, then through ser2net on 127.0.0.1 by RFC 2217 and as raw TCP.

    network_python_bench.py SIM [COUNT]    SIM: vrx630-sim (COUNT 1000); needs ser2net

Goal: through the network at least 95 % of the direct reads per second."""

import socket
import subprocess
import sys
import tempfile
import time

import vrx630


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def reads_per_second(port, count):
    time.sleep(0.5)  # ser2net lets go of the device a moment after the last client closed
    with vrx630.Board(port) as board:
        started = time.monotonic()
        for _ in range(count):
            board.get("X_ACTUAL")
        return count / (time.monotonic() - started)


def main():
    sim = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    board = subprocess.Popen([sim, "--wire-timing", "--variant", "52x"], stdout=subprocess.PIPE,
                             text=True)
    rfc, raw = free_port(), free_port()
    with tempfile.TemporaryDirectory() as folder:
        try:
            device = board.stdout.readline().strip()
            with open(f"{folder}/ser2net.yaml", "w") as yaml:
                yaml.write("%YAML 1.1\n---\n"
                           f"connection: &rfc\n  accepter: telnet(rfc2217),tcp,127.0.0.1,{rfc}\n"
                           f"  connector: serialdev,{device},19200n81,local\n"
                           "  options:\n    chardelay: false\n"
                           f"connection: &raw\n  accepter: tcp,127.0.0.1,{raw}\n"
                           f"  connector: serialdev,{device},19200n81,local\n"
                           "  options:\n    chardelay: false\n")
            server = subprocess.Popen(["ser2net", "-n", "-u", "-c", f"{folder}/ser2net.yaml",
                                       "-P", f"{folder}/ser2net.pid"])
            time.sleep(0.5)
            try:
                direct = reads_per_second(device, count)
                network = reads_per_second(f"rfc2217://127.0.0.1:{rfc}", count)
                tcp = reads_per_second(f"socket://127.0.0.1:{raw}", count)
            finally:
                server.terminate()
                server.wait()
        finally:
            board.terminate()
            board.wait()
    print(f"{count} reads of X_ACTUAL through the vrx630 module, a second:")
    print(f"  on the pseudo-terminal     {direct:7.1f}")
    print(f"  through ser2net, RFC 2217  {network:7.1f}  = {100 * network / direct:.1f} % of direct "
          "(goal >= 95 %)")
    print(f"  through ser2net, raw TCP   {tcp:7.1f}  = {100 * tcp / direct:.1f} % of direct")


if __name__ == "__main__":
    main()
