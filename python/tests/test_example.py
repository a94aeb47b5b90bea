"""The texture-class example runs and tells the classes apart as soil
physics expects."""

import importlib.util
import os
import subprocess
import sys

from conftest import EXAMPLES


def test_texture_sensitivity_example(tmp_path):
    script = EXAMPLES / "python" / "texture_sensitivity.py"
    env = dict(os.environ, MPLBACKEND="Agg")
    out = subprocess.run([sys.executable, str(script), "--out", str(tmp_path)], check=True, capture_output=True,
                         text=True, env=env).stdout.splitlines()
    rows = {line[:16].strip(): line[16:].split() for line in out[1:13]}
    assert len(rows) == 12 and all(len(values) == 4 for values in rows.values()), out
    porosity_100 = {name: float(values[1]) for name, values in rows.items()}
    # Coarse soils give up far more water per cm of water-table fall.
    assert porosity_100["sand"] > porosity_100["loam"] > porosity_100["clay"]
    figure = tmp_path / "texture_sensitivity.png"
    if importlib.util.find_spec("matplotlib"):
        assert out[-1] == f"figure: {figure}" and figure.stat().st_size > 10_000
    else:
        assert out[-1] == "figure: none (matplotlib not installed)"
