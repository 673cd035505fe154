#!/usr/bin/python3
"""Writes tests/geometry/hxrd_reference.csv: diffraction angles of Si
reflections in coplanar geometry as xrayutilities' HXRD computes them.

    /usr/bin/python3 tools/make_geometry_reference.py [output file]

Set-up: Si (xrayutilities.materials.Si, a = 5.43104 A, the value of
Base/Si.stf), surface normal [0 0 1], in-plane reference direction [1 1 0]
(the plane of incidence contains [1 1 0] and the normal), wavelength
1.5406 A, no refraction.  HXRD's two coplanar solutions:
  hi_lo  high incidence, low (grazing) exit:  omega = thetaB + psi
  lo_hi  low (grazing) incidence, high exit:  omega = thetaB - psi
where psi is the angle between the reflection vector H and the normal.
"""

import os
import sys

import xrayutilities as xu

LAMBDA = 1.5406
REFLECTIONS = [(0, 0, 4), (1, 1, 3), (2, 2, 4)]
HERE = os.path.dirname(os.path.abspath(__file__))


def g(x):
    return '%.10g' % (x + 0.0)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        HERE, os.pardir, 'tests', 'geometry', 'hxrd_reference.csv')
    si = xu.materials.Si
    hxrd = xu.HXRD([1, 1, 0], [0, 0, 1], wl=LAMBDA)
    lines = [
        '# Si with surface normal 0 0 1; plane of incidence through 1 1 0;',
        '# lambda = %s A; a = %.5f A; no refraction. Made by' % (
            LAMBDA, si.lattice.a),
        '# tools/make_geometry_reference.py with xrayutilities %s HXRD'
        % xu.__version__,
        '# (Q2Ang with geometry hi_lo or lo_hi). Angles in degrees:',
        '#   incidence: angle between the incident beam and the surface',
        '#              (HXRD omega)',
        '#   two_theta: angle between the incident and the diffracted beam',
        '#   exit:      angle between the diffracted beam and the surface',
        '#              (two_theta - incidence)',
        '#   hi_lo = grazing exit; lo_hi = grazing incidence.',
        'material,h,k,l,lambda,geometry,incidence,two_theta,exit',
    ]
    for hkl in REFLECTIONS:
        for geometry in ('hi_lo', 'lo_hi'):
            om, chi, _phi, tt = hxrd.Q2Ang(si.Q(*hkl), geometry=geometry)
            assert abs(chi) < 1e-9          # coplanar: H lies in the plane
            lines.append(','.join(
                ['Si', '%d' % hkl[0], '%d' % hkl[1], '%d' % hkl[2],
                 '%.4f' % LAMBDA, geometry, g(om), g(tt), g(tt - om)]))
    with open(out, 'w', encoding='ascii', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
