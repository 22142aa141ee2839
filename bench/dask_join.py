#!/usr/bin/env python3
"""Wall time of the distributed join against the tool's single-process join
on the same generated files, by worker count.

    PYTHONPATH=build/python python3 bench/dask_join.py [--count N] [--workers 1,2]
        [--tool build/tools/spatialgeom] [--tolerance T]

The data: N geometries a side spread uniformly over a square sized so
that a geometry meets about two others (points, 5-vertex lines, 8-vertex
polygons, one in ten with a hole, z = 0), one geometry in a thousand ten
times larger. Prints the time of each run and its ratio to the tool's; the
pairs must agree. Workers are started and
have imported what they need before the timing. Besides wall time, each
run reports the CPU seconds it used (the tool's process; the Dask workers
and this process, which holds the scheduler), which a busy machine does
not inflate, and the workers' peak resident memory. Timings only: this
never fails on them.
"""

import argparse
import math
import os
import random
import resource
import subprocess
import tempfile
import time


def polygon_ring(rng, cx, cy, radius, count):
    ring = []
    for k in range(count):
        angle = 2 * math.pi * (k + 0.8 * rng.random()) / count
        r = radius * (0.6 + 0.4 * rng.random())
        ring.append(f"{cx + r * math.cos(angle)!r} {cy + r * math.sin(angle)!r} 0")
    return "(" + ",".join(ring + ring[:1]) + ")"


def geometry(rng, side):
    cx, cy = rng.uniform(0, side), rng.uniform(0, side)
    size = 10.0 if rng.random() < 0.001 else 1.0
    kind = rng.random()
    if kind < 0.3:
        return f"POINT({cx!r} {cy!r} 0)"
    if kind < 0.6:
        vertices = [f"{cx + rng.uniform(-size, size)!r} {cy + rng.uniform(-size, size)!r} 0" for _ in range(5)]
        return "LINESTRING(" + ",".join(vertices) + ")"
    rings = [polygon_ring(rng, cx, cy, size, 8)]
    if rng.random() < 0.1:
        rings.append(polygon_ring(rng, cx, cy, 0.3 * size, 6))
    return "POLYGON(" + ",".join(rings) + ")"


def write_side(path, count, side, seed):
    rng = random.Random(seed)
    with open(path, "w") as f:
        for _ in range(count):
            f.write(geometry(rng, side) + "\n")


def cpu_seconds(who=resource.RUSAGE_SELF):
    usage = resource.getrusage(who)
    return usage.ru_utime + usage.ru_stime


def peak_megabytes():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def warm_up():
    import dask.dataframe  # noqa: F401
    import spatialgeom.dask  # noqa: F401


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=1_000_000)
    parser.add_argument("--workers", default="1,2")
    parser.add_argument("--tool", default="build/tools/spatialgeom")
    parser.add_argument("--tolerance", type=float, default=0.0)
    options = parser.parse_args()

    from dask.distributed import Client, LocalCluster

    import spatialgeom.dask

    side = math.sqrt(options.count) * 1.5
    with tempfile.TemporaryDirectory() as scratch:
        left, right = os.path.join(scratch, "left.wkt"), os.path.join(scratch, "right.wkt")
        write_side(left, options.count, side, 1)
        write_side(right, options.count, side, 2)

        started, cpu_started = time.perf_counter(), cpu_seconds(resource.RUSAGE_CHILDREN)
        printed = subprocess.run([options.tool, "join", left, right, "--tolerance", repr(options.tolerance)],
                                 check=True, capture_output=True, text=True).stdout.split()
        tool_seconds = time.perf_counter() - started
        tool_cpu = cpu_seconds(resource.RUSAGE_CHILDREN) - cpu_started
        expected = len(printed) // 2
        print(f"{options.count:,} x {options.count:,} geometries, tolerance {options.tolerance}: {expected:,} pairs")
        tool_peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        print(f"tool join, all cores: {tool_seconds:.2f} s, {tool_cpu:.2f} CPU s, peak {tool_peak:.0f} MB")

        for workers in (int(w) for w in options.workers.split(",")):
            with LocalCluster(n_workers=workers, threads_per_worker=1, dashboard_address=None) as cluster, \
                    Client(cluster) as client:
                # The workers' first imports (pandas, dask.dataframe, the
                # package: about 3 s) are paid once per worker, not timed.
                client.run(warm_up)
                workers_cpu = sum(client.run(cpu_seconds).values())
                started, own_cpu = time.perf_counter(), cpu_seconds()
                found = len(spatialgeom.dask.sjoin(left, right, tolerance=options.tolerance).compute())
                seconds = time.perf_counter() - started
                cpu = cpu_seconds() - own_cpu + sum(client.run(cpu_seconds).values()) - workers_cpu
                peak = max(client.run(peak_megabytes).values())
            agreement = "same pair count" if found == expected else f"{found:,} pairs: DIFFERENT"
            print(f"dask join, {workers} worker(s): {seconds:.2f} s ({seconds / tool_seconds:.1f} x the tool), "
                  f"{cpu:.2f} CPU s ({cpu / tool_cpu:.1f} x), peak {peak:.0f} MB a worker; {agreement}")


if __name__ == "__main__":
    main()
