"""The runs in memory and on disk from Python: the same bytes as the library
gives, parallel runs equal to serial ones, and every way a call is refused."""

from concurrent.futures import ThreadPoolExecutor

import pytest

import drainprep

BAD_SOIL = "Title\n1 1\n 20.0 0.45 0.05 0.036 1.56 24.96 24.96 0.5\n40.0 45.0 1\n"


def test_in_memory_and_on_disk_write_the_same_files(soils, weather, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    text = soils["vg_nine_layers.dat"]
    (tmp_path / "soil.dat").write_bytes(text.encode())
    memory = drainprep.pedopre(["soil.dat"], {"soil.dat": text})
    disk = drainprep.pedopre_on_disk(["soil.dat"])
    assert memory.ok and disk.ok
    assert memory.log == disk.log == " NOERROR: Program terminated normally"
    assert {k: v for k, v in memory.files.items() if k != "soil.dat"} == disk.files
    assert disk.files["soil.SIN"] == (tmp_path / "soil.SIN").read_bytes().decode()
    assert disk.files["soil.SIN"].endswith("\r\n")

    args, series = weather[0]
    (tmp_path / args[0]).write_text(series)
    memory = drainprep.metconv(args, {args[0]: series})
    disk = drainprep.metconv_on_disk(args)
    assert memory.ok and disk.ok and memory.log.startswith("*NOERROR")
    assert {k: v for k, v in memory.files.items() if k != args[0]} == disk.files


def test_text_not_in_utf8_comes_back_byte_for_byte():
    title = "Lehm \xe4 (latin-1)".encode("latin-1")
    soil = title + b"\n1 1\n 20.0 0.078 0.43 0.036 1.56 24.96 24.96 0.5\n40.0 45.0 1\n"
    r = drainprep.pedopre(["s.dat"], {"s.dat": soil})
    assert r.ok
    assert r.files["s.dat"].encode("utf-8", "surrogateescape") == soil
    assert title in r.files["s.WTD"].encode("utf-8", "surrogateescape")


def _run(job):
    kind, args, files = job
    run = drainprep.pedopre if kind == "soil" else drainprep.metconv
    r = run(args, files)
    return r.ok, r.log, r.console, r.files


def test_thread_pool_of_mixed_runs_equals_serial_runs(soils, weather):
    jobs = [("soil", [name], {name: text}) for name, text in soils.items()]
    jobs.append(("soil", ["bad.dat"], {"bad.dat": BAD_SOIL}))
    jobs += [("weather", args, {args[0]: series}) for args, series in weather]
    jobs *= 4
    serial = [_run(job) for job in jobs]
    with ThreadPoolExecutor(max_workers=4) as pool:
        parallel = list(pool.map(_run, jobs))
    assert parallel == serial
    assert [ok for ok, *_ in serial].count(False) == 4


def test_a_run_that_ends_with_an_error_line_is_an_outcome():
    r = drainprep.pedopre(["bad.dat"], {"bad.dat": BAD_SOIL})
    assert not r.ok
    assert r.log.startswith(" ERROR: Layer 1 has theta_r = 0.45")
    assert r.console == ["Program terminated abnormally, see logfile."]
    assert r.files["PEDOPRE.LOG"].startswith(r.log)
    r = drainprep.metconv(["w.dat", "XX", "IN", "1"], {"w.dat": "1995 1 0.1\n"})
    assert not r.ok and r.message == 'ERROR: Data type "XX" names no converter (TP, ET, HR or DR)'


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: drainprep.pedopre("soil.dat", {}), "args must be a list of str, not str"),
        (lambda: drainprep.pedopre([b"soil.dat"], {}), "each argument must be str, not bytes"),
        (lambda: drainprep.metconv(["w.dat", "TP", "DF", 1], {}), "each argument must be str, not int"),
        (lambda: drainprep.pedopre(["s.dat"], [("s.dat", "x")]), "files must be a dict of file name to text"),
        (lambda: drainprep.pedopre(["s.dat"], {"s.dat": 1.5}), "each file's text must be str or bytes"),
        (lambda: drainprep.metconv(["w.dat", "TP", "DF", "1"], {b"w.dat": "x"}), "each file name must be str"),
        (lambda: drainprep.pedopre_on_disk(None), "args must be a list of str, not NoneType"),
        (lambda: drainprep.metconv_on_disk("w.dat TP DF 1"), "args must be a list of str, not str"),
    ],
)
def test_wrong_types_raise_type_error(call, message):
    with pytest.raises(TypeError, match=message):
        call()


def test_wrong_argument_counts_raise_value_error_with_the_runs_message():
    with pytest.raises(ValueError, match="PEDOPRE takes one argument, not 2: ERROR: Syntax - PEDOPRE <INFILE>") as e:
        drainprep.pedopre(["a.dat", "b.dat"], {"a.dat": "x"})
    assert not e.value.outcome.ok
    with pytest.raises(ValueError, match="METCONV takes 4 to 6 arguments, not 2: +USAGE: METCONV"):
        drainprep.metconv(["w.dat", "TP"], {"w.dat": "x"})
    with pytest.raises(ValueError, match="not 0"):
        drainprep.pedopre([], {})
    # --help alone is an answer, not a misuse.
    r = drainprep.metconv(["--help"], {})
    assert r.console[0].startswith(" USAGE: METCONV") and r.log == ""


def test_missing_inputs_raise_file_not_found_with_the_runs_message(tmp_path, monkeypatch):
    with pytest.raises(FileNotFoundError, match="ERROR: File soil.dat not found!") as e:
        drainprep.pedopre(["soil.dat"], {"other.dat": "x"})
    assert e.value.filename == "soil.dat" and not e.value.outcome.ok
    with pytest.raises(FileNotFoundError, match="ERROR: Cannot open file w.dat: No such file or directory"):
        drainprep.metconv(["w.dat", "TP", "DF", "1"], {})
    monkeypatch.chdir(tmp_path)
    with pytest.raises(FileNotFoundError, match="ERROR: File soil.dat not found!") as e:
        drainprep.pedopre_on_disk(["soil.dat"])
    assert e.value.outcome.files["PEDOPRE.LOG"].startswith(" ERROR: File soil.dat not found!")
    with pytest.raises(FileNotFoundError, match="ERROR: Cannot open file w.dat"):
        drainprep.metconv_on_disk(["w.dat", "TP", "DF", "1"])
    # A folder at the input's name is there: the run refuses it as a run does.
    (tmp_path / "d.dat").mkdir()
    r = drainprep.pedopre_on_disk(["d.dat"])
    assert not r.ok and r.message == "ERROR: Input d.dat is a folder, not a file"


def test_version():
    assert drainprep.__version__.count(".") == 2
