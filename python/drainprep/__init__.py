"""drainprep from Python: the soil-property preprocessor PEDOPRE and the
weather converter METCONV, run in this process on files held in memory or on
the disk.

    import drainprep
    text = open("soil.dat").read()
    r = drainprep.pedopre(["soil.dat"], {"soil.dat": text})
    if r.ok:
        sin = r.files["soil.SIN"]

A run ends as the program ends: one log record, console lines and the files
it wrote, gathered in an :class:`Outcome`. A run that ends with an error line
gives an outcome with ``ok == False``. Misuse raises instead: arguments or
files of the wrong type raise ``TypeError``, a wrong number of arguments
raises ``ValueError``, and an input file that does not exist raises
``FileNotFoundError``, each with the run's own message and the run's outcome
as the exception's ``outcome`` attribute.

Every run releases the interpreter's lock while it works, so a thread pool
runs soils and weather series side by side.

Soils and weather from the data people have, taking and giving NumPy
arrays: :func:`fit_van_genuchten`, :func:`texture_class`,
:func:`texture_classes`, :func:`hypres`, :func:`pet_hargreaves`,
:func:`pet_penman_monteith`, :func:`pet_thornthwaite` and
:func:`extraterrestrial_radiation`.
"""

from __future__ import annotations

import errno as _errno
import os as _os
from dataclasses import dataclass as _dataclass
from dataclasses import field as _field

from . import _drainprep
from ._data import (
    Estimate,
    Pedotransfer,
    TextureClass,
    VanGenuchtenFit,
    extraterrestrial_radiation,
    fit_van_genuchten,
    hypres,
    pet_hargreaves,
    pet_penman_monteith,
    pet_thornthwaite,
    texture_class,
    texture_classes,
)
from ._tables import (
    Characteristic,
    Conductivity,
    Drainage,
    GreenAmpt,
    Layer,
    SinCharacteristic,
    SinDepthTable,
    SoilInputFile,
    SoilTables,
    Table,
    UpwardFlux,
)

__all__ = [
    "soil_tables",
    "SoilTables",
    "Outcome",
    "pedopre",
    "metconv",
    "pedopre_on_disk",
    "metconv_on_disk",
    "fit_van_genuchten",
    "VanGenuchtenFit",
    "Estimate",
    "texture_class",
    "texture_classes",
    "TextureClass",
    "hypres",
    "Pedotransfer",
    "pet_hargreaves",
    "pet_penman_monteith",
    "pet_thornthwaite",
    "extraterrestrial_radiation",
    "__version__",
]

__version__: str = _drainprep.version()


@_dataclass(frozen=True)
class Outcome:
    """What a PEDOPRE or METCONV run ended with.

    Attributes:
        ok: True when the log says the run ended normally.
        log: the log's one record without its line end (METCONV's keeps its
            blank padding to 256 characters); empty when the run wrote no log.
        console: the console lines, without their line ends.
        files: file name to text. In memory: every file after the run, the
            inputs included. On disk: the files the run wrote (log and
            outputs), read back after the run.
    """

    ok: bool
    log: str
    console: list[str]
    files: dict[str, str] = _field(repr=False)

    @property
    def message(self) -> str:
        """The run's own word on its outcome: the log record without its
        padding, or the console lines when the run wrote no log."""
        return self.log.strip() or "\n".join(line for line in self.console if line.strip())


def _outcome(raw: tuple) -> Outcome:
    log, console, files, ok = raw
    return Outcome(ok=ok, log=log, console=console, files=files)


def _checked(outcome: Outcome, program: str, args: list[str], counts: tuple[int, ...], input_missing) -> Outcome:
    """Raises for misuse, after the run has given its own message."""
    alone = len(args) == 1 and args[0] in ("--help", "--version")
    if not outcome.ok and not alone and len(args) not in counts:
        wanted = "one argument" if counts == (1,) else f"{counts[0]} to {counts[-1]} arguments"
        err = ValueError(f"{program} takes {wanted}, not {len(args)}: {outcome.message}")
        err.outcome = outcome  # type: ignore[attr-defined]
        raise err
    if not outcome.ok and not alone and input_missing(args[0]):
        err = FileNotFoundError(_errno.ENOENT, outcome.message, args[0])
        err.outcome = outcome  # type: ignore[attr-defined]
        raise err
    return outcome


def soil_tables(text: str | bytes, name: str = "soil.dat") -> SoilTables:
    """The tables of the soil whose main input file holds ``text``, as NumPy
    arrays, without writing any file.

    Args:
        text: the main input file's text (title, layers, closing record).
        name: the name the log record gives the input, as PEDOPRE would for
            a file of that name.

    Returns:
        :class:`SoilTables`: ``ok``, the ``log`` record, and per layer the
        characteristic and conductivity, the drained volume and drainable
        porosity every 10 cm, Green-Ampt A and B, the water table of each
        upward flux and the soil input file's values; each value as its
        file prints it. A soil refused by the run's checks gives
        ``ok == False`` and the log's error line; ``to_frames()`` gives pandas
        DataFrames.

    Raises:
        TypeError: text is not str or bytes, or name not str.
    """
    return SoilTables(_drainprep.soil_tables(text, name))


# PEDOPRE <INFILE>; METCONV <INFILE> <TYPE> <UNITS> <STA> [<NHR> <BEGHR>].
# --help and --version alone are answered by the programs themselves.
_PEDOPRE_COUNTS = (1,)
_METCONV_COUNTS = (4, 5, 6)


def pedopre(args: list[str], files: dict[str, str | bytes]) -> Outcome:
    """PEDOPRE on files held in memory; nothing touches the disk.

    Args:
        args: the program's arguments, ``[INFILE]``.
        files: file name to text (str or bytes), the main input among them
            under the name ``args[0]`` gives it.

    Returns:
        The run's :class:`Outcome`; its ``files`` hold the inputs and every
        output (``soil.SIN``, ``soil.OUT``, ``PEDOPRE.LOG`` and the rest).

    Raises:
        TypeError: args is not a list of str, or files not a dict of str to
            str or bytes.
        ValueError: not exactly one argument.
        FileNotFoundError: the main input is not among ``files``.
    """
    args_list = list(args) if isinstance(args, (list, tuple)) else args
    outcome = _outcome(_drainprep.pedopre(args_list, files))
    return _checked(outcome, "PEDOPRE", args_list, _PEDOPRE_COUNTS, lambda name: name not in files)


def metconv(args: list[str], files: dict[str, str | bytes]) -> Outcome:
    """METCONV on files held in memory; nothing touches the disk.

    Args:
        args: the program's arguments, ``[INFILE, TYPE, UNITS, STA]`` and for
            daily rain ``NHR, BEGHR``, e.g. ``["rain.dat", "DR", "MM",
            "12345", "5", "20"]``.
        files: file name to text, the weather series among them.

    Returns:
        The run's :class:`Outcome`; its ``files`` hold the series, the
        weather file (``.TEM``, ``.PET`` or ``.RAI``) and the ``.LOG``.

    Raises:
        TypeError, ValueError (fewer than four arguments or more than six),
        FileNotFoundError (the series is not among ``files``).
    """
    args_list = list(args) if isinstance(args, (list, tuple)) else args
    outcome = _outcome(_drainprep.metconv(args_list, files))
    return _checked(outcome, "METCONV", args_list, _METCONV_COUNTS, lambda name: name not in files)


def pedopre_on_disk(args: list[str]) -> Outcome:
    """PEDOPRE on the disk, as the program runs: names relative to the
    current folder, outputs written beside the input. The outcome's
    ``files`` are the files the run wrote, read back. Raises as
    :func:`pedopre` does."""
    args_list = list(args) if isinstance(args, (list, tuple)) else args
    outcome = _outcome(_drainprep.pedopre_on_disk(args_list))
    return _checked(outcome, "PEDOPRE", args_list, _PEDOPRE_COUNTS, lambda name: not _os.path.lexists(name))


def metconv_on_disk(args: list[str]) -> Outcome:
    """METCONV on the disk, as the program runs. Raises as :func:`metconv`
    does."""
    args_list = list(args) if isinstance(args, (list, tuple)) else args
    outcome = _outcome(_drainprep.metconv_on_disk(args_list))
    return _checked(outcome, "METCONV", args_list, _METCONV_COUNTS, lambda name: not _os.path.lexists(name))
