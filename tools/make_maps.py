#!/usr/bin/python3
"""Draws the example reciprocal-space maps of Fig/ and their peak table.

Each map shows the intensity around one reflection of a GaAs(001) substrate, alone or with an
In2Ga8As layer on it (fully strained, half relaxed or fully relaxed), over Qx (in the surface
and the plane of incidence) and Qz (along the outward normal), in 1/angstrom without 2 pi, on a
log colour scale. The node positions come from the program's own crystal model and strain rule
(tools/korvex_map_nodes.cpp); this script only draws around them, with a kinematic model:

  substrate  a sharp node with its crystal truncation rod along the surface normal,
             I = 1 / (dqz^2 + g^2) times a narrow Gaussian across the rod;
  layer      the thickness fringes of a layer of thickness t along the normal,
             I = A sinc^2(t dqz) times a Gaussian across the normal, spread over a range of
             tilts about Q = 0 that grows with the relaxation (the mosaic spread that the
             misfit dislocations bring);
  both       convolved with a Gaussian instrument resolution.

The peak table (tools/map_peaks.csv) lists, for every map and node, the node the model put in
and the pixel of the brightest point found near it in the drawn intensity; the program's tests
check that the two agree within one pixel. The GIF files are written with a fixed palette, so
two runs give the same bytes.

Run from anywhere (development only; needs python3-pil and python3-numpy):
  tools/make_maps.py [path of korvex-map-nodes]
The default tool is build/dbg/tools/korvex-map-nodes, then build/rel/tools/korvex-map-nodes.
"""

import csv
import os
import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIG = os.path.join(ROOT, "Fig")
TABLE = os.path.join(ROOT, "tools", "map_peaks.csv")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

LAMBDA = "1.54"
PLANE_POINT = ("1", "1", "0")  # the plane of incidence contains [110], so 224 lies in it
SUBSTRATE = "GaAs"
LAYER = "In2Ga8As"

# number, file name (after "N_"), layer ("-" for none), strain text, reflection, caption words
MAPS = [
    (1, "GaAs_004", "-", "r", (0, 0, 4), "GaAs(001) substrate alone, 004"),
    (2, "GaAs_224", "-", "r", (2, 2, 4), "GaAs(001) substrate alone, 224"),
    (3, "In2Ga8As_004_strained", LAYER, "a", (0, 0, 4), "In2Ga8As on GaAs(001), 004, fully strained"),
    (4, "In2Ga8As_004_half_relaxed", LAYER, "half", (0, 0, 4), "In2Ga8As on GaAs(001), 004, half relaxed"),
    (5, "In2Ga8As_004_relaxed", LAYER, "r", (0, 0, 4), "In2Ga8As on GaAs(001), 004, fully relaxed"),
    (6, "In2Ga8As_224_strained", LAYER, "a", (2, 2, 4), "In2Ga8As on GaAs(001), 224, fully strained"),
    (7, "In2Ga8As_224_half_relaxed", LAYER, "half", (2, 2, 4), "In2Ga8As on GaAs(001), 224, half relaxed"),
    (8, "In2Ga8As_224_relaxed", LAYER, "r", (2, 2, 4), "In2Ga8As on GaAs(001), 224, fully relaxed"),
]

# The plot: N x N pixels of D 1/angstrom; Qz from QZ_TOP down, Qx centred on the reflection.
N = 360
D = 1.0e-4
QZ_TOP = 0.716
QX_CENTRE = {(0, 0, 4): 0.0, (2, 2, 4): 0.4968}

# The model.
THICKNESS = 500.0       # layer, angstrom (50 nm)
LAYER_AMPLITUDE = 0.02  # layer peak against the substrate peak
ROD_WIDTH = 2.0e-5      # g of the truncation rod, 1/angstrom
ROD_ACROSS = 3.0e-5     # Gaussian sigma across the rod
LAYER_ACROSS = 1.5e-4   # Gaussian sigma across the normal (lateral size of the layer's blocks)
MOSAIC = 8.7e-4         # rad (0.05 degree) of tilt spread in a fully relaxed layer
RESOLUTION = 1.0e-4     # Gaussian sigma of the instrument, both directions
FLOOR = 1.0e-6          # the lowest decade shown
DECADES = 6

# Picture layout (pixels of the GIF).
WIDTH, HEIGHT = 540, 540
PLOT_LEFT, PLOT_TOP = 84, 62
BAR_LEFT, BAR_WIDTH = PLOT_LEFT + N + 16, 14
COLOURS = 200
WHITE, BLACK, GREY = 250, 251, 252


def node_tool():
    if len(sys.argv) > 1:
        return sys.argv[1]
    for build in ("dbg", "rel", "release"):
        path = os.path.join(ROOT, "build", build, "tools", "korvex-map-nodes")
        if os.path.exists(path):
            return path
    sys.exit("korvex-map-nodes not found: build the target korvex-map-nodes first")


def nodes(tool, layer, strain, hkl):
    out = subprocess.run(
        [tool, SUBSTRATE, layer, strain, *map(str, hkl), *PLANE_POINT, LAMBDA],
        check=True, capture_output=True, text=True,
        env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0")).stdout
    values = {}
    for line in out.splitlines():
        key, *rest = line.split()
        values[key] = rest
    return values


def palette():
    """COLOURS entries from white (the floor) through blue, cyan, green, yellow and red to dark
    red, then white, black and grey for the frame and the text."""
    stops = [(0.0, (255, 255, 255)), (0.12, (120, 150, 255)), (0.3, (0, 40, 220)), (0.45, (0, 200, 230)),
             (0.6, (40, 200, 40)), (0.75, (250, 230, 0)), (0.9, (240, 40, 0)), (1.0, (120, 0, 0))]
    entries = []
    for i in range(COLOURS):
        x = i / (COLOURS - 1)
        for (x0, c0), (x1, c1) in zip(stops, stops[1:]):
            if x0 <= x <= x1:
                f = (x - x0) / (x1 - x0)
                entries.append(tuple(int(round(a + (b - a) * f)) for a, b in zip(c0, c1)))
                break
    entries += [(0, 0, 0)] * (WHITE - COLOURS)
    entries += [(255, 255, 255), (0, 0, 0), (150, 150, 150)]
    entries += [(0, 0, 0)] * (256 - len(entries))
    return [v for rgb in entries for v in rgb]


def gaussian_kernel(sigma_pixels):
    radius = int(np.ceil(4 * sigma_pixels))
    x = np.arange(-radius, radius + 1, dtype=np.float64)
    k = np.exp(-0.5 * (x / sigma_pixels) ** 2)
    return k / k.sum()


def smear(intensity):
    k = gaussian_kernel(RESOLUTION / D)
    rows = np.apply_along_axis(lambda r: np.convolve(r, k, mode="same"), 1, intensity)
    return np.apply_along_axis(lambda c: np.convolve(c, k, mode="same"), 0, rows)


def intensity(qx, qz, sub, layer, relaxation):
    """The kinematic intensity on the pixel centres (qx, qz), before the resolution."""
    dx, dz = qx - sub[0], qz - sub[1]
    total = (ROD_WIDTH ** 2 / (dz ** 2 + ROD_WIDTH ** 2)) * np.exp(-0.5 * (dx / ROD_ACROSS) ** 2)
    if layer is not None:
        # The tilts: a Gaussian of width relaxation * MOSAIC, sampled symmetrically, so the
        # brightest point stays on the node.
        spread = relaxation * MOSAIC
        tilts = np.linspace(-3 * spread, 3 * spread, 41) if spread > 0 else np.zeros(1)
        weights = np.exp(-0.5 * (tilts / spread) ** 2) if spread > 0 else np.ones(1)
        weights = weights / weights.sum()
        for tilt, weight in zip(tilts, weights):
            c, s = np.cos(tilt), np.sin(tilt)
            tx, tz = c * qx + s * qz, -s * qx + c * qz  # the point turned back by the tilt
            dx, dz = tx - layer[0], tz - layer[1]
            total = total + weight * LAYER_AMPLITUDE * np.sinc(THICKNESS * dz) ** 2 * np.exp(
                -0.5 * (dx / LAYER_ACROSS) ** 2)
    return total


def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def text_width(draw, text, f):
    left, _, right, _ = draw.textbbox((0, 0), text, font=f)
    return right - left


def draw_rotated(image, text, f, centre_x, centre_y):
    """Text turned a quarter to the left, centred on the point."""
    probe = ImageDraw.Draw(image)
    w = text_width(probe, text, f) + 4
    h = f.size + 8
    strip = Image.new("L", (w, h), 0)
    ImageDraw.Draw(strip).text((2, 2), text, font=f, fill=255)
    strip = strip.rotate(90, expand=True)
    mask = strip.point(lambda v: 255 if v >= 128 else 0)
    image.paste(BLACK, (centre_x - strip.width // 2, centre_y - strip.height // 2,
                        centre_x - strip.width // 2 + strip.width, centre_y - strip.height // 2 + strip.height), mask)


def ticks(low, high, step):
    first = np.ceil(low / step - 1e-9) * step
    values = []
    v = first
    while v <= high + 1e-12:
        values.append(round(v, 6))
        v += step
    return values


def render(number, name, layer_name, strain, hkl, caption, tool):
    values = nodes(tool, layer_name, strain, hkl)
    sub = (float(values["substrate"][0]), float(values["substrate"][1]))
    layer = None
    relaxation = 0.0
    if "layer" in values:
        layer = (float(values["layer"][0]), float(values["layer"][1]))
        a_s, a_l, c_l = (float(values[k][0]) for k in ("a_substrate", "a_layer", "c_layer"))
        # relaxation: the in-plane lattice between the substrate's (0) and the free layer's (1)
        free = nodes(tool, layer_name, "r", hkl)
        a_free = float(free["a_layer"][0])
        relaxation = 0.0 if abs(a_free - a_s) < 1e-12 else (a_l - a_s) / (a_free - a_s)

    qx_left = QX_CENTRE[hkl] - N * D / 2
    cols = np.arange(N)
    qx = qx_left + (cols + 0.5) * D
    qz = QZ_TOP - (np.arange(N) + 0.5) * D
    QX, QZ = np.meshgrid(qx, qz)
    I = smear(intensity(QX, QZ, sub, layer, relaxation))
    I = I / I.max()

    # The brightest pixel within 10 pixels of each node.
    found = []
    for role, node in (("substrate", sub), ("layer", layer)):
        if node is None:
            continue
        c0 = int(round((node[0] - qx_left) / D - 0.5))
        r0 = int(round((QZ_TOP - node[1]) / D - 0.5))
        window = I[max(r0 - 10, 0):r0 + 11, max(c0 - 10, 0):c0 + 11]
        r, c = np.unravel_index(int(np.argmax(window)), window.shape)
        found.append((role, node, int(c) + max(c0 - 10, 0), int(r) + max(r0 - 10, 0)))

    level = np.clip((np.log10(np.maximum(I, FLOOR)) + DECADES) / DECADES, 0.0, 1.0)
    index = np.rint(level * (COLOURS - 1)).astype(np.uint8)

    image = Image.new("P", (WIDTH, HEIGHT), WHITE)
    image.putpalette(palette())
    image.paste(Image.fromarray(index, mode="P"), (PLOT_LEFT, PLOT_TOP))
    draw = ImageDraw.Draw(image)
    small, normal, bold = font(12), font(14), font(15, True)

    # The strained line (straight up through the substrate node) and the relaxed line (towards
    # the origin), dotted, where a layer is shown on an asymmetric reflection.
    if layer is not None and hkl != (0, 0, 4):
        for r in range(0, N, 4):
            q_z = QZ_TOP - (r + 0.5) * D
            for q_x in (sub[0], sub[0] * q_z / sub[1]):
                c = int(round((q_x - qx_left) / D - 0.5))
                if 0 <= c < N:
                    draw.point((PLOT_LEFT + c, PLOT_TOP + r), fill=GREY)
        draw.text((PLOT_LEFT + 4, PLOT_TOP + 4), "dotted: strained line (vertical)", font=small, fill=GREY)
        draw.text((PLOT_LEFT + 4, PLOT_TOP + 20), "and relaxed line (towards Q = 0)", font=small, fill=GREY)

    for role, node, c, r in found:
        label = SUBSTRATE if role == "substrate" else layer_name
        draw.text((PLOT_LEFT + c + 12, PLOT_TOP + r - 8), label, font=small, fill=BLACK)

    draw.rectangle((PLOT_LEFT - 1, PLOT_TOP - 1, PLOT_LEFT + N, PLOT_TOP + N), outline=BLACK)
    for v in ticks(qx_left, qx_left + N * D, 0.01):
        x = PLOT_LEFT + int(round((v - qx_left) / D))
        draw.line((x, PLOT_TOP + N, x, PLOT_TOP + N + 5), fill=BLACK)
        label = "%.2f" % v
        draw.text((x - text_width(draw, label, small) // 2, PLOT_TOP + N + 7), label, font=small, fill=BLACK)
    for v in ticks(QZ_TOP - N * D, QZ_TOP, 0.01):
        y = PLOT_TOP + int(round((QZ_TOP - v) / D))
        draw.line((PLOT_LEFT - 6, y, PLOT_LEFT - 1, y), fill=BLACK)
        label = "%.2f" % v
        draw.text((PLOT_LEFT - 9 - text_width(draw, label, small), y - 8), label, font=small, fill=BLACK)
    x_title = "Qx (Å⁻¹)"
    draw.text((PLOT_LEFT + N // 2 - text_width(draw, x_title, normal) // 2, PLOT_TOP + N + 24), x_title,
              font=normal, fill=BLACK)
    draw_rotated(image, "Qz (Å⁻¹)", normal, 14, PLOT_TOP + N // 2)

    # The colour bar, one decade a step.
    for y in range(N):
        level_index = int(round((1 - y / (N - 1)) * (COLOURS - 1)))
        draw.line((BAR_LEFT, PLOT_TOP + y, BAR_LEFT + BAR_WIDTH - 1, PLOT_TOP + y), fill=level_index)
    draw.rectangle((BAR_LEFT - 1, PLOT_TOP - 1, BAR_LEFT + BAR_WIDTH, PLOT_TOP + N), outline=BLACK)
    superscript = str.maketrans("-0123456789", "⁻⁰¹²³⁴⁵⁶⁷⁸⁹")
    for d in range(DECADES + 1):
        y = PLOT_TOP + int(round(d * (N - 1) / DECADES))
        draw.line((BAR_LEFT + BAR_WIDTH, y, BAR_LEFT + BAR_WIDTH + 3, y), fill=BLACK)
        label = "10" + str(-d).translate(superscript) if d else "1"
        draw.text((BAR_LEFT + BAR_WIDTH + 5, y - 8), label, font=small, fill=BLACK)

    draw.text((PLOT_LEFT, 10), caption, font=bold, fill=BLACK)
    strain_words = {"a": "strain mode a", "r": "strain mode r"}.get(values["strain"][0],
                                                                   "strain %s" % values["strain"][0])
    subtitle = "Map %d: intensity on a log scale, λ = %s Å, %s" % (number, LAMBDA, strain_words)
    if layer is None:
        subtitle = "Map %d: intensity on a log scale, λ = %s Å" % (number, LAMBDA)
    draw.text((PLOT_LEFT, 34), subtitle, font=small, fill=BLACK)
    model = ["Kinematic model: substrate node with its truncation rod along the normal;",
             "%d nm layer with thickness fringes and a tilt spread that grows with relaxation;" % (THICKNESS / 10),
             "Gaussian instrument resolution of %.4f Å⁻¹." % RESOLUTION]
    if layer is None:
        model = ["Kinematic model: substrate node with its truncation rod along the normal;",
                 "Gaussian instrument resolution of %.4f Å⁻¹." % RESOLUTION]
    for i, line in enumerate(model):
        draw.text((8, PLOT_TOP + N + 48 + 15 * i), line, font=small, fill=BLACK)

    file_name = "%d_%s.gif" % (number, name)
    image.save(os.path.join(FIG, file_name), format="GIF", optimize=False)
    rows = []
    for role, node, c, r in found:
        rows.append([number, file_name, role, SUBSTRATE if role == "substrate" else layer_name,
                     SUBSTRATE, "-" if layer is None else layer_name, values["strain"][0],
                     *hkl, *PLANE_POINT, LAMBDA, "%.10g" % node[0], "%.10g" % node[1], c, r,
                     "%.10g" % qx_left, "%.10g" % D, "%.10g" % QZ_TOP, "%.10g" % D, PLOT_LEFT, PLOT_TOP])
    return rows


def main():
    tool = node_tool()
    os.makedirs(FIG, exist_ok=True)
    rows = []
    for entry in MAPS:
        rows += render(*entry, tool=tool)
    with open(TABLE, "w", newline="") as out:
        out.write("# Peaks of the example maps in Fig/, written by tools/make_maps.py.\n")
        out.write("# qx, qz: the node from the program's model (1/angstrom); col, row: the brightest\n")
        out.write("# plot pixel near it; pixel centres at qx_left + (col + 0.5) dqx, qz_top - (row + 0.5) dqz;\n")
        out.write("# the plot's top left corner lies at plot_left, plot_top of the picture.\n")
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow(["map", "file", "role", "phase", "substrate", "layer", "strain", "h", "k", "l",
                         "hpl", "kpl", "lpl", "lambda", "qx", "qz", "col", "row", "qx_left", "dqx",
                         "qz_top", "dqz", "plot_left", "plot_top"])
        writer.writerows(rows)
    print("wrote %d maps and %s" % (len(MAPS), os.path.relpath(TABLE, ROOT)))


if __name__ == "__main__":
    main()
