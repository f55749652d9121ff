"""Boards behind a real ser2net on 127.0.0.1, started here with a configuration written here."""
import os
import shutil
import signal
import socket
import subprocess
import threading
import time

import pytest

import vrx630

SIM = os.environ.get("VRX630_SIM", "")


def listening(port):
    wanted = "0100007F:%04X" % port
    with open("/proc/net/tcp") as table:
        return any(line.split()[1] == wanted and line.split()[3] == "0A"
                   for line in table.readlines()[1:])


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@pytest.fixture
def two_kits(tmp_path):
    """Two simulated boards, each served by ser2net by RFC 2217 on its own port."""
    ser2net = shutil.which("ser2net") or "/usr/sbin/ser2net"
    assert os.access(ser2net, os.X_OK), "ser2net is not installed (Debian package ser2net)"
    assert SIM, "VRX630_SIM names the simulated board's program"
    processes, ports, yaml = [], [], ["%YAML 1.1", "---"]
    # The servers are programs of their own, not the module's: no sanitizer preloaded into them.
    env = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
    try:
        for i in range(2):
            link = tmp_path / f"kit{i}"
            processes.append(subprocess.Popen([SIM, "--link", str(link), "--variant", "52x"],
                                              stdout=subprocess.DEVNULL, env=env))
            port = free_port()
            ports.append(port)
            yaml += [f"connection: &kit{i}",
                     f"  accepter: telnet(rfc2217),tcp,127.0.0.1,{port}",
                     f"  connector: serialdev,{link},19200n81,local",
                     "  options:", "    max-connections: 1", "    chardelay: false"]
        deadline = time.monotonic() + 5
        while not all((tmp_path / f"kit{i}").exists() for i in range(2)):
            assert time.monotonic() < deadline, "vrx630-sim did not start"
            time.sleep(0.02)
        (tmp_path / "ser2net.yaml").write_text("\n".join(yaml) + "\n")
        processes.append(subprocess.Popen([ser2net, "-n", "-u", "-c", str(tmp_path / "ser2net.yaml"),
                                           "-P", str(tmp_path / "ser2net.pid")],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                          env=env))
        while not all(listening(p) for p in ports):
            assert time.monotonic() < deadline, "ser2net did not listen"
            time.sleep(0.02)
        yield [f"rfc2217://127.0.0.1:{p}" for p in ports]
    finally:
        for p in reversed(processes):
            p.send_signal(signal.SIGTERM)
            p.wait(timeout=10)


def test_two_boards_through_two_ser2net_ports_from_two_threads(two_kits):
    with vrx630.Board(two_kits[0]) as first, vrx630.Board(two_kits[1]) as second:
        assert first.variant == second.variant == "52x"
        results, reads = {}, {}

        def run(name, b, target):
            b.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
            results[name] = b.move(1, "RAMP", target=target, vmax=1000, amax=1000, wait=True)
            # X_ACTUAL -1 travels as FF FF FF: telnet's IAC both ways.
            b.set("X_ACTUAL", motor=2, X_ACTUAL=-1)
            reads[name] = b.get("X_ACTUAL", motor=2)["X_ACTUAL"]

        threads = [threading.Thread(target=run, args=("first", first, 2000)),
                   threading.Thread(target=run, args=("second", second, -2000))]
        for t in threads:
            t.start()
        for t in threads:
            t.join(timeout=30)
        assert results == {"first": {"motor": 1, "mode": "RAMP", "X_ACTUAL": 2000},
                           "second": {"motor": 1, "mode": "RAMP", "X_ACTUAL": -2000}}
        assert reads == {"first": -1, "second": -1}


def test_a_refused_network_port_raises_at_once(two_kits):
    nobody = free_port()
    with vrx630.Board(two_kits[0]):
        for port, says in [(f"rfc2217://127.0.0.1:{nobody}", f"nothing listens at 127.0.0.1:{nobody}"),
                           (two_kits[0], "in use by another client of " + two_kits[0][10:]),
                           ("tcp://127.0.0.1:1", "unknown port type tcp://")]:
            started = time.monotonic()
            with pytest.raises(ValueError, match=says):
                vrx630.Board(port)
            assert time.monotonic() - started < 3
