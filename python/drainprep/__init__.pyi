import datetime
from collections.abc import Sequence
from dataclasses import dataclass

import numpy as np
import numpy.typing as npt
import pandas

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


_F32 = npt.NDArray[np.float32]

class Table:
    columns: tuple[str, ...]
    def __getitem__(self, name: str) -> _F32: ...
    def __len__(self) -> int: ...
    def to_frame(self) -> pandas.DataFrame: ...

class Characteristic(Table):
    suction_cm: _F32
    theta: _F32

class Conductivity(Table):
    theta: _F32
    head_cm: _F32
    k_cm_per_hr: _F32

class Drainage(Table):
    depth_cm: _F32
    volume_cm: _F32
    porosity: _F32

class GreenAmpt(Table):
    depth_cm: _F32
    a_cm2_per_hr: _F32
    b_cm_per_hr: _F32

class UpwardFlux(Table):
    flux_cm_per_hr: _F32
    depth_cm: _F32

class SinCharacteristic(Table):
    theta: _F32
    head_cm: _F32

class SinDepthTable(Table):
    depth_cm: _F32
    volume_cm: _F32
    upflux_cm_per_hr: _F32

class Layer:
    characteristic: Characteristic
    conductivity: Conductivity
    wetting_front_suction_cm: np.float32

class SoilInputFile:
    title: str
    characteristic: SinCharacteristic
    depths: SinDepthTable
    green_ampt: GreenAmpt

class SoilTables:
    ok: bool
    log: str
    layers: list[Layer]
    drainage: Drainage
    green_ampt: GreenAmpt
    upward_flux: UpwardFlux
    sin: SoilInputFile
    def to_frames(self) -> dict[str, pandas.DataFrame]: ...

def soil_tables(text: str | bytes, name: str = "soil.dat") -> SoilTables: ...


_F64 = npt.NDArray[np.float64]
_Numbers = npt.ArrayLike

@dataclass(frozen=True)
class Estimate:
    value: float
    stderr: float
    ci95: tuple[float, float]
    fixed: bool

@dataclass(frozen=True)
class VanGenuchtenFit:
    ok: bool
    error: str
    params: dict[str, Estimate]
    rmse: float
    r2: float
    rmse_log10_k: float
    r2_log10_k: float
    points: int
    k_points: int
    residuals: _F64
    k_residuals: _F64
    starts: int
    converged: int
    warnings: list[str]
    theta_r: Estimate
    theta_s: Estimate
    alpha: Estimate
    n: Estimate
    ks: Estimate
    l: Estimate

def fit_van_genuchten(
    head_cm: _Numbers,
    theta: _Numbers,
    k: _Numbers | None = None,
    k_head_cm: _Numbers | None = None,
    fix: dict[str, float] | None = None,
    weights: _Numbers | None = None,
) -> VanGenuchtenFit: ...

@dataclass(frozen=True)
class TextureClass:
    name: str
    theta_r: float
    theta_s: float
    alpha: float
    n: float
    ks: float
    spread: dict[str, float] | None
    source: str

def texture_class(name: str) -> TextureClass: ...
def texture_classes() -> list[TextureClass]: ...

@dataclass(frozen=True)
class Pedotransfer:
    theta_r: _F64 | float
    theta_s: _F64 | float
    alpha: _F64 | float
    n: _F64 | float
    l: _F64 | float
    ks: _F64 | float
    warnings: list[tuple[int, str]]
    source: str

def hypres(
    sand: _Numbers, silt: _Numbers, clay: _Numbers, om: _Numbers, bulk_density: _Numbers, topsoil: npt.ArrayLike = True
) -> Pedotransfer: ...
def extraterrestrial_radiation(latitude_deg: _Numbers, day_of_year: _Numbers) -> _F64 | float: ...
def pet_hargreaves(tmax: _Numbers, tmin: _Numbers, latitude_deg: _Numbers, day_of_year: _Numbers) -> _F64 | float: ...
def pet_penman_monteith(
    tmax: _Numbers,
    tmin: _Numbers,
    day_of_year: _Numbers,
    latitude_deg: float,
    elevation_m: float,
    *,
    tdew: _Numbers | None = None,
    rh_max: _Numbers | None = None,
    rh_min: _Numbers | None = None,
    rh_mean: _Numbers | None = None,
    wind: _Numbers | None = None,
    solar: _Numbers | None = None,
    sunshine: _Numbers | None = None,
    wind_height_m: float = 2.0,
    humidity_from_tmin: bool = False,
    assumed_wind: float | None = None,
    rs_krs: float | None = None,
) -> _F64 | float: ...
def pet_thornthwaite(first_day: datetime.date | np.datetime64 | str, tmax: _Numbers, tmin: _Numbers, latitude_deg: float) -> _F64: ...
