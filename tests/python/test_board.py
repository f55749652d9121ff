"""The vrx630 module against in-process simulated boards."""

import _thread
import pathlib
import signal
import threading
import time

import pytest

import vrx630

# A set-up that differs from reset in every register: a load of it writes them all.
EXAMPLE_CONFIG = pathlib.Path(__file__).parents[2] / "packaging" / "examples" / "bench.toml"


def test_the_board_says_what_it_is(board):
    assert board.identification == "VRX630/VRX52x evaluation board"
    assert board.variant == "52x"
    assert board.port.startswith("/dev/") and board.clock_mhz == 16


def test_ports_lists_com1_to_com9_first_as_the_program_does():
    ports = vrx630.ports()
    assert [p["port"] for p in ports[:9]] == [f"COM{n}" for n in range(1, 10)]
    assert ports[0]["device"] == "/dev/ttyS0"


def test_a_move_with_wait_ends_where_the_motor_arrived(board):
    moved = board.move(2, mode="RAMP", target=300, vmax=1000, amax=1000, wait=True)
    assert moved["X_ACTUAL"] == 300
    assert board.get("X_ACTUAL", motor=2)["X_ACTUAL"] == 300
    assert board.status()["motors"][1]["X_ACTUAL"] == 300


@pytest.mark.parametrize("name, motor, fields, read_back", [
    ("A_MAX", 2, {"value": 123}, {"A_MAX": 123}),
    ("REF_CONF", 1, {"DISABLE_STOP_L": 1}, {"REF_CONF": "0b0001"}),
    ("V_MAX", 3, {"value": "0x7FF"}, {"V_MAX": 2047}),
])
def test_what_set_writes_get_reads_back(board, name, motor, fields, read_back):
    value = fields.pop("value", None)
    board.set(name, value, motor=motor, **fields)
    got = board.get(name, motor=motor)
    for key, expected in read_back.items():
        assert got[key] == expected, got


@pytest.mark.parametrize("call, message", [
    (lambda b: b.move(1, "RAMP", target=1 << 30), "target"),
    (lambda b: b.move(4, "RAMP"), "motor"),
    (lambda b: b.move(1, "SIDEWAYS"), "mode"),
    (lambda b: b.set("A_MAX", 5000, motor=1), "A_MAX"),
    (lambda b: b.set("REF_CONF", motor=1, NO_SUCH_BIT=1), "NO_SUCH_BIT"),
    (lambda b: b.get("NO_SUCH"), "NO_SUCH"),
    (lambda b: b.raw(0x100, 0, 0, 0), "b0"),
    (lambda b: b.ram_write(b"\0" * 127), "128 bytes"),
])
def test_a_refused_value_sends_nothing(board, call, message):
    before = board.received()
    with pytest.raises(ValueError, match=message):
        call(board)
    assert board.received() == before


@pytest.mark.parametrize("clock_mhz, call, key, expected", [
    # Dividers 7/7: one V_MAX unit is 1.907 steps/s at 16 MHz, twice that at 32.
    (16, lambda b: b.get("V_MAX"), "V_MAX_STEPS_S", 16e6 * 500 / 2**23),
    (32, lambda b: b.get("V_MAX"), "V_MAX_STEPS_S", 32e6 * 500 / 2**23),
    (16, lambda b: b.move(1, "RAMP", target=5, vmax_steps=1907, amax=1000), "V_MAX", 1000),
    (16, lambda b: b.status()["motors"][0], "V_TARGET_STEPS_S", 0.0),
    (16, lambda b: next(b.watch(count=1, units=True)), "A_ACTUAL_1_STEPS_S2", 0.0),
])
def test_values_in_steps_per_second_at_the_clock(clock_mhz, call, key, expected):
    with vrx630.Board.simulated("52x", clock_mhz=clock_mhz) as b:
        b.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
        b.set("V_MAX", 500, motor=1)
        assert call(b)[key] == pytest.approx(expected)


def test_a_step_rate_no_raw_value_fits_moves_nothing(board):
    board.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
    before = len(board.received())
    with pytest.raises(ValueError, match="vmax_steps: 5,000 steps/s fits no V_MAX"):
        board.move(1, "RAMP", target=5, vmax_steps=5000)
    # A rate that would round to raw 0 is no V_MAX either.
    with pytest.raises(ValueError, match="vmax_steps: 0.1 steps/s is below the smallest step"):
        board.move(1, "RAMP", target=5, vmax_steps=0.1)
    assert board.received()[before:] == bytes([0x23, 0x19, 0, 0, 0]) * 2  # the dividers' reads
    board.set("PULSDIV", motor=1, PULSDIV=0, RAMPDIV=13)
    with pytest.raises(ValueError, match="no A_MAX is advisable for PULSDIV 0 and RAMPDIV 13"):
        board.move(1, "RAMP", target=5, vmax=100, amax=2047)
    with pytest.raises(ValueError, match="clock_mhz: 0 is out of range 1..32"):
        vrx630.Board.simulated("plain", clock_mhz=0)


def test_config_save_diff_and_load(board, tmp_path):
    path = tmp_path / "bench.toml"
    board.config_save(path)
    assert board.config_diff(path) == []
    board.set("A_MAX", 77, motor=2)
    assert board.config_diff(str(path))[0]["field"] == "A_MAX"
    written = board.config_load(path)
    assert [d["chip"] for d in written] == [77]
    assert board.config_diff(path) == []
    assert board.get("A_MAX", motor=2)["A_MAX"] != 77


def test_a_refused_file_names_its_line_and_key(board, tmp_path):
    path = tmp_path / "bad.toml"
    path.write_text("[file]\nformat = 1\n\n[motor2]\nA_MAX = 99999\n")
    before = board.received()
    with pytest.raises(vrx630.FileRefused) as refused:
        board.config_load(path)
    assert (refused.value.line, refused.value.key) == (5, "motor2.A_MAX")
    assert board.received() == before


def test_the_ram_round_trip(board, tmp_path):
    data = bytes(range(128))
    board.ram_write(data)
    assert board.ram_read(tmp_path / "ram.630") == data
    board.ram_write(bytes(128))
    board.ram_write(tmp_path / "ram.630")
    assert board.ram_read() == data


def test_watch_yields_the_recorders_rows(board):
    rows = list(board.watch(interval_ms=0, count=3))
    assert len(rows) == 3
    assert list(rows[0])[0] == "time_ms" and len(rows[0]) == 14
    assert rows[0]["time_ms"] <= rows[2]["time_ms"]


def test_ctrl_c_ends_a_long_wait_and_the_board_still_answers(board):
    timer = threading.Timer(0.3, _thread.interrupt_main)
    timer.start()
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        board.move(1, mode="RAMP", target=8000000, vmax=1, amax=1000, wait=True)
    # The move would take hours; ending the wait is the interrupt's doing, not the motor's.
    assert time.monotonic() - started < 5
    board.stop(1)
    assert board.get("V_ACTUAL", motor=1)["V_ACTUAL"] == 0


def test_two_boards_from_two_threads():
    with vrx630.Board.simulated("52x") as first, vrx630.Board.simulated("880") as second:
        for b in (first, second):
            # Dividers 7/7: 1,907 steps/s at V_MAX 1000, so the moves last about a second.
            b.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
        results = {}

        def run(name, b, target):
            results[name] = b.move(1, "RAMP", target=target, vmax=1000, amax=1000, wait=True)

        threads = [threading.Thread(target=run, args=("first", first, 2000)),
                   threading.Thread(target=run, args=("second", second, -2000))]
        for t in threads:
            t.start()
        # Both wait on their lines without the GIL, so this thread runs meanwhile.
        time.sleep(0.2)
        assert all(t.is_alive() for t in threads)
        for t in threads:
            t.join(timeout=30)
        assert results == {"first": {"motor": 1, "mode": "RAMP", "X_ACTUAL": 2000},
                           "second": {"motor": 1, "mode": "RAMP", "X_ACTUAL": -2000}}


def test_a_pulled_port_raises_no_answer():
    with vrx630.Board.simulated("plain", hang_up_after=3) as b:
        with pytest.raises(vrx630.NoAnswer):
            for _ in range(10):
                b.get("X_ACTUAL")


def test_a_closed_board_refuses_commands(board):
    board.close()
    with pytest.raises(ValueError, match="closed"):
        board.status()


@pytest.mark.parametrize("command, partway", [
    (lambda b: b.move(1, mode="RAMP", target=8000000, vmax=1, amax=1000, wait=True), False),
    # 64 words at 50 ms each: the close comes in the middle.
    (lambda b: b.ram_write(bytes(128)), True),
    # 93 reads before any write: the close comes while the chip is read.
    (lambda b: b.config_load(EXAMPLE_CONFIG), False),
])
def test_close_from_another_thread_ends_a_command(command, partway):
    b = vrx630.Board.simulated("plain", delay_ms=50)
    threading.Timer(0.5, b.close).start()
    with pytest.raises(ValueError, match="closed during the command") as caught:
        command(b)
    if partway:
        assert 0 < caught.value.written < caught.value.planned == 64
    else:
        assert caught.value.written is None


def slow_move(b, **args):
    """Dividers 7/7: V_MAX 1000 is 1,907 steps/s, so 5000 steps take seconds."""
    b.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
    return lambda: b.move(1, "RAMP", target=5000, vmax=1000, amax=1000, wait=True, **args)


def in_thread(call):
    """CALL in a thread of its own, and the list that receives what it raises."""
    raised = []

    def run():
        try:
            call()
        except Exception as e:  # noqa: BLE001 - the test looks at it
            raised.append(e)

    thread = threading.Thread(target=run)
    thread.start()
    return thread, raised


def test_a_stop_from_another_thread_ends_a_waiting_move(board):
    mover, caught = in_thread(slow_move(board))
    time.sleep(0.5)
    started = time.monotonic()
    board.stop(1)
    # Not behind the move's wait, which would last seconds more.
    assert time.monotonic() - started < 1
    mover.join(timeout=10)
    position = board.get("X_ACTUAL", motor=1)["X_ACTUAL"]
    assert 0 < position < 5000
    assert [type(e) for e in caught] == [vrx630.Stopped]
    assert str(caught[0]) == f"motor 1 was stopped at {position} before reaching 5000"


def test_a_signal_handler_may_use_the_board(board):
    move = slow_move(board)
    previous = signal.signal(signal.SIGINT, lambda *_: board.stop("all"))
    try:
        threading.Timer(0.3, _thread.interrupt_main).start()
        with pytest.raises(vrx630.Stopped):
            move()
    finally:
        signal.signal(signal.SIGINT, previous)


def test_ctrl_c_ends_the_wait_for_a_line_another_thread_holds():
    with vrx630.Board.simulated("plain", delay_ms=1500) as b:
        holder, _ = in_thread(lambda: b.get("X_ACTUAL"))
        time.sleep(0.1)
        threading.Timer(0.2, _thread.interrupt_main).start()
        started = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            b.get("X_ACTUAL")
        # The other thread's telegram holds the line for 1.4 s more.
        assert time.monotonic() - started < 1
        holder.join()


def test_a_watch_goes_on_while_another_thread_waits_for_a_move(board):
    mover, _ = in_thread(slow_move(board))
    time.sleep(0.3)  # the move waits for its motor now
    arrived = [time.monotonic()]
    for _ in board.watch(interval_ms=50, count=20):
        arrived.append(time.monotonic())
    assert mover.is_alive()  # the rows came between the move's own telegrams
    board.stop(1)
    mover.join(timeout=10)
    assert max(later - earlier for earlier, later in zip(arrived, arrived[1:])) <= 0.2


def test_watch_units_follow_the_boards_own_divider_writes(board):
    board.set("PULSDIV", motor=1, PULSDIV=7, RAMPDIV=7)
    board.move(1, "HOLD", velocity=1000)
    rows = board.watch(units=True)
    slow = next(rows)["V_ACTUAL_1_STEPS_S"]
    board.set("PULSDIV", motor=1, PULSDIV=0)
    assert next(rows)["V_ACTUAL_1_STEPS_S"] == pytest.approx(128 * slow)


def test_a_slow_motor_is_not_standing_still(board):
    # PULSDIV 13: V_MAX 8 is 0.24 steps/s, over 2 s for each step.
    board.set("PULSDIV", motor=1, PULSDIV=13, RAMPDIV=0)
    moved = board.move(1, "RAMP", target=1, vmin=8, vmax=8, amax=2047, wait=True, force=True)
    assert moved["X_ACTUAL"] == 1


@pytest.mark.parametrize("call, message", [
    (lambda b: b.move(1, "RAMP", target=1.5), "target takes an int, not float"),
    (lambda b: b.move("1", "RAMP"), "motor takes an int, not str"),
    (lambda b: b.move(1, "RAMP", vmax_steps="fast"), "vmax_steps takes an int or a float"),
])
def test_a_wrong_type_is_a_plain_type_error(board, call, message):
    with pytest.raises(TypeError, match=f"^{message}"):
        call(board)


def test_a_capture_catches_the_arrival_of_a_move(board):
    move = slow_move(board)  # 5000 steps at 1,907 steps/s: the arrival in about 3 s
    mover, _ = in_thread(move)
    rows = board.capture("arrived:1", pre_ms=300, post_ms=100, timeout=10)
    mover.join(timeout=10)
    # The first pass with the arrival's bit is the trigger, at 0; passes read within the same
    # millisecond before it are at 0 too. A pass reads X_ACTUAL before the status, so the
    # trigger's own pass may show the last steps still to go; the next one shows the target.
    fired = next(i for i, row in enumerate(rows) if row["STATUS"] & 1)
    assert rows[fired]["time_ms"] == 0 and 4900 <= rows[fired]["X_ACTUAL_1"] <= 5000
    assert rows[fired + 1]["X_ACTUAL_1"] == 5000
    assert fired > 0 and all(row["time_ms"] <= 0 for row in rows[:fired])
    assert -300 <= rows[0]["time_ms"] and rows[-1]["time_ms"] >= 100
    with pytest.raises(TimeoutError, match="no X_ACTUAL1 = X_TARGET1 within 0.2 s"):
        board.capture("arrived:1", timeout=0.2)  # it stands at its target: no edge


def test_export_c_writes_a_saved_file_as_a_c_header(board, tmp_path):
    board.set("V_MAX", 1000, motor=1)
    path = tmp_path / "bench.toml"
    board.config_save(path)
    text = vrx630.export_c(path, name="axis_setup", clock_mhz=32, ram=False)
    assert "#define axis_setup_WORDS 29\n" in text
    assert "0x060003E8u, /* motor 1 register 3: V_MAX 1000 = 488,281 steps/s */" in text
    (tmp_path / "bad.toml").write_text("[file]\nformat = 1\n[motor2]\nA_MAX = 99999\n")
    for call, error, match in [
        (lambda: vrx630.export_c(path, name="9x"), ValueError, '"9x" is not a C identifier'),
        (lambda: vrx630.export_c(path, clock_mhz=0), ValueError, "clock_mhz: 0 is out of range"),
        (lambda: vrx630.export_c(tmp_path / "bad.toml"), vrx630.FileRefused, "line 4"),
        (lambda: vrx630.export_c(tmp_path / "none.toml"), OSError, "cannot read"),
    ]:
        with pytest.raises(error, match=match):
            call()
