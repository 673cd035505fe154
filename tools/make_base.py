#!/usr/bin/python3
"""Writes the data files that Korvex reads from Base/.

    /usr/bin/python3 tools/make_base.py [output directory, default Base/]

Output (committed; CI never runs this script, running it twice gives the
same bytes):

  f0_xop.dat  Waasmaier-Kirfel coefficients of the neutral atoms H..Cf
              (xraydb table "Waasmaier", rows whose ion is the element).
  f1f2.dat    total real part f1 = Z + f' and imaginary part f2 by photon
              energy, H..U from xraydb table "Chantler" (which stores the
              anomalous part f' as f1), Np..Cf from xraylib (Fi, -Fii: the
              Chantler table stops at U).
  <Name>.stf  one structure file per shipped phase.

Both scattering tables are organised in entries:
  "#S" + atomic number in a four-character field + blank + symbol
and nothing else in the file begins with "#S".  Every line stays below 79
characters except the coefficient line of f0_xop.dat, which the program
reads as a stream.

f0_xop.dat entry: the "#S" line, eight comment lines that each hold exactly
one '#' (their first character), then the ninth '#' line
  #UP MPFIT guess (Waasmaier&Kirfel) data: a1, a2, a3, a4, a5, c, b1, ..., b5
with the eleven numbers separated by ", ".

f1f2.dat entry: the "#S" line, comment lines, then rows "energy f1 f2"
(eV, electrons), energies strictly increasing as written (a repeated
energy would end the program's interpolation with f1 = f2 = 0).  Rows run
from the last tabulated energy at or below 1 keV up to the end of the
table (about 966 keV).

Structure files (.stf): a title line, "count,total atoms", "a,nu", then one
block per element: the symbol alone on its line, the number of atoms in
the cubic cell and one "x, y, z" line per atom.  No title line begins with
a capital letter, so that no title can be taken for an element's block.
The lattice parameter a is in Angstrom; nu = c12 / (c11 + c12), the ratio
that gives the tetragonal distortion of a layer grown on (001).
"""

import json
import math
import os
import sys

import numpy as np
import xraydb
import xraylib
import xrayutilities as xu
from sqlalchemy import select

E_MIN = 1000.0      # eV: rows start at the last energy at or below this
LAST_Z = 98         # Cf, the last entry the program searches
CHANTLER_LAST_Z = 92


def symbols():
    return [xraylib.AtomicNumberToSymbol(z) for z in range(1, LAST_Z + 1)]


def entry_header(z, sym):
    return "#S%4d %s\n" % (z, sym)


def num(x):
    """Shortest text that reads back as the same double."""
    return repr(float(x))


# --------------------------------------------------------------------------
# f0_xop.dat
# --------------------------------------------------------------------------

def waasmaier_rows():
    db = xraydb.get_xraydb()
    t = db.tables['Waasmaier']
    rows = db.session.execute(select(t)).fetchall()
    out = {}
    for r in rows:
        if r.ion == r.element:
            out[r.element] = (float(r.offset), json.loads(r.scale),
                              json.loads(r.exponents))
    return out


def make_f0(path):
    coef = waasmaier_rows()
    lines = [
        "#F f0_xop.dat\n",
        "#C atomic form factors f0(s) of the neutral atoms H..Cf\n",
        "#C f0(s) = c + sum(i=1..5) a_i exp(-b_i s^2), s = sin(theta)/lambda"
        " in 1/A\n",
        "#C D. Waasmaier, A. Kirfel, Acta Cryst. A51 (1995) 416-431\n",
        "#C taken from the table Waasmaier of xraydb (python3-xraydb %s)\n"
        % xraydb.__version__,
        "\n",
    ]
    for z, sym in enumerate(symbols(), start=1):
        c, a, b = coef[sym]
        assert len(a) == 5 and len(b) == 5
        values = list(a) + [c] + list(b)
        lines.append(entry_header(z, sym))
        lines += [
            "#N 11\n",
            "#UZ %d\n" % z,
            "#UN neutral atom %s\n" % sym,
            "#UF f0(s) = c + sum a_i exp(-b_i s^2), s = sin(theta)/lambda\n",
            "#UR Waasmaier and Kirfel, Acta Cryst. A51 (1995) 416-431\n",
            "#UC f0(0) = %s\n" % num(c + sum(a)),
            "#UO xraydb table Waasmaier, ion %s\n" % sym,
            "#L a1 a2 a3 a4 a5 c b1 b2 b3 b4 b5\n",
            "#UP MPFIT guess (Waasmaier&Kirfel) data: "
            + ", ".join(num(v) for v in values) + "\n",
        ]
    write(path, lines)


# --------------------------------------------------------------------------
# f1f2.dat
# --------------------------------------------------------------------------

def chantler_tables():
    db = xraydb.get_xraydb()
    t = db.tables['Chantler']
    out = {}
    for r in db.session.execute(select(t)).fetchall():
        out[r.element] = (json.loads(r.energy), json.loads(r.f1),
                          json.loads(r.f2))
    return out


def xraylib_table(z, e_max):
    """f' and f'' of xraylib (Kissel) on a 1 % energy grid plus both sides
    of every absorption edge, for the elements beyond the Chantler table."""
    grid = set()
    e = E_MIN
    while e <= e_max:
        grid.add(round(e, 4))
        e *= 1.01
    for shell in range(0, 31):
        try:
            edge = xraylib.EdgeEnergy(z, shell) * 1000.0
        except ValueError:
            continue
        if E_MIN < edge < e_max:
            grid.add(round(edge * (1 - 1e-6), 4))
            grid.add(round(edge * (1 + 1e-6), 4))
    energies = sorted(grid)
    f1 = [xraylib.Fi(z, en / 1000.0) for en in energies]
    f2 = [-xraylib.Fii(z, en / 1000.0) for en in energies]
    return energies, f1, f2


def f1f2_rows(z, sym, chantler):
    """Rows (energy text, f1 total, f2) from E_MIN on, strictly increasing."""
    if z <= CHANTLER_LAST_Z:
        energies, f1, f2 = chantler[sym]
        source = "xraydb table Chantler (f1 = Z + f')"
    else:
        e_max = max(chantler['U'][0])
        energies, f1, f2 = xraylib_table(z, e_max)
        source = "xraylib Fi, Fii (Kissel), f1 = Z + Fi, f2 = -Fii"
    start = 0
    for i, e in enumerate(energies):
        if e <= E_MIN:
            start = i
    rows = []
    last = None
    for e, a, b in zip(energies[start:], f1[start:], f2[start:]):
        text = "%.10g" % e
        if last is not None and float(text) <= last:
            continue            # repeated energy (edge written twice)
        last = float(text)
        rows.append("%s %.8g %.8g\n" % (text, z + a, b))
    return rows, source


def make_f1f2(path):
    chantler = chantler_tables()
    lines = [
        "#F f1f2.dat\n",
        "#C scattering factors f1 (total real part) and f2 of the atoms H..Cf\n",
        "#C rows: photon energy (eV), f1, f2 (electrons); energies increase\n",
        "#C H..U: C.T. Chantler, J. Phys. Chem. Ref. Data 24 (1995) 71,\n",
        "#C       table Chantler of xraydb (python3-xraydb %s)\n"
        % xraydb.__version__,
        "#C Np..Cf: L. Kissel, Radiat. Phys. Chem. 59 (2000) 185, via\n",
        "#C       xraylib %s (Fi, Fii)\n" % xraylib.__version__,
        "\n",
    ]
    for z, sym in enumerate(symbols(), start=1):
        rows, source = f1f2_rows(z, sym, chantler)
        lines.append(entry_header(z, sym))
        lines += [
            "#N 3\n",
            "#UZ %d\n" % z,
            "#UO %s\n" % source,
            "#L PhotonEnergy[eV] f1 f2\n",
        ]
        lines += rows
    write(path, lines)


# --------------------------------------------------------------------------
# Structure files
# --------------------------------------------------------------------------

Q = 0.25
FCC = [(0, 0, 0), (0, .5, .5), (.5, 0, .5), (.5, .5, 0)]
FCC_QUARTER = [(x + Q, y + Q, z + Q) for x, y, z in FCC]   # 4c of F-43m
FCC_HALF = [((x + .5) % 1, (y + .5) % 1, (z + .5) % 1) for x, y, z in FCC]
BCC = [(0, 0, 0), (.5, .5, .5)]

# Sources of the values xrayutilities lacks (c11, c12 in GPa):
#  V  I. Vurgaftman, J.R. Meyer, L.R. Ram-Mohan, J. Appl. Phys. 89 (2001)
#     5815 (III-V zinc blende)
#  VM I. Vurgaftman, J.R. Meyer, J. Appl. Phys. 94 (2003) 3675 (zinc-blende
#     nitrides)
#  LB Landolt-Boernstein, New Series III/41 (semiconductors) and III/11,
#     III/29a (elastic constants of crystals)
#  G  M. Grimsditch, E.S. Zouboulis, A. Polian, J. Appl. Phys. 76 (1994) 832
#     (elastic constants of cubic BN)
#  K  C. Kittel, Introduction to Solid State Physics, 8th ed., Table 3.3
#     (elastic stiffness of cubic crystals at room temperature)
#  RC J.A. Rayne, B.S. Chandrasekhar, Phys. Rev. 122 (1961) 1714 (alpha-Fe)
#  A  S. Adachi, Properties of Group-IV, III-V and II-VI Semiconductors,
#     Wiley 2005 (II-VI zinc blende)
SOURCE_NAME = {'xrayutilities': 'xrayutilities', 'V': 'Vurgaftman 2001',
               'VM': 'Vurgaftman 2003', 'LB': 'Landolt-Boernstein',
               'G': 'Grimsditch 1994', 'K': 'Kittel',
               'RC': 'Rayne 1961', 'A': 'Adachi 2005'}
REFERENCE = {
    # name: (a, source of a, c11, c12, source of cij)
    'AlP':  (5.4672, 'V', 133.0, 63.0, 'V'),
    'AlSb': (6.1355, 'V', 87.69, 43.41, 'V'),
    'GaN':  (4.50, 'VM', 293.0, 159.0, 'VM'),
    'AlN':  (4.38, 'VM', 304.0, 160.0, 'VM'),
    'BN':   (3.6157, 'LB', 820.0, 190.0, 'G'),
    'SiC':  (4.3596, 'LB', 390.0, 142.0, 'LB'),
    'ZnS':  (5.4093, 'A', 104.6, 65.3, 'A'),
    'ZnSe': (5.6676, 'A', 85.9, 50.6, 'A'),
    'ZnTe': (6.1037, 'A', 71.7, 40.7, 'A'),
    'LiF':  (4.0263, 'LB', 111.2, 42.0, 'LB'),
    # lattice from xrayutilities, elastic constants from the reference
    'NaCl': (None, None, 48.7, 12.4, 'K'),
    'MgO':  (None, None, 286.0, 87.0, 'K'),
    'Cu':   (None, None, 168.4, 121.4, 'K'),
    'Al':   (None, None, 106.8, 60.7, 'K'),
    'Ag':   (None, None, 124.0, 93.4, 'K'),
    'Au':   (None, None, 192.3, 163.1, 'K'),
    'Fe':   (None, None, 231.0, 135.0, 'RC'),
    'W':    (None, None, 532.6, 204.9, 'K'),
}

# name: (structure type, elements, xrayutilities material or None)
PHASES = [
    ('Si',   'diamond', ['Si'], 'Si'),
    ('Ge',   'diamond', ['Ge'], 'Ge'),
    ('C',    'diamond', ['C'], 'C'),
    ('GaAs', 'zinc blende', ['Ga', 'As'], 'GaAs'),
    ('AlAs', 'zinc blende', ['Al', 'As'], 'AlAs'),
    ('InAs', 'zinc blende', ['In', 'As'], 'InAs'),
    ('GaP',  'zinc blende', ['Ga', 'P'], 'GaP'),
    ('InP',  'zinc blende', ['In', 'P'], 'InP'),
    ('AlP',  'zinc blende', ['Al', 'P'], None),
    ('GaSb', 'zinc blende', ['Ga', 'Sb'], 'GaSb'),
    ('InSb', 'zinc blende', ['In', 'Sb'], 'InSb'),
    ('AlSb', 'zinc blende', ['Al', 'Sb'], None),
    ('GaN',  'zinc blende', ['Ga', 'N'], None),   # xrayutilities: wurtzite
    ('AlN',  'zinc blende', ['Al', 'N'], None),
    ('BN',   'zinc blende', ['B', 'N'], None),
    ('SiC',  'zinc blende', ['Si', 'C'], None),   # 3C
    ('ZnS',  'zinc blende', ['Zn', 'S'], None),
    ('ZnSe', 'zinc blende', ['Zn', 'Se'], None),
    ('ZnTe', 'zinc blende', ['Zn', 'Te'], None),
    ('CdTe', 'zinc blende', ['Cd', 'Te'], 'CdTe'),
    ('NaCl', 'rock salt', ['Na', 'Cl'], 'NaCl'),
    ('LiF',  'rock salt', ['Li', 'F'], None),
    ('MgO',  'rock salt', ['Mg', 'O'], 'MgO'),
    ('Cu',   'fcc', ['Cu'], 'Cu'),
    ('Al',   'fcc', ['Al'], 'Al'),
    ('Ag',   'fcc', ['Ag'], 'Ag'),
    ('Au',   'fcc', ['Au'], 'Au'),
    ('Fe',   'bcc', ['Fe'], 'Fe'),
    ('W',    'bcc', ['W'], 'W'),
]

SPACE_GROUP = {'diamond': 'Fd-3m', 'zinc blende': 'F-43m',
               'rock salt': 'Fm-3m', 'fcc': 'Fm-3m', 'bcc': 'Im-3m'}


def standard_positions(kind, elements):
    """Atom positions of the structure type, origin as xrayutilities puts
    it (an atom of the first element at 0 0 0)."""
    if kind == 'diamond':
        return {elements[0]: FCC + FCC_QUARTER}
    if kind == 'zinc blende':
        return {elements[0]: FCC, elements[1]: FCC_QUARTER}
    if kind == 'rock salt':
        return {elements[0]: FCC, elements[1]: FCC_HALF}
    if kind == 'fcc':
        return {elements[0]: FCC}
    if kind == 'bcc':
        return {elements[0]: BCC}
    raise ValueError(kind)


def key(p):
    return tuple(round(v, 6) for v in p)


def xu_positions(mat):
    out = {}
    for atom, pos, occ, _b in mat.lattice.base():
        assert occ == 1.0
        sym = atom.name
        out.setdefault(sym, []).append(tuple(float(v) % 1.0 for v in pos))
    return out


def phase_data(name, kind, elements, xu_name):
    ref = REFERENCE.get(name)
    pos = standard_positions(kind, elements)
    if xu_name is not None:
        mat = getattr(xu.materials, xu_name)
        lat = mat.lattice
        assert lat.a == lat.b == lat.c and lat.alpha == lat.beta == lat.gamma == 90
        a, a_src = float(lat.a), 'xrayutilities'
        got = xu_positions(mat)
        # same sites and the same origin as xrayutilities' material
        assert sorted(got) == sorted(pos), (name, got.keys())
        for sym in pos:
            assert sorted(map(key, got[sym])) == sorted(map(key, pos[sym])), name
        c11, c12 = float(mat.cij[0, 0]), float(mat.cij[0, 1])
        nu_src = 'xrayutilities'
        if c11 == 0.0:
            _a, _s, c11, c12, nu_src = ref
    else:
        a, a_src, c11, c12, nu_src = ref
    nu = c12 / (c11 + c12)
    return a, a_src, nu, nu_src, pos


def fmt_pos(p):
    return ", ".join("%.4f" % (v + 0.0) for v in p)


def make_stf(directory):
    for name, kind, elements, xu_name in PHASES:
        a, a_src, nu, nu_src, pos = phase_data(name, kind, elements, xu_name)
        title = "- %s, %s (%s), a: %s, nu: %s" % (
            name, kind, SPACE_GROUP[kind], SOURCE_NAME[a_src],
            SOURCE_NAME[nu_src])
        total = sum(len(v) for v in pos.values())
        lines = [title + "\n",
                 "%d,%d\n" % (len(elements), total),
                 "%.6f,%.6f\n" % (a, nu)]
        for sym in elements:
            lines.append(sym + "\n")
            lines.append("%d\n" % len(pos[sym]))
            lines += [fmt_pos(p) + "\n" for p in sorted(map(key, pos[sym]))]
        write(os.path.join(directory, name + ".stf"), lines)


# --------------------------------------------------------------------------

def write(path, lines):
    for i, line in enumerate(lines):
        if len(line.rstrip("\n")) > 78 and "data:" not in line:
            raise SystemExit("%s line %d too long" % (path, i + 1))
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.writelines(lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    directory = sys.argv[1] if len(sys.argv) > 1 else \
        os.path.join(here, os.pardir, "Base")
    os.makedirs(directory, exist_ok=True)
    make_f0(os.path.join(directory, "f0_xop.dat"))
    make_f1f2(os.path.join(directory, "f1f2.dat"))
    make_stf(directory)


if __name__ == "__main__":
    main()
