#!/usr/bin/python3
"""How drainable porosity and steady upward flux change over the soil
texture classes.

Each of the twelve USDA texture classes, with the mean van Genuchten
parameters of Carsel and Parrish (1988, Water Resources Research 24(5),
Table 3), is run as a uniform profile 200 cm deep. For each class the script
prints the drainable porosity at water tables of 50 and 100 cm and the
water-table depth below the root-zone reference level that still feeds an
upward flux of 5 mm/day and 1 mm/day; with matplotlib installed it also
draws both curves for every class into texture_sensitivity.png.

The soils run in a thread pool: each call releases the interpreter's lock.

  PYTHONPATH=<build>/python /usr/bin/python3 examples/python/texture_sensitivity.py [--out DIR]
"""

import argparse
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np

import drainprep

GADEPTH, ROOTDEPTH = 40.0, 30.0  # cm


def soil_input(name, theta_r, theta_s, alpha, n, ks):
    """A one-layer van Genuchten profile, 200 cm deep, K0 = Ks."""
    return (f"{name}, uniform to 200 cm\n1 1\n"
            f"200.0 {theta_r} {theta_s} {alpha} {n} {ks} {ks} 0.5\n"
            f"{GADEPTH} {ROOTDEPTH} 1\n")


def depth_for_flux(tables, flux_cm_per_hr):
    """The water-table depth (cm below the reference level) whose steady
    upward flux is `flux_cm_per_hr`, interpolated in log flux."""
    f = tables.upward_flux
    order = np.argsort(f.flux_cm_per_hr)
    return float(np.interp(np.log(flux_cm_per_hr), np.log(f.flux_cm_per_hr[order]), f.depth_cm[order]))


def run_all():
    # The package's catalogue of the classes: theta_r, theta_s (cm3/cm3),
    # alpha (1/cm), n and Ks (cm/day).
    classes = drainprep.texture_classes()
    texts = [soil_input(c.name, c.theta_r, c.theta_s, c.alpha, c.n, c.ks) for c in classes]
    with ThreadPoolExecutor() as pool:
        return dict(zip((c.name for c in classes), pool.map(drainprep.soil_tables, texts)))


def report(results):
    lines = [f"{'texture class':16s} {'S_y 50 cm':>9s} {'S_y 100 cm':>10s} "
             f"{'WT 5 mm/d':>9s} {'WT 1 mm/d':>9s}"]
    for name, t in results.items():
        if not t.ok:
            lines.append(f"{name:16s} run failed:{t.log}")
            continue
        d = t.drainage
        at = {float(z): float(p) for z, p in zip(d.depth_cm, d.porosity)}
        lines.append(f"{name:16s} {at[50.0]:9.4f} {at[100.0]:10.4f} "
                     f"{depth_for_flux(t, 0.5 / 24):9.1f} {depth_for_flux(t, 0.1 / 24):9.1f}")
    return lines


def plot(results, out):
    try:
        import matplotlib

        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        return None
    fig, (left, right) = plt.subplots(1, 2, figsize=(11, 6.5))
    colours = plt.get_cmap("tab20").colors
    for k, (name, t) in enumerate(results.items()):
        if not t.ok:
            continue
        style = {"color": colours[k], "linestyle": "-" if k % 2 == 0 else "--", "label": name}
        keep = t.drainage.depth_cm <= 200  # the profile's depth
        left.plot(t.drainage.porosity[keep], t.drainage.depth_cm[keep], **style)
        # cm/hr to mm/day: x 24 x 10
        right.semilogx(t.upward_flux.flux_cm_per_hr * 240, t.upward_flux.depth_cm, marker=".", **style)
    left.set_xlabel("drainable porosity (cm/cm)")
    left.set_ylabel("water-table depth below the surface (cm)")
    left.invert_yaxis()
    right.set_xlabel("steady upward flux (mm/day)")
    right.set_ylabel("water-table depth below the root-zone reference level (cm)")
    right.invert_yaxis()
    for ax in (left, right):
        ax.grid(alpha=0.3)
    handles, labels = left.get_legend_handles_labels()
    fig.legend(handles, labels, loc="lower center", ncol=6, fontsize="small")
    fig.suptitle("Uniform 200 cm profiles, van Genuchten means of the texture classes (Carsel and Parrish 1988)")
    fig.tight_layout(rect=(0, 0.08, 1, 1))
    path = Path(out) / "texture_sensitivity.png"
    fig.savefig(path, dpi=100)
    plt.close(fig)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=".", help="folder for the figure")
    args = parser.parse_args()
    results = run_all()
    print("\n".join(report(results)))
    path = plot(results, args.out)
    print(f"figure: {path}" if path else "figure: none (matplotlib not installed)")


if __name__ == "__main__":
    main()
