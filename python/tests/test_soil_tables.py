"""The typed soil call: its arrays equal the files of a PEDOPRE run of the
same soil, column for column, and every column is where its name says."""

from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import drainprep

F32 = np.float32


def columns(line, *spans):
    """Values of 1-based inclusive column spans of a fixed-width line."""
    return [F32(line[a - 1:b]) for a, b in spans]


def section(lines, caption, rows, skip=0):
    at = next(k for k, line in enumerate(lines) if line.startswith(caption))
    return lines[at + 1 + skip:at + 1 + skip + rows]


def sin_tables(text, points):
    lines = text.split("\r\n")
    theta_head = [columns(l, (1, 10), (11, 20)) for l in lines[2:2 + points]]
    depths = [columns(l, (1, 10), (11, 20), (21, 30)) for l in lines[2 + points:22 + points]]
    green_ampt = [columns(l, (1, 10), (11, 20), (21, 30)) for l in lines[23 + points:33 + points]]
    return np.array(theta_head).T, np.array(depths).T, np.array(green_ampt).T


def mq_layers(text):
    """Per layer: theta, head (cm) and conductivity (cm/hr) of the .MQ table."""
    lines = text.split("\r\n")
    layers, k = [], 0
    while True:
        k = next((j for j in range(k, len(lines)) if lines[j].startswith(" ENTRIES")), None)
        if k is None:
            return layers
        rows = int(lines[k + 1][1:3])
        layers.append(np.array([columns(l, (1, 10), (21, 30), (36, 50)) for l in lines[k + 3:k + 3 + rows]]).T)
        k += 3 + rows


def expect_equal(actual, expected):
    np.testing.assert_array_equal(actual, np.asarray(expected, dtype=F32))


@pytest.mark.parametrize("name", ["measured_loam.dat", "vg_layered.dat", "vg_nine_layers.dat"])
def test_tables_equal_the_files_of_the_same_run(soils, name):
    text = soils[name]
    t = drainprep.soil_tables(text)
    run = drainprep.pedopre(["soil.dat"], {"soil.dat": text})
    assert t.ok and run.ok and t.log == run.log
    files = run.files

    theta_head, depths, green_ampt = sin_tables(files["soil.SIN"], len(t.sin.characteristic))
    assert files["soil.SIN"].startswith(t.sin.title)
    expect_equal(t.sin.characteristic.theta, theta_head[0])
    expect_equal(t.sin.characteristic.head_cm, theta_head[1])
    expect_equal(t.sin.depths.depth_cm, depths[0])
    expect_equal(t.sin.depths.volume_cm, depths[1])
    expect_equal(t.sin.depths.upflux_cm_per_hr, depths[2])
    expect_equal(t.sin.green_ampt.depth_cm, green_ampt[0])
    expect_equal(t.sin.green_ampt.a_cm2_per_hr, green_ampt[1])
    expect_equal(t.sin.green_ampt.b_cm_per_hr, green_ampt[2])

    out = files["soil.OUT"].split("\r\n")
    ga = np.array([[F32(v) for v in l.split()] for l in section(out, "@Green-Ampt", 10)]).T
    expect_equal(t.green_ampt.depth_cm, ga[0])
    expect_equal(t.green_ampt.a_cm2_per_hr, ga[1])
    expect_equal(t.green_ampt.b_cm_per_hr, ga[2])
    # The drained volume every 10 cm against the rows of .OUT on that grid,
    # where .OUT does not cap it at 100 (and always at 1000 cm).
    volume = {float(z): v for z, v in (columns(l, (2, 7), (13, 20)) for l in section(out, "@WATER TABLE", 20, 1))}
    on_grid = [(z, v) for z, v in zip(t.drainage.depth_cm, t.drainage.volume_cm) if float(z) in volume and z < 1000 and v < 100]
    assert len(on_grid) >= 8
    for z, v in on_grid:
        assert v == volume[float(z)], z
    assert np.all(np.diff(t.drainage.depth_cm) == 10) and 0 <= t.drainage.porosity.min() <= t.drainage.porosity.max() < 1

    upq = files["soil.UPQ"].split("\r\n")
    flux = np.array([columns(l, (5, 11), (18, 23)) for l in section(upq, "   DEPTH (CM)", 21)]).T
    expect_equal(t.upward_flux.depth_cm, flux[0])
    expect_equal(t.upward_flux.flux_cm_per_hr, flux[1])

    mq = mq_layers(files["soil.MQ"])
    assert len(mq) == len(t.layers)
    for layer, (theta, head, k) in zip(t.layers, mq):
        expect_equal(layer.conductivity.theta, theta)
        expect_equal(layer.conductivity.head_cm, head)
        expect_equal(layer.conductivity.k_cm_per_hr, k)
        assert layer.wetting_front_suction_cm > 0
        assert np.all(np.diff(layer.characteristic.suction_cm) > 0)  # wettest first
    lsin = int(text.strip().splitlines()[-1].split()[2])
    chosen = t.layers[lsin - 1].characteristic
    expect_equal(chosen.theta, t.sin.characteristic.theta)
    expect_equal(chosen.suction_cm, -np.round(t.sin.characteristic.head_cm) + 0)


def test_a_refused_soil_gives_the_runs_log_record_and_empty_tables():
    text = "Title\n1 1\n 20.0 0.45 0.05 0.036 1.56 24.96 24.96 0.5\n40.0 45.0 1\n"
    t = drainprep.soil_tables(text, "mine.dat")
    assert not t.ok
    assert t.log == drainprep.pedopre(["mine.dat"], {"mine.dat": text}).log
    assert len(t.drainage) == 0 and len(t.sin.depths) == 0 and t.drainage.depth_cm.dtype == F32
    frames = t.to_frames()
    assert all(len(frame) == 0 for frame in frames.values())


def test_to_frames_gives_every_table_with_its_units():
    pd = pytest.importorskip("pandas")
    text = "Two layers\n2 1\n30 0.078 0.43 0.036 1.56 24.96 24.96 0.5\n90 0.095 0.41 0.019 1.31 6.24 6.24 0.5\n30 30 2\n"
    t = drainprep.soil_tables(text)
    frames = t.to_frames()
    conductivity = frames["conductivity"]
    assert list(conductivity.columns) == ["theta", "head_cm", "k_cm_per_hr", "layer"]
    assert set(conductivity.layer) == {1, 2}
    assert len(conductivity) == sum(len(layer.conductivity) for layer in t.layers)
    pd.testing.assert_series_equal(frames["drainage"].porosity, pd.Series(t.drainage.porosity, name="porosity"))
    assert list(frames["sin_depths"].columns) == ["depth_cm", "volume_cm", "upflux_cm_per_hr"]


def _key(t):
    arrays = [t.drainage, t.green_ampt, t.upward_flux, t.sin.characteristic, t.sin.depths, t.sin.green_ampt]
    arrays += [table for layer in t.layers for table in (layer.characteristic, layer.conductivity)]
    return t.ok, t.log, t.sin.title, [t[c].tobytes() for t in arrays for c in t.columns]


def test_thread_pool_of_soils_equals_serial_calls(soils):
    texts = list(soils.values()) + ["Title\n1 1\n 20.0 0.45 0.05 0.036 1.56 24.96 24.96 0.5\n40.0 45.0 1\n", ""]
    texts *= 6
    serial = [_key(drainprep.soil_tables(text)) for text in texts]
    with ThreadPoolExecutor(max_workers=4) as pool:
        parallel = [_key(t) for t in pool.map(drainprep.soil_tables, texts)]
    assert parallel == serial


def test_wrong_types_raise_type_error():
    with pytest.raises(TypeError, match="the soil's text must be str or bytes, not int"):
        drainprep.soil_tables(12)
    with pytest.raises(TypeError, match="name must be str"):
        drainprep.soil_tables("x", b"soil.dat")
    t = drainprep.soil_tables(b"")
    assert not t.ok and t.log == " ERROR: Line 1 (title) missing in file soil.dat"
    with pytest.raises(AttributeError):
        t.drainage.depth_cm = None


def test_arrays_are_read_only_views_that_outlive_their_tables(soils):
    import gc

    porosity = drainprep.soil_tables(soils["vg_nine_layers.dat"]).drainage.porosity
    expected = np.array(porosity)
    gc.collect()
    for text in soils.values():
        drainprep.soil_tables(text).layers
    expect_equal(porosity, expected)
    with pytest.raises(ValueError, match="read-only"):
        porosity[0] = 1
