#!/usr/bin/python3
"""Times xrayutilities computing chi_h for the reflection set of the chi
benchmark, to set Korvex's figure beside it.  Not a test: CI never runs it.

    /usr/bin/python3 bench/xu_chi_speed.py

The set: GaAs (xrayutilities.materials.GaAs, a = 5.65325 A) at 0.5 A, every
distinct reflection inside the limiting sphere |Q| = 1/d <= 2/lambda, one
per key of sorted absolute indices: all integer (h, k, l) with
0 <= h <= k <= l <= 20, (h, k, l) != (0, 0, 0) and
h^2 + k^2 + l^2 <= (2 a / lambda)^2 (forbidden reflections included).

Two figures, each for one pass over the set in a fresh material (the
per-atom scattering factors that xrayutilities caches are cleared first):
  chih       Crystal.chih(q, en, temp=0) once per reflection (its chi_h API)
  vectorised Crystal.StructureFactorForQ(all q, en) in one call, scaled
             to chi_h (the fastest route xrayutilities offers)
"""

import copy
import time

import numpy as np
import xrayutilities as xu

LAMBDA = 0.5
LIMIT = 20


def reflections(a):
    r2 = (2.0 * a / LAMBDA) ** 2
    out = []
    for h in range(LIMIT + 1):
        for k in range(h, LIMIT + 1):
            for l in range(k, LIMIT + 1):
                if (h, k, l) != (0, 0, 0) and h * h + k * k + l * l <= r2:
                    out.append((h, k, l))
    return out


def fresh():
    return copy.deepcopy(xu.materials.GaAs)


def main():
    mat = fresh()
    en = xu.utilities.lam2en(LAMBDA)
    hkls = reflections(mat.lattice.a)
    qs = [mat.Q(*hkl) for hkl in hkls]

    mat = fresh()
    t0 = time.perf_counter()
    chi = [mat.chih(q, en, temp=0) for q in qs]
    t_chih = (time.perf_counter() - t0) * 1e3

    mat = fresh()
    t0 = time.perf_counter()
    gamma = -xu.utilities.en2lam(en) ** 2 * 2.8179403262e-5 / (
        np.pi * mat.lattice.UnitCellVolume())
    chi_vec = gamma * mat.StructureFactorForQ(np.array(qs), en)
    t_vec = (time.perf_counter() - t0) * 1e3

    assert len(chi) == len(chi_vec) == len(hkls)
    print("GaAs at %.1f A: %d distinct reflections (0 <= h <= k <= l <= %d)"
          % (LAMBDA, len(hkls), LIMIT))
    print("xrayutilities %s chih per reflection: %.1f ms total"
          % (xu.__version__, t_chih))
    print("xrayutilities %s StructureFactorForQ vectorised: %.1f ms total"
          % (xu.__version__, t_vec))


if __name__ == "__main__":
    main()
