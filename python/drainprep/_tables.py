"""A soil's tables as NumPy arrays: what the typed soil call gives back.

Every value is the one its file holds, read back with the file's layout, so
each array equals the column of its file, in single precision (float32) as
the model reads it. A field the file could not hold (asterisks) or that does
not read back is NaN. Units are in the column names: ``_cm`` centimetres,
``_cm_per_hr`` cm/hr, ``_cm2_per_hr`` cm²/hr; water contents (``theta``) are
cm³/cm³ and drainable porosity cm/cm.
"""

from __future__ import annotations

from functools import cached_property
from typing import TYPE_CHECKING

import numpy as np

if TYPE_CHECKING:  # pandas is imported only when a frame is asked for
    import pandas


class Table:
    """Named columns of equal length, each a float32 NumPy array."""

    columns: tuple[str, ...] = ()
    __slots__ = ("_data",)

    def __init__(self, data: dict[str, np.ndarray]):
        # The compiled call names every column; a table takes its dict as is.
        object.__setattr__(self, "_data", data)

    def __getattr__(self, name: str) -> np.ndarray:
        try:
            return self._data[name]
        except KeyError:
            raise AttributeError(f"{type(self).__name__} has no column {name!r}") from None

    def __setattr__(self, name, value):
        raise AttributeError(f"{type(self).__name__} is read-only")

    def __getitem__(self, name: str) -> np.ndarray:
        return self._data[name]

    def __len__(self) -> int:
        return len(self._data[self.columns[0]]) if self.columns else 0

    def __repr__(self) -> str:
        return f"{type(self).__name__}({len(self)} rows: {', '.join(self.columns)})"

    def to_frame(self) -> pandas.DataFrame:
        """The table as a pandas DataFrame (needs pandas)."""
        import pandas as pd

        return pd.DataFrame(self._data)


class Characteristic(Table):
    """A layer's soil water characteristic after its repairs, wettest first
    (.WTD): suction (cm, positive) and water content (cm³/cm³)."""

    columns = ("suction_cm", "theta")


class Conductivity(Table):
    """A layer's unsaturated conductivity on water-content steps of 0.01,
    driest first (.MQ): water content (cm³/cm³), pressure head (cm, zero or
    negative) and conductivity (cm/hr)."""

    columns = ("theta", "head_cm", "k_cm_per_hr")


class Drainage(Table):
    """Drained volume (cm of water) and drainable porosity (cm/cm) every
    10 cm of water-table depth, 0 to 1000 cm (.WTD)."""

    columns = ("depth_cm", "volume_cm", "porosity")


class GreenAmpt(Table):
    """Green-Ampt parameters of the infiltration rate f = A/F + B against
    water-table depth (.OUT): A (cm²/hr) and B (cm/hr)."""

    columns = ("depth_cm", "a_cm2_per_hr", "b_cm_per_hr")


class UpwardFlux(Table):
    """The water table of each of the 21 steady upward fluxes (cm/hr),
    largest flux first (.UPQ); depths in cm below the root-zone reference
    level (half the maximum root depth)."""

    columns = ("flux_cm_per_hr", "depth_cm")


class SinCharacteristic(Table):
    """The chosen layer's characteristic in the soil input file (.SIN):
    water content (cm³/cm³) and pressure head (cm, zero or negative)."""

    columns = ("theta", "head_cm")


class SinDepthTable(Table):
    """The 20 rows of the soil input file (.SIN): water-table depth (cm),
    drained volume (cm of water) and steady upward flux (cm/hr)."""

    columns = ("depth_cm", "volume_cm", "upflux_cm_per_hr")


class Layer:
    """One soil layer's tables."""

    __slots__ = ("characteristic", "conductivity", "wetting_front_suction_cm")

    def __init__(self, characteristic: Characteristic, conductivity: Conductivity,
                 wetting_front_suction_cm: np.float32):
        self.characteristic = characteristic
        self.conductivity = conductivity
        #: The wetting-front suction of the layer (.MQ summary), cm.
        self.wetting_front_suction_cm = wetting_front_suction_cm

    def __repr__(self) -> str:
        return (f"Layer({len(self.characteristic)} points, {len(self.conductivity)} conductivity rows, "
                f"wetting-front suction {self.wetting_front_suction_cm} cm)")


class SoilInputFile:
    """The values of the model's soil input file (.SIN)."""

    __slots__ = ("title", "characteristic", "depths", "green_ampt")

    def __init__(self, title: str, characteristic: SinCharacteristic, depths: SinDepthTable, green_ampt: GreenAmpt):
        self.title = title
        self.characteristic = characteristic
        self.depths = depths
        self.green_ampt = green_ampt

    def __repr__(self) -> str:
        return f"SoilInputFile({self.title.rstrip()!r})"


class SoilTables:
    """A soil's tables from one run of the soil steps.

    Attributes:
        ok: True when the run ended normally.
        log: the log record PEDOPRE writes for the run (without its line end),
            such as ``" NOERROR: Program terminated normally"``.
        layers: per layer, its characteristic, conductivity and wetting-front
            suction.
        drainage: drained volume and drainable porosity every 10 cm.
        green_ampt: Green-Ampt A and B per water-table depth.
        upward_flux: water-table depth per steady upward flux.
        sin: the values of the soil input file.

    A failed run keeps the tables of the steps it completed; the others are
    empty. The arrays are read-only views of the tables the run computed,
    made when first asked for; copy one (``np.array(a)``) to change it.
    """

    def __init__(self, core):
        self._core = core
        self.ok: bool = core.ok
        self.log: str = core.log

    @cached_property
    def layers(self) -> list[Layer]:
        layers = []
        for k in range(self._core.layer_count):
            layer = self._core.layer(k)
            layers.append(Layer(Characteristic(layer["characteristic"]), Conductivity(layer["conductivity"]),
                                np.float32(layer["wetting_front_suction_cm"])))
        return layers

    @cached_property
    def drainage(self) -> Drainage:
        return Drainage(self._core.drainage())

    @cached_property
    def green_ampt(self) -> GreenAmpt:
        return GreenAmpt(self._core.green_ampt())

    @cached_property
    def upward_flux(self) -> UpwardFlux:
        return UpwardFlux(self._core.upward_flux())

    @cached_property
    def sin(self) -> SoilInputFile:
        sin = self._core.sin()
        return SoilInputFile(sin["title"], SinCharacteristic(sin["characteristic"]), SinDepthTable(sin["depths"]),
                             GreenAmpt(sin["green_ampt"]))

    def __repr__(self) -> str:
        return f"SoilTables(ok={self.ok}, log={self.log!r}, {self._core.layer_count} layers)"

    def to_frames(self) -> dict[str, pandas.DataFrame]:
        """The tables as pandas DataFrames (needs pandas), by name:
        ``characteristic`` and ``conductivity`` (every layer, with a
        ``layer`` column counted from 1), ``drainage``, ``green_ampt``,
        ``upward_flux``, and the soil input file's ``sin_characteristic``,
        ``sin_depths`` and ``sin_green_ampt``."""
        import pandas as pd

        def layered(pick, columns):
            frames = [pick(layer).to_frame().assign(layer=k) for k, layer in enumerate(self.layers, start=1)]
            if not frames:
                return pd.DataFrame({name: pd.Series(dtype="float32") for name in columns}).assign(
                    layer=pd.Series(dtype="int64"))
            return pd.concat(frames, ignore_index=True)

        return {
            "characteristic": layered(lambda l: l.characteristic, Characteristic.columns),
            "conductivity": layered(lambda l: l.conductivity, Conductivity.columns),
            "drainage": self.drainage.to_frame(),
            "green_ampt": self.green_ampt.to_frame(),
            "upward_flux": self.upward_flux.to_frame(),
            "sin_characteristic": self.sin.characteristic.to_frame(),
            "sin_depths": self.sin.depths.to_frame(),
            "sin_green_ampt": self.sin.green_ampt.to_frame(),
        }
