import pytest

import vrx630


@pytest.fixture
def board():
    """A simulated board of the 52x kit, open for one test and closed after it."""
    with vrx630.Board.simulated("52x") as b:
        yield b
