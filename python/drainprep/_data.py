"""Soils and weather from the data people have: the van Genuchten fit of
measured points, the texture-class catalogue, the HYPRES pedotransfer
functions, reference evapotranspiration and extraterrestrial radiation.

Every function takes NumPy arrays (or anything ``numpy.asarray`` turns into
numbers) and gives float64 arrays; NaN stands for a missing value both ways.
The computations run with the interpreter's lock released.
"""

from __future__ import annotations

import datetime as _datetime
from dataclasses import dataclass as _dataclass

import numpy as _np
import numpy.typing as _npt

from . import _drainprep

_PARAMS = ("theta_r", "theta_s", "alpha", "n", "ks", "l")


def _numbers(value, name: str, dtype=_np.float64) -> _np.ndarray:
    """VALUE as an array of numbers; TypeError for text, None or objects."""
    if value is None or isinstance(value, (str, bytes)):
        raise TypeError(f"{name} must be a number or an array of numbers, not {type(value).__name__}")
    try:
        a = _np.asarray(value)
    except Exception as e:  # ragged nesting and the like
        raise ValueError(f"{name}: {e}") from None
    if a.dtype.kind not in "biuf":
        raise TypeError(f"{name} must hold numbers, not {a.dtype}")
    return a.astype(dtype)


def _vector(value, name: str) -> _np.ndarray:
    a = _numbers(value, name)
    if a.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {a.shape}")
    return _np.ascontiguousarray(a)


def _days_of_year(value, name: str = "day_of_year") -> _np.ndarray:
    a = _numbers(value, name)
    if not _np.all(_np.isfinite(a)) or _np.any(a != _np.round(a)) or _np.any((a < 1) | (a > 366)):
        raise ValueError(f"{name} must be whole days from 1 to 366")
    return a.astype(_np.int32)


def _broadcast(**arrays):
    """The arrays broadcast to one shape, flattened, and that shape."""
    try:
        shaped = _np.broadcast_arrays(*arrays.values())
    except ValueError as e:
        raise ValueError(f"{', '.join(arrays)} do not match in shape: {e}") from None
    shape = shaped[0].shape if shaped else ()
    return [_np.ascontiguousarray(a).ravel() for a in shaped], shape


def _shaped(a: _np.ndarray, shape: tuple):
    return float(a[0]) if shape == () else a.reshape(shape)


# ---------------------------------------------------------------- the fit


@_dataclass(frozen=True)
class Estimate:
    """One fitted parameter. ``stderr`` is NaN when the points do not
    identify it and 0 when it was fixed; ``ci95`` is its 95% confidence
    interval (Student's t)."""

    value: float
    stderr: float
    ci95: tuple[float, float]
    fixed: bool


@_dataclass(frozen=True)
class VanGenuchtenFit:
    """The van Genuchten-Mualem parameters fitted to measured points.

    Attributes:
        ok: True when a fit was found; else ``error`` says why.
        params: parameter name (``theta_r``, ``theta_s``, ``alpha`` in 1/cm,
            ``n``, and with conductivity points ``ks`` in cm/day and ``l``)
            to its :class:`Estimate`; also reachable as attributes
            (``fit.alpha.value``).
        rmse, r2: of the water content (cm3/cm3), unweighted.
        rmse_log10_k, r2_log10_k: of log10 K; NaN without conductivity points.
        points, k_points: the retention and conductivity points fitted.
        residuals, k_residuals: measured - fitted, theta and log10 K.
        starts, converged: starting points tried and those that reached the
            least sum of squares.
        warnings: parameters the points do not identify, and the like.
    """

    ok: bool
    error: str
    params: dict[str, Estimate]
    rmse: float
    r2: float
    rmse_log10_k: float
    r2_log10_k: float
    points: int
    k_points: int
    residuals: _np.ndarray
    k_residuals: _np.ndarray
    starts: int
    converged: int
    warnings: list[str]

    def __getattr__(self, name: str) -> Estimate:
        if name in _PARAMS:
            try:
                return self.params[name]
            except KeyError:
                raise AttributeError(f"{name} was not fitted (no conductivity points)") from None
        raise AttributeError(name)


def fit_van_genuchten(head_cm: _npt.ArrayLike, theta: _npt.ArrayLike, k: _npt.ArrayLike | None = None,
                      k_head_cm: _npt.ArrayLike | None = None, fix: dict[str, float] | None = None,
                      weights: _npt.ArrayLike | None = None) -> VanGenuchtenFit:
    """Fits van Genuchten's (1980) retention curve (m = 1 - 1/n) to measured
    water contents, and the Mualem (1976) conductivity Ks and l to measured
    conductivities when given, by weighted nonlinear least squares.

    Args:
        head_cm: suction of each retention point (cm, positive).
        theta: water content of each point (cm3/cm3).
        k: measured conductivities (cm/day), fitted as log10 K. Without
            ``k_head_cm`` they belong to the suctions of ``head_cm`` and NaN
            leaves a point out.
        k_head_cm: the suctions (cm) of ``k`` when they differ from
            ``head_cm``.
        fix: parameter name to a value it is held at, e.g.
            ``{"theta_r": 0.0}`` (alpha in 1/cm, ks in cm/day).
        weights: a weight for each retention point's squared residual.

    Returns:
        :class:`VanGenuchtenFit`; ``ok == False`` with ``error`` when no
        starting point converged.

    Raises:
        TypeError: an argument is not numbers, or ``fix`` not a dict.
        ValueError: arrays of different lengths, a fixed value outside its
            bounds, an unknown parameter name, or too few points for the
            free parameters.
    """
    h = _vector(head_cm, "head_cm")
    t = _vector(theta, "theta")
    if len(h) != len(t):
        raise ValueError(f"head_cm and theta differ in length: {len(h)} and {len(t)}")
    w = _np.ones_like(h) if weights is None else _vector(weights, "weights")
    if len(w) != len(h):
        raise ValueError(f"weights has {len(w)} values for {len(h)} points")
    if k is None:
        if k_head_cm is not None:
            raise ValueError("k_head_cm is given without k")
        kh = kv = _np.empty(0)
    else:
        kv = _vector(k, "k")
        kh = h if k_head_cm is None else _vector(k_head_cm, "k_head_cm")
        if len(kh) != len(kv):
            raise ValueError(f"k has {len(kv)} values for {len(kh)} suctions")
        keep = ~_np.isnan(kv)
        kh, kv = _np.ascontiguousarray(kh[keep]), _np.ascontiguousarray(kv[keep])
    if fix is None:
        fix = {}
    if not isinstance(fix, dict):
        raise TypeError(f"fix must be a dict of parameter name to value, not {type(fix).__name__}")
    fixed = {}
    for name, value in fix.items():
        if name not in _PARAMS:
            raise ValueError(f"fix names {name!r}; the parameters are {', '.join(_PARAMS)}")
        fixed[name] = float(_numbers(value, f"fix[{name!r}]"))
    raw = _drainprep.fit_van_genuchten(h, t, w, kh, kv, fixed)
    if raw["refused"]:
        raise ValueError(raw["error"])
    params = {
        name: Estimate(value=v, stderr=se, ci95=(low, high), fixed=is_fixed)
        for name, (v, se, low, high, is_fixed) in raw["params"].items()
    }
    return VanGenuchtenFit(
        ok=not raw["error"],
        error=raw["error"],
        params=params,
        rmse=raw["rmse"],
        r2=raw["r2"],
        rmse_log10_k=raw["rmse_log10_k"],
        r2_log10_k=raw["r2_log10_k"],
        points=raw["points"],
        k_points=raw["k_points"],
        residuals=raw["residuals"],
        k_residuals=raw["k_residuals"],
        starts=raw["starts"],
        converged=raw["converged"],
        warnings=list(raw["warnings"]),
    )


# ---------------------------------------------------------------- texture classes


@_dataclass(frozen=True)
class TextureClass:
    """A USDA texture class with the mean van Genuchten parameters of
    Carsel and Parrish (1988), Table 3.

    Attributes:
        name: e.g. ``"sandy clay loam"``.
        theta_r, theta_s: cm3/cm3.
        alpha: 1/cm.
        n: dimensionless.
        ks: cm/day (the paper's cm/hr x 24).
        spread: the standard deviations within the class as a dict of the
            same names and units, where carried; else None.
        source: the reference.
    """

    name: str
    theta_r: float
    theta_s: float
    alpha: float
    n: float
    ks: float
    spread: dict[str, float] | None
    source: str


def _texture(raw: tuple) -> TextureClass:
    name, tr, ts, alpha, n, ks, spread = raw
    if spread is not None:
        spread = dict(zip(("theta_r", "theta_s", "alpha", "n", "ks"), spread))
    return TextureClass(name, tr, ts, alpha, n, ks, spread, _drainprep.texture_class_source)


def texture_classes() -> list[TextureClass]:
    """The twelve USDA texture classes from sand to clay, as in Carsel and
    Parrish's (1988) table."""
    return [_texture(raw) for raw in _drainprep.texture_classes()]


def texture_class(name: str) -> TextureClass:
    """The texture class NAME: any case, with blanks, '-' or '_' between
    words (``"Silty_Clay"``).

    Raises:
        TypeError: name is not str.
        ValueError: no class of that name (the message lists them).
    """
    if not isinstance(name, str):
        raise TypeError(f"name must be str, not {type(name).__name__}")
    raw = _drainprep.texture_class(name)
    if raw is None:
        names = ", ".join(c[0] for c in _drainprep.texture_classes())
        raise ValueError(f"no texture class {name!r}; the classes are {names}")
    return _texture(raw)


# ---------------------------------------------------------------- HYPRES


@_dataclass(frozen=True)
class Pedotransfer:
    """Van Genuchten-Mualem parameters from a soil analysis, shaped as the
    inputs broadcast (floats for scalar inputs): ``theta_r`` (always 0) and
    ``theta_s`` (cm3/cm3), ``alpha`` (1/cm), ``n``, ``l``, ``ks`` (cm/day).
    ``warnings``: analyses outside the data the functions were built on,
    each as ``(sample, message)`` with the sample's flat index."""

    theta_r: _np.ndarray | float
    theta_s: _np.ndarray | float
    alpha: _np.ndarray | float
    n: _np.ndarray | float
    l: _np.ndarray | float  # noqa: E741 (Mualem's name for it)
    ks: _np.ndarray | float
    warnings: list[tuple[int, str]]
    source: str


def hypres(sand: _npt.ArrayLike, silt: _npt.ArrayLike, clay: _npt.ArrayLike, om: _npt.ArrayLike,
           bulk_density: _npt.ArrayLike, topsoil: _npt.ArrayLike = True) -> Pedotransfer:
    """The continuous pedotransfer functions of HYPRES (Wösten, Lilly, Nemes
    and Le Bas, 1999) for one analysis or arrays of them (broadcast).

    Args:
        sand, silt, clay: % of the mineral fraction (2-0.05, 0.05-0.002,
            < 0.002 mm), adding up to 100.
        om: organic matter, % by weight.
        bulk_density: g/cm3.
        topsoil: True for topsoil, False for subsoil (per sample too).

    Raises:
        TypeError: an input is not numbers.
        ValueError: an analysis the functions cannot take (fractions outside
            0 to 100 or not adding up to 100 within 2, silt, clay or organic
            matter at 0, bulk density outside 0.5 to 2.2 g/cm3), naming the
            first such sample.
    """
    arrays = {name: _numbers(v, name) for name, v in
              (("sand", sand), ("silt", silt), ("clay", clay), ("om", om), ("bulk_density", bulk_density))}
    if topsoil is None or isinstance(topsoil, (str, bytes)):
        raise TypeError(f"topsoil must be bool or an array of bool, not {type(topsoil).__name__}")
    arrays["topsoil"] = _np.asarray(topsoil, dtype=bool)
    flat, shape = _broadcast(**arrays)
    tr, ts, alpha, n, l, ks, errors, warnings = _drainprep.hypres(*flat)
    if errors:
        i, message = errors[0]
        where = "" if shape == () else f"sample {i}: "
        raise ValueError(where + message)
    return Pedotransfer(*(_shaped(a, shape) for a in (tr, ts, alpha, n, l, ks)), warnings=list(warnings),
                        source=_drainprep.hypres_source)


# ---------------------------------------------------------------- weather


def extraterrestrial_radiation(latitude_deg: _npt.ArrayLike, day_of_year: _npt.ArrayLike) -> _np.ndarray | float:
    """Extraterrestrial radiation Ra (MJ/m2/day), FAO-56 eq. 21, for each
    latitude (degrees, north positive) and day of the year (broadcast). Ra
    is 0 in polar night."""
    flat, shape = _broadcast(latitude=_numbers(latitude_deg, "latitude_deg"), doy=_days_of_year(day_of_year))
    return _shaped(_drainprep.extraterrestrial_radiation(flat[0], flat[1].astype(_np.int32)), shape)


def pet_hargreaves(tmax: _npt.ArrayLike, tmin: _npt.ArrayLike, latitude_deg: _npt.ArrayLike,
                   day_of_year: _npt.ArrayLike) -> _np.ndarray | float:
    """Reference evapotranspiration ET0 (mm/day) by Hargreaves and Samani
    (1985), FAO-56 eq. 52, from the daily maximum and minimum air
    temperature (degrees C); all four arguments broadcast. NaN where a
    temperature is NaN; 0 on a day whose Tmax lies below its Tmin."""
    flat, shape = _broadcast(tmax=_numbers(tmax, "tmax"), tmin=_numbers(tmin, "tmin"),
                             latitude=_numbers(latitude_deg, "latitude_deg"), doy=_days_of_year(day_of_year))
    return _shaped(_drainprep.pet_hargreaves(flat[0], flat[1], flat[2], flat[3].astype(_np.int32)), shape)


_PENMAN_INPUTS = ("tdew", "rh_max", "rh_min", "rh_mean", "wind", "solar", "sunshine")


def _scalar(value, name: str) -> float:
    a = _numbers(value, name)
    if a.ndim != 0:
        raise ValueError(f"{name} must be one number")
    return float(a)


def _optional_number(value, name: str) -> float:
    if value is None:
        return float("nan")
    a = _numbers(value, name)
    if a.ndim != 0:
        raise ValueError(f"{name} must be one number")
    return float(a)


def pet_penman_monteith(tmax: _npt.ArrayLike, tmin: _npt.ArrayLike, day_of_year: _npt.ArrayLike,
                        latitude_deg: float, elevation_m: float, *, tdew: _npt.ArrayLike | None = None,
                        rh_max: _npt.ArrayLike | None = None, rh_min: _npt.ArrayLike | None = None,
                        rh_mean: _npt.ArrayLike | None = None, wind: _npt.ArrayLike | None = None,
                        solar: _npt.ArrayLike | None = None, sunshine: _npt.ArrayLike | None = None,
                        wind_height_m: float = 2.0, humidity_from_tmin: bool = False,
                        assumed_wind: float | None = None, rs_krs: float | None = None) -> _np.ndarray | float:
    """Reference evapotranspiration ET0 (mm/day) of grass by the FAO
    Penman-Monteith equation for daily periods (Allen et al., 1998, FAO-56
    eq. 6), day by day at one site.

    Args:
        tmax, tmin: daily air temperatures (degrees C).
        day_of_year: 1 to 366.
        latitude_deg, elevation_m: the site (north positive; m above sea).
        tdew: dew point (degrees C); or rh_max and rh_min, or rh_mean (%).
        wind: mean wind speed (m/s) at ``wind_height_m``.
        solar: measured radiation Rs (MJ/m2/day); or sunshine (hours).
        humidity_from_tmin: take Tdew = Tmin where humidity is missing
            (FAO-56 eq. 48).
        assumed_wind: u2 (m/s) where wind is missing (FAO-56 suggests 2).
        rs_krs: kRs (0.16 inland, 0.19 coastal) for Rs from the temperature
            range where radiation is missing (FAO-56 eq. 50).

    The daily arguments broadcast together; NaN marks a missing value.

    Returns:
        ET0 per day; NaN on a day missing an input for which no estimate
        was asked.

    Raises:
        TypeError: an input is not numbers.
        ValueError: shapes that do not broadcast, a day of year outside 1 to
            366, or an input missing on every day (named in the message).
    """
    daily = {"tmax": _numbers(tmax, "tmax"), "tmin": _numbers(tmin, "tmin"), "doy": _days_of_year(day_of_year)}
    given = {"tdew": tdew, "rh_max": rh_max, "rh_min": rh_min, "rh_mean": rh_mean, "wind": wind, "solar": solar,
             "sunshine": sunshine}
    for name, value in given.items():
        if value is not None:
            daily[name] = _numbers(value, name)
    flat, shape = _broadcast(**daily)
    columns = dict(zip(daily, flat))
    measured = {name: columns[name] for name in _PENMAN_INPUTS if name in columns}
    et0, missing, _estimated = _drainprep.pet_penman_monteith(
        columns["tmax"], columns["tmin"], columns["doy"].astype(_np.int32), measured,
        _scalar(latitude_deg, "latitude_deg"), _scalar(elevation_m, "elevation_m"),
        _scalar(wind_height_m, "wind_height_m"), bool(humidity_from_tmin),
        _optional_number(assumed_wind, "assumed_wind"), _optional_number(rs_krs, "rs_krs"))
    if len(et0) and _np.all(_np.isnan(et0)) and missing[0]:
        raise ValueError(f"no day has ET0: {missing[0]} is missing")
    return _shaped(et0, shape)


def _first_day(value) -> int:
    if isinstance(value, str):
        try:
            value = _datetime.date.fromisoformat(value)
        except ValueError:
            raise ValueError(f"first_day must be a date YYYY-MM-DD, not {value!r}") from None
    if isinstance(value, _datetime.datetime):
        value = value.date()
    if isinstance(value, _datetime.date):
        return (value - _datetime.date(1970, 1, 1)).days
    if isinstance(value, _np.datetime64):
        return int(value.astype("datetime64[D]").astype(_np.int64))
    raise TypeError(f"first_day must be a date, a numpy.datetime64 or 'YYYY-MM-DD', not {type(value).__name__}")


def pet_thornthwaite(first_day: _datetime.date | _np.datetime64 | str, tmax: _npt.ArrayLike, tmin: _npt.ArrayLike,
                     latitude_deg: float) -> _np.ndarray:
    """Potential evapotranspiration (mm/day) by Thornthwaite (1948) for a
    series of consecutive days: each month's PET from its mean temperature
    and the series' annual heat index, corrected for day length and the
    month's number of days, spread evenly over its days.

    Args:
        first_day: the day of ``tmax[0]`` (datetime.date, numpy.datetime64
            or "YYYY-MM-DD").
        tmax, tmin: daily air temperatures (degrees C), NaN where missing.
        latitude_deg: the station's latitude (degrees, north positive).

    Returns:
        PET per day; NaN on a day without both temperatures or in a month
        without a mean (more than 10 days, or more than 4 in a row, missing).

    Raises:
        TypeError, ValueError: arguments of the wrong kind or length; a
            series without a mean for every calendar month (no heat index).
    """
    first = _first_day(first_day)
    hi, lo = _vector(tmax, "tmax"), _vector(tmin, "tmin")
    if len(hi) != len(lo):
        raise ValueError(f"tmax and tmin differ in length: {len(hi)} and {len(lo)}")
    pet, why = _drainprep.pet_thornthwaite(first, hi, lo, _scalar(latitude_deg, "latitude_deg"))
    if why:
        raise ValueError(why)
    return pet
