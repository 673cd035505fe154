#!/usr/bin/python3
"""Writes tests/crystal/chi_reference.csv: susceptibilities chi of Si, Ge,
GaAs and InAs for the reflections 111, 002, 004, 224 at 1.5406 and
0.7093 Angstrom, computed by xrayutilities and by xraylib, without
temperature factor.

    /usr/bin/python3 tools/make_chi_reference.py [output file]

Both sources use the lattice parameter of the phase's file in Base/ (the
one Korvex uses) and the atom positions of those files (atom at the origin,
the same origin as xrayutilities and xraylib), so the phases of F agree.

Sign convention of the table (the one Korvex stores): with
Gamma = r_e lambda^2 / (pi V) and F(hkl) = sum_atoms (fr + i fi)
exp(+2 pi i (h x + k y + l z)), fi = f2 > 0,
    chi0_re  = -Gamma Re F(000)     chi0_im  = +Gamma Im F(000)
    chih_re  = +Gamma Re F(hkl)     chih_im  = +Gamma Im F(hkl)
    chimh_re = +Gamma Re F(-h-k-l)  chimh_im = +Gamma Im F(-h-k-l)
(the physical chi is -Gamma F; only chi0's real part carries that sign
here).  abs_chi0 = Gamma |F(000)|, abs_chih = Gamma |F(hkl)| and
abs_chimh = Gamma |F(-h-k-l)| are the moduli, independent of the sign
convention.

xrayutilities: Crystal.chi0(en) and Crystal.StructureFactor(q, en, temp=0)
(every atom's B factor is 0, so no Debye-Waller factor); its
StructureFactor sums exp(-i q.r), so F(hkl) above is StructureFactor(-Q).
xrayutilities_base_tables: xrayutilities' lattice and atom positions with the
tables Base/ is made from: f0 from xraydb's Waasmaier table and f', f'' from
xraydb's Chantler table. This separates the computation from the choice of
tables: the native xrayutilities and xraylib rows differ from Base through
their f' and f'' (and xrayutilities' f0 coefficients, stored in single
precision, by up to 0.008 electrons). Korvex composes the factor as
f = f0(s) + f1 - f0(0) with the total f1 = Z + f' of its table (so that f is
exactly Z + f' at s = 0), and F(000) takes f1; these rows do the same.
xraylib: Crystal_F_H_StructureFactor(crystal, E, h, k, l, debye_factor=1,
rel_angle=1) on its crystal with a, b, c and the volume set to the Base
value; its F sums exp(+2 pi i h.r) with f = f0 + f' + i f''.
Energies: each source converts lambda with its own constant
(xrayutilities lam2en, xraylib KEV2ANGST), so lambda is exact for both.
r_e = 2.8179403262e-5 Angstrom (CODATA 2018).
"""

import os
import sys

import numpy as np
import xraydb
import xraylib
import xrayutilities as xu

R_E = 2.8179403262e-5
MATERIALS = ['Si', 'Ge', 'GaAs', 'InAs']
REFLECTIONS = [(1, 1, 1), (0, 0, 2), (0, 0, 4), (2, 2, 4)]
WAVELENGTHS = [1.5406, 0.7093]
HERE = os.path.dirname(os.path.abspath(__file__))


def base_lattice(name):
    with open(os.path.join(HERE, os.pardir, 'Base', name + '.stf')) as f:
        f.readline()
        f.readline()
        return float(f.readline().split(',')[0])


def from_xu(name, a, hkl, lam):
    mat = getattr(xu.materials, name)
    assert abs(mat.lattice.a - a) < 1e-9      # Base takes xrayutilities' a
    for _at, _p, _o, b in mat.lattice.base():
        assert b == 0
    en = xu.utilities.lam2en(lam)
    gamma = R_E * lam ** 2 / (np.pi * mat.lattice.UnitCellVolume())
    chi0 = complex(mat.chi0(en))
    q = mat.Q(*hkl)
    fh = complex(mat.StructureFactor(-q, en, temp=0))
    fmh = complex(mat.StructureFactor(q, en, temp=0))
    # xrayutilities' own chih gives |Gamma sum Re f e^..| and the same for
    # Im f; check that the structure factors above reproduce it
    rchi, ichi = mat.chih(q, en, temp=0)
    f = mat._get_f(np.linalg.norm(q), en)
    sr = sum(np.real(F) * np.exp(-1j * np.dot(q, mat.lattice.GetPoint(p)))
             for (_a, p, _o, _b), F in zip(mat.lattice.base(), f))
    assert abs(abs(gamma * sr) - rchi) <= 1e-6 * rchi + 1e-12
    return (chi0.real, chi0.imag, gamma * fh, gamma * fmh, abs(chi0))


def from_xu_base_tables(name, a, hkl, lam):
    mat = getattr(xu.materials, name)
    en = 12398.100046 / lam  # the energy conversion Korvex uses
    gamma = R_E * lam ** 2 / (np.pi * mat.lattice.UnitCellVolume())

    def structure_factor(q):
        total = 0j
        for at, p, _o, _b in mat.lattice.base():
            z = xraydb.atomic_number(at.name)
            f1 = z + xraydb.f1_chantler(at.name, en)
            f0 = xraydb.f0(at.name, np.linalg.norm(q) / (4 * np.pi))[0]
            f0_0 = xraydb.f0(at.name, 0.0)[0]
            f = f0 - f0_0 + f1 + 1j * xraydb.f2_chantler(at.name, en)
            total += f * np.exp(-1j * np.dot(q, mat.lattice.GetPoint(p)))
        return complex(total)

    q = mat.Q(*hkl)
    f0 = structure_factor(np.zeros(3))
    return (-gamma * f0.real, gamma * f0.imag, gamma * structure_factor(-q),
            gamma * structure_factor(q), gamma * abs(f0))


def from_xraylib(name, a, hkl, lam):
    c = xraylib.Crystal_GetCrystal(name)
    c['a'] = c['b'] = c['c'] = a
    c['volume'] = a ** 3
    e = xraylib.KEV2ANGST / lam
    gamma = R_E * lam ** 2 / (np.pi * a ** 3)
    f0 = xraylib.Crystal_F_H_StructureFactor(c, e, 0, 0, 0, 1.0, 1.0)
    fh = xraylib.Crystal_F_H_StructureFactor(c, e, *hkl, 1.0, 1.0)
    fmh = xraylib.Crystal_F_H_StructureFactor(c, e, *[-i for i in hkl],
                                              1.0, 1.0)
    return (-gamma * f0.real, gamma * f0.imag, gamma * fh, gamma * fmh,
            gamma * abs(f0))


def clean(x, scale):
    return 0.0 if abs(x) < 1e-12 * scale else x


def g(x):
    return '%.10e' % x


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        HERE, os.pardir, 'tests', 'crystal', 'chi_reference.csv')
    lines = [
        '# Susceptibilities chi without temperature factor; made by',
        '# tools/make_chi_reference.py (xrayutilities %s; xraylib %s).'
        % (xu.__version__, xraylib.__version__),
        '# a: lattice parameter used (A) = the one of Base/<material>.stf.',
        '# lambda in A. Sign convention as Korvex stores chi: with',
        '# Gamma = r_e lambda^2/(pi a^3) and F(hkl) = sum f exp(+2 pi i h.r)',
        '# where Im f = f2 > 0:',
        '#   chi0 = (-Gamma Re F(000); +Gamma Im F(000))',
        '#   chih = +Gamma F(hkl);  chimh = +Gamma F(-h-k-l)',
        '# (the physical chi is -Gamma F; only chi0_re carries the minus).',
        '# abs_chi0 abs_chih abs_chimh: the moduli |chi0| |chih| |chi-h|',
        '# which are the same in every sign convention. Parts below',
        '# 1e-12 |chi0| (round-off of forbidden reflections) are written as 0.',
        'material,h,k,l,lambda,a,source,chi0_re,chi0_im,chih_re,chih_im,'
        'chimh_re,chimh_im,abs_chi0,abs_chih,abs_chimh',
    ]
    for name in MATERIALS:
        a = base_lattice(name)
        for hkl in REFLECTIONS:
            for lam in WAVELENGTHS:
                for source, fn in (('xrayutilities', from_xu),
                                   ('xrayutilities_base_tables',
                                    from_xu_base_tables),
                                   ('xraylib', from_xraylib)):
                    c0r, c0i, ch, cmh, a0 = fn(name, a, hkl, lam)
                    ch, cmh = (complex(clean(z.real, a0), clean(z.imag, a0))
                               for z in (ch, cmh))
                    lines.append(','.join(
                        [name, '%d' % hkl[0], '%d' % hkl[1], '%d' % hkl[2],
                         '%.4f' % lam, '%.6f' % a, source] +
                        [g(v) for v in (c0r, c0i, ch.real, ch.imag,
                                        cmh.real, cmh.imag, a0, abs(ch),
                                        abs(cmh))]))
    with open(out, 'w', encoding='ascii', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
