from collections.abc import Sequence
from dataclasses import dataclass

__version__: str

@dataclass(frozen=True)
class Outcome:
    ok: bool
    log: str
    console: list[str]
    files: dict[str, str]
    @property
    def message(self) -> str: ...

def pedopre(args: Sequence[str], files: dict[str, str | bytes]) -> Outcome: ...
def metconv(args: Sequence[str], files: dict[str, str | bytes]) -> Outcome: ...
def pedopre_on_disk(args: Sequence[str]) -> Outcome: ...
def metconv_on_disk(args: Sequence[str]) -> Outcome: ...
