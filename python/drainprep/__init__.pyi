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
