import os
from pathlib import Path

import pytest

# The bundled examples: ctest names them; run by hand from the source tree,
# they lie two folders up.
EXAMPLES = Path(os.environ.get("DRAINPREP_EXAMPLES", Path(__file__).resolve().parents[2] / "examples"))


@pytest.fixture(scope="session")
def soils() -> dict[str, str]:
    """The bundled soils by file name."""
    return {p.name: p.read_text() for p in sorted((EXAMPLES / "soils").glob("*.dat"))}


@pytest.fixture(scope="session")
def weather() -> list[tuple[list[str], str]]:
    """The bundled weather series with their argument lists."""
    runs = []
    for line in (EXAMPLES / "weather" / "COMMANDS").read_text().splitlines():
        if line.strip():
            args = line.split()
            runs.append((args, (EXAMPLES / "weather" / args[0]).read_text()))
    return runs
