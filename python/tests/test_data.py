"""The soil-data and weather calculations through the package: worked
examples, arrays against single values, and misuse raising."""

import numpy as np
import pytest

import drainprep

# Touchet silt loam-like parameters; Ks in cm/day.
TRUE = {"theta_r": 0.067, "theta_s": 0.45, "alpha": 0.02, "n": 1.41, "ks": 10.8, "l": 0.5}
HEADS = np.array([1.0, 10, 30, 60, 100, 300, 1000, 3000, 15000])


def curve(h, p=TRUE):
    m = 1 - 1 / p["n"]
    se = (1 + (p["alpha"] * h) ** p["n"]) ** -m
    theta = p["theta_r"] + (p["theta_s"] - p["theta_r"]) * se
    k = p["ks"] * se ** p["l"] * (1 - (1 - se ** (1 / m)) ** m) ** 2
    return theta, k


def test_fit_recovers_the_parameters_the_points_came_from():
    theta, k = curve(HEADS)
    fit = drainprep.fit_van_genuchten(HEADS, theta, k=k)
    assert fit.ok and fit.points == 9 and fit.k_points == 9
    for name, value in TRUE.items():
        assert fit.params[name].value == pytest.approx(value, rel=1e-4), name
        low, high = fit.params[name].ci95
        assert low <= fit.params[name].value <= high
    assert fit.rmse < 1e-6 and fit.r2 == pytest.approx(1.0)
    assert len(fit.residuals) == 9

    # Conductivities at suctions of their own, and a fixed theta_r.
    k_heads = np.array([5.0, 50, 500, 5000])
    fit = drainprep.fit_van_genuchten(HEADS, theta, k=curve(k_heads)[1], k_head_cm=k_heads, fix={"theta_r": 0.067})
    assert fit.theta_r.fixed and fit.theta_r.stderr == 0 and fit.theta_r.value == 0.067
    assert fit.alpha.value == pytest.approx(0.02, rel=1e-4) and fit.ks.value == pytest.approx(10.8, rel=1e-3)
    # Without conductivities there is no ks.
    with pytest.raises(AttributeError):
        drainprep.fit_van_genuchten(HEADS, theta).ks


def test_texture_class_carries_carsel_and_parrish():
    c = drainprep.texture_class("Silt_Loam")
    assert (c.name, c.theta_r, c.theta_s, c.alpha, c.n, c.ks) == ("silt loam", 0.067, 0.45, 0.020, 1.41, 10.8)
    assert c.spread["ks"] == pytest.approx(1.23 * 24) and "Carsel" in c.source
    classes = drainprep.texture_classes()
    assert len(classes) == 12 and classes[0].name == "sand" and classes[-1].name == "clay"
    assert drainprep.texture_class("silty clay").spread is None


def test_fao56_examples():
    # Example 20: 45 deg 43' N, mid-July, Tmax 26.6 C, Tmin 14.8 C.
    assert drainprep.pet_hargreaves(26.6, 14.8, 45.72, 196) == pytest.approx(5.0, abs=0.05)
    # Example 18: Uccle, 6 July, 50 deg 48' N, 100 m, wind 10 km/h at 10 m.
    et0 = drainprep.pet_penman_monteith(21.5, 12.3, 187, 50.8, 100.0, rh_max=84.0, rh_min=63.0, wind=10 / 3.6,
                                        sunshine=9.25, wind_height_m=10.0)
    assert et0 == pytest.approx(3.9, abs=0.05)
    assert drainprep.extraterrestrial_radiation(50.8, 187) == pytest.approx(41.09, abs=0.01)


def test_arrays_give_what_single_values_give():
    tmax, tmin, doy = np.array([26.6, np.nan, 20.0]), np.array([14.8, 10.0, 8.0]), np.array([196, 197, 300])
    et0 = drainprep.pet_hargreaves(tmax, tmin, 45.72, doy)
    assert et0[0] == drainprep.pet_hargreaves(26.6, 14.8, 45.72, 196)
    assert np.isnan(et0[1]) and et0[2] == drainprep.pet_hargreaves(20.0, 8.0, 45.72, 300)
    # A day without humidity gives NaN; the other days are computed.
    pm = drainprep.pet_penman_monteith([21.5, 21.5], [12.3, 12.3], 187, 50.8, 100.0, rh_max=[84.0, np.nan],
                                       rh_min=[63.0, np.nan],
                                       wind=10 / 3.6, sunshine=9.25, wind_height_m=10.0)
    assert pm[0] == pytest.approx(3.9, abs=0.05) and np.isnan(pm[1])
    # HYPRES broadcast over a grid, sample by sample.
    sand, clay = np.array([[40.0, 20.0], [60.0, 10.0]]), np.array([[20.0, 40.0], [10.0, 30.0]])
    grid = drainprep.hypres(sand, 100 - sand - clay, clay, 2.0, 1.4, topsoil=[[True, False]])
    assert grid.ks.shape == (2, 2)
    one = drainprep.hypres(60.0, 30.0, 10.0, 2.0, 1.4, topsoil=True)
    assert grid.theta_s[1, 0] == one.theta_s and grid.ks[1, 0] == one.ks and grid.theta_r[1, 0] == 0.0


def test_thornthwaite_over_a_year():
    days = np.arange(365)
    mean = 10 - 10 * np.cos(2 * np.pi * (days - 15) / 365)
    pet = drainprep.pet_thornthwaite("2001-01-01", mean + 5, mean - 5, 52.0)
    assert pet.shape == (365,) and np.nanargmax(pet) in range(150, 240) and pet[0] < pet[180]
    with pytest.raises(ValueError, match="heat index"):
        drainprep.pet_thornthwaite(np.datetime64("2001-01-01"), mean[:200] + 5, mean[:200] - 5, 52.0)


def test_misuse_raises():
    theta = curve(HEADS)[0]
    with pytest.raises(TypeError):
        drainprep.fit_van_genuchten("1 10 100", theta)
    with pytest.raises(ValueError, match="length"):
        drainprep.fit_van_genuchten(HEADS[:-1], theta)
    with pytest.raises(ValueError, match="parameters are"):
        drainprep.fit_van_genuchten(HEADS, theta, fix={"m": 0.5})
    with pytest.raises(ValueError):  # more free parameters than points
        drainprep.fit_van_genuchten(HEADS[:3], theta[:3])
    with pytest.raises(ValueError, match="theta_s"):
        drainprep.fit_van_genuchten(HEADS, theta, fix={"theta_s": 1.5})
    with pytest.raises(ValueError, match="sandy loam"):
        drainprep.texture_class("peat")
    with pytest.raises(TypeError):
        drainprep.texture_class(3)
    with pytest.raises(ValueError, match="sample 1"):
        drainprep.hypres([40, 40], [40, 40], [20, 40], 1.0, 1.5)
    with pytest.raises(ValueError, match="1 to 366"):
        drainprep.pet_hargreaves(26.6, 14.8, 45.72, 0)
    with pytest.raises(TypeError):
        drainprep.extraterrestrial_radiation(None, 100)
    with pytest.raises(ValueError, match="missing"):
        drainprep.pet_penman_monteith(21.5, 12.3, 187, 50.8, 100.0)
    with pytest.raises(ValueError, match="shape"):
        drainprep.pet_hargreaves([20.0, 21.0], [10.0, 11.0, 12.0], 45.0, 100)
