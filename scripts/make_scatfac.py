#!/usr/bin/env python3
"""Writes data/scatfac.dat from the element table of form-factor coefficients and
neutron scattering lengths (one record per atomic number; the closing number is
the record's position, which is the atom type number).

Usage: scripts/make_scatfac.py ../shared/data/scattering-factors.tsv > data/scatfac.dat

The neutron length is written in units of 10 fm, so that |F| x 10 in the powder
listing reads in fm.
"""
import sys


def main(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            cols = line.split("\t")
            if len(cols) != 12:
                sys.exit("unexpected row: " + line)
            rows.append(cols)
    for position, cols in enumerate(rows, start=1):
        z = int(cols[0])
        if z != position:
            sys.exit("atomic numbers must run 1, 2, 3, ...: %d at row %d" % (z, position))
        coeffs = [float(v) for v in cols[2:11]]
        bn = float(cols[11]) / 10.0
        print("%3d %s" % (z, cols[1].strip()))
        print("   " + " ".join("%9.4f" % v for v in coeffs[:8]))
        print("   %9.4f %9.5f %3d" % (coeffs[8], bn, position))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "../shared/data/scattering-factors.tsv")
