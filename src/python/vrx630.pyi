"""The VRX630 evaluation board from Python: motors moved, registers read and written, the RAM
and the chip's configuration, on a serial port or a simulated board."""

import os
from types import TracebackType
from typing import Iterator, Literal, Optional, Union

__version__: str

Value = Union[int, str, bool, float]  # float: a value in steps/s or steps/s²
Path = Union[str, os.PathLike[str]]

class BoardError(Exception):
    """The board does not answer, refuses, or does not do what it was told."""

class NoAnswer(BoardError):
    """The board left a telegram unanswered, or its port went away. After a write that ended
    partway, `written` and `planned` say how far it got."""
    written: int
    planned: int

class NoMotion(BoardError):
    """A motor that was to arrive stood still for 2 s without arriving."""

class Stopped(NoMotion):
    """A motor that was to arrive was stopped on its way, by stop() of this board from another
    thread or a signal handler: "motor 1 was stopped at 1234 before reaching 5000"."""

class FileRefused(ValueError):
    """A configuration or .630 file that is not of its form."""
    path: str
    line: int  # from 1; 0 for the file as a whole
    key: Optional[str]  # the section and key at fault, as "motor2.X_TARGET"

class Watch(Iterator[dict[str, Union[int, float]]]):
    """The rows of Board.watch(), read as they come; float for the units columns."""
    def __iter__(self) -> Watch: ...
    def __next__(self) -> dict[str, Union[int, float]]: ...

class Board:
    """A board on a serial port, open and identified until close() or the end of `with`;
    closing gives the port its settings back."""

    def __init__(self, port: str, *, clock_mhz: int = 16) -> None:
        """Opens PORT (a device, a /dev/serial/by-id path or COMn) and identifies the board,
        whose clock is CLOCK_MHZ (1..32) for the values in steps/s and steps/s²."""
    @staticmethod
    def simulated(
        variant: Literal["plain", "zepha", "balsen", "516", "52x", "880"] = "plain",
        *,
        wire_timing: bool = False,
        hang_up_after: Optional[int] = None,
        delay_ms: int = 0,
        silent: bool = False,
        clock_mhz: int = 16,
    ) -> Board:
        """An in-process simulated board of VARIANT, running at CLOCK_MHZ (1..32)."""
    def close(self) -> None:
        """Gives the port its settings back; every command after it raises ValueError."""
    def __enter__(self) -> Board: ...
    def __exit__(
        self,
        exc_type: Optional[type[BaseException]],
        exc: Optional[BaseException],
        tb: Optional[TracebackType],
    ) -> Literal[False]: ...
    @property
    def identification(self) -> str:
        """What the board says it is: "VRX630/VRX52x evaluation board"."""
    @property
    def variant(self) -> str:
        """plain, zepha, balsen, 516, 52x or 880."""
    @property
    def port(self) -> str:
        """The port as it was given; a simulated board's device."""
    @property
    def clock_mhz(self) -> int:
        """The board's clock in MHz, at which values in steps/s are taken."""
    def move(
        self,
        motor: int,
        mode: Literal["RAMP", "SOFTMODE", "VELOCITY", "HOLD"],
        target: Optional[int] = None,
        velocity: Optional[int] = None,
        vmin: Optional[int] = None,
        vmax: Optional[int] = None,
        amax: Optional[int] = None,
        wait: bool = False,
        force: bool = False,
        *,
        vmax_steps: Optional[float] = None,
        amax_steps: Optional[float] = None,
    ) -> dict[str, Value]:
        """Moves MOTOR (1..3) as the motor panel's Go does; what is not given is read from the
        chip. vmax_steps, amax_steps: V_MAX in steps/s, A_MAX in steps/s², instead of vmax, amax,
        sent as the nearest raw value at the motor's dividers (V_MAX and V_MAX_STEPS_S in the
        result). wait: until the motor arrives; NoMotion after 2 s of standing still, Stopped
        at once when stop() of this board stops it on its way."""
    def get(self, name: str, motor: Optional[int] = None) -> dict[str, Value]:
        """The register NAME (or the one holding the field NAME): its data and every field; a
        velocity or acceleration also in steps/s or steps/s² (V_MAX_STEPS_S, A_MAX_STEPS_S2)."""
    def set(
        self, name: str, value: Union[int, str, None] = None, *, motor: Optional[int] = None,
        force: bool = False, **fields: Union[int, str],
    ) -> dict[str, Value]:
        """Writes the register NAME; the fields not given keep what the chip holds. Values lie in
        the range the program advises, or with FORCE in what the chip holds (P_MUL 0)."""
    def status(self) -> dict[str, object]:
        """{"motors": [dict per motor, V_ACTUAL_STEPS_S ... too], "status": the status bits by
        name}."""
    def watch(
        self, interval_ms: int = 0, count: Optional[int] = None, *, units: bool = False
    ) -> Watch:
        """The polling pass every INTERVAL_MS, COUNT rows (None: until Ctrl+C); units: each
        motor's V_ACTUAL, A_ACTUAL and V_TARGET also in steps/s and steps/s², at the dividers
        of each row's moment as this board's own telegrams change them."""
    def ram_read(self, path: Optional[Path] = None) -> bytes:
        """The chip's 128 bytes of RAM; with PATH also written there as a .630 file."""
    def ram_write(self, data: Union[bytes, bytearray, Path]) -> None:
        """Writes the RAM: 128 bytes, or the .630 file a path names."""
    def config_save(self, path: Path) -> None:
        """Every setting register and the RAM into the configuration file PATH."""
    def config_diff(self, path: Path) -> list[dict[str, Value]]:
        """What differs between the chip and the file."""
    def config_load(self, path: Path, *, dry_run: bool = False) -> list[dict[str, Value]]:
        """Writes what differs from the file and reads it back; returns what was written."""
    def stop(self, motor: Union[int, Literal["all"]] = "all") -> None:
        """Stops MOTOR (1..3) or all three as the Stop buttons do; it goes out at once, even
        while another thread waits in move(wait=True), which then raises Stopped."""
    def capture(
        self, trigger: str, *, pre_ms: int = 500, post_ms: int = 2000, timeout: float = 10,
        units: bool = False,
    ) -> list[dict[str, Union[int, float]]]:
        """The passes around the first time TRIGGER ("arrived:1", "switch:2", "above:1:1000",
        "below:3:1907steps") becomes true: the rows of watch() from PRE_MS before it to POST_MS
        after, time_ms counted from it; TimeoutError when it does not come within TIMEOUT s."""
    def raw(self, b0: int, b1: int, b2: int, b3: int) -> bytes:
        """Sends one telegram of four bytes and returns the board's four-byte answer."""
    def received(self) -> bytes:
        """A simulated board: the bytes it has received, oldest first; the newest 65,536."""

def ports() -> list[dict[str, str]]:
    """The serial ports here: a list of {port, device, description}."""

def export_c(
    path: Path, *, name: str = "vrx630_config", clock_mhz: int = 16, ram: bool = True
) -> str:
    """The configuration file PATH as a C header for firmware: the words that take a chip from
    reset to it, NAME[NAME_WORDS], each commented with its fields and steps/s at CLOCK_MHZ."""
