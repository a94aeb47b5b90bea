"""cmake --install puts an importable package where the interpreter looks."""

import os
import subprocess
import sys

import pytest

BUILD = os.environ.get("DRAINPREP_BUILD")


@pytest.mark.skipif(not BUILD, reason="needs the build folder (DRAINPREP_BUILD), as ctest gives it")
def test_installed_package_imports_and_runs(tmp_path):
    prefix = tmp_path / "local"
    subprocess.run(["cmake", "--install", BUILD, "--component", "python", "--prefix", str(prefix)],
                   check=True, capture_output=True)
    folder = prefix / "lib" / f"python{sys.version_info.major}.{sys.version_info.minor}" / "dist-packages"
    assert {p.name for p in (folder / "drainprep").iterdir()} >= {"__init__.py", "_data.py", "_tables.py", "py.typed"}
    script = ("import drainprep, sys; "
              "r = drainprep.pedopre(['s.dat'], {'s.dat': 'T\\n1 1\\n20 0.078 0.43 0.036 1.56 24.96 24.96 0.5\\n40 45 1\\n'}); "
              "print(drainprep.__file__, r.ok)")
    env = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}
    env["PYTHONPATH"] = str(folder)
    out = subprocess.run([sys.executable, "-c", script], check=True, capture_output=True, text=True, env=env,
                         cwd=tmp_path).stdout
    assert out.startswith(str(folder)) and out.strip().endswith("True")
