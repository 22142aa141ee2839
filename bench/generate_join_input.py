#!/usr/bin/env python3
"""Writes a file of random WKT geometries, one per line, for measuring
`spatialgeom join`: small horizontal polygons (half of them with a hole),
short lines and points, spread uniformly over a square of side sqrt(COUNT)
and a thin slab in z, so that with --tolerance 0.1 each geometry meets about
three geometries of another such file.

usage: generate_join_input.py COUNT SEED OUTPUT
"""
import math
import random
import sys


def coordinates(points):
    return ",".join("%.6f %.6f %.6f" % p for p in points)


def square(x, y, z, side):
    return [(x, y, z), (x + side, y, z), (x + side, y + side, z), (x, y + side, z), (x, y, z)]


def geometry(rng, extent):
    x, y, z = rng.uniform(0, extent), rng.uniform(0, extent), rng.uniform(-0.05, 0.05)
    kind = rng.randrange(4)
    if kind == 0:
        return "POLYGON((%s))" % coordinates(square(x, y, z, 1.0))
    if kind == 1:
        return "POLYGON((%s),(%s))" % (coordinates(square(x, y, z, 1.2)), coordinates(square(x + 0.4, y + 0.4, z, 0.4)))
    if kind == 2:
        points = [(x, y, z)]
        for _ in range(rng.randrange(1, 5)):
            px, py, pz = points[-1]
            points.append((px + rng.uniform(-0.8, 0.8), py + rng.uniform(-0.8, 0.8), pz + rng.uniform(-0.05, 0.05)))
        return "LINESTRING(%s)" % coordinates(points)
    return "POINT(%.6f %.6f %.6f)" % (x, y, z)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    count, seed, output = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    rng = random.Random(seed)
    extent = math.sqrt(count)
    with open(output, "w") as out:
        for _ in range(count):
            out.write(geometry(rng, extent) + "\n")


if __name__ == "__main__":
    main()
