"""Python threads: the same answers as one thread, in parallel (the
interpreter lock is released while the library works)."""

import math
import time
from concurrent.futures import ThreadPoolExecutor

import numpy as np

import spatialgeom as sg
from conftest import coordinates, random_wkt

KINDS = ("point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon", "geometrycollection")


def chunks(array, n):
    return np.array_split(array, n)


def test_threads_give_the_answers_of_one_thread(rng):
    texts = [random_wkt(rng, KINDS) for _ in range(2000)]
    a = sg.from_wkt(texts)
    b = np.roll(a, 7)
    tolerance = np.linspace(0.0, 2.0, len(a))
    serial = (sg.intersects(a, b, tolerance), sg.distance(a, b), sg.bounds(a), sg.to_wkb(a))
    with ThreadPoolExecutor(4) as pool:
        meets = np.concatenate(list(pool.map(sg.intersects, chunks(a, 8), chunks(b, 8), chunks(tolerance, 8))))
        distances = np.concatenate(list(pool.map(sg.distance, chunks(a, 8), chunks(b, 8))))
        boxes = np.concatenate(list(pool.map(sg.bounds, chunks(a, 8))))
        wkb = np.concatenate(list(pool.map(sg.to_wkb, chunks(a, 8))))
        parsed = np.concatenate(list(pool.map(sg.from_wkt, chunks(np.array(texts, dtype=object), 8))))
        joins = [pool.submit(sg.sjoin, a, b, 0.5, threads=2) for _ in range(3)]
        joined = sg.sjoin(a, b, 0.5, threads=1)
        assert all(np.array_equal(job.result(), joined) for job in joins)
    assert (meets == serial[0]).all()
    assert (distances == serial[1]).all()
    assert np.array_equal(boxes, serial[2], equal_nan=True)
    assert (wkb == serial[3]).all()
    assert (parsed == a).all()


def test_writers_of_different_precisions_each_get_their_own(rng):
    geometries = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(300)])
    expected = {p: sg.to_wkt(geometries, precision=p) for p in (3, 9, 17)}
    with ThreadPoolExecutor(6) as pool:
        jobs = [(p, pool.submit(sg.to_wkt, geometries, precision=p)) for p in (3, 9, 17) * 6]
        for precision, job in jobs:
            assert (job.result() == expected[precision]).all()


def polygon(n, cx):
    ring = [(cx + 3 * math.cos(2 * math.pi * k / n), 3 * math.sin(2 * math.pi * k / n), 0.01 * k) for k in range(n)]
    return "POLYGON((%s))" % coordinates(ring + ring[:1])


def test_python_runs_while_the_library_works():
    # While one thread is inside a long call, another runs Python code; it
    # could not if the call held the interpreter lock.
    a = sg.from_wkt([polygon(2000 + k, 0.0) for k in range(16)])
    b = sg.from_wkt([polygon(2000 + k, 7.5) for k in range(16)])
    with ThreadPoolExecutor(1) as pool:
        job = pool.submit(sg.distance, a, b)
        while not job.running():
            pass
        time.sleep(0.01)  # the worker is in the library now
        rounds = 0
        while not job.done():
            rounds += 1
        job.result()
    assert rounds > 1000


def test_a_heavy_call_runs_in_parallel():
    # Distances between polygons of a few thousand edges: milliseconds each,
    # all of it in the library with the interpreter lock released.
    a = sg.from_wkt([polygon(2000 + k, 0.0) for k in range(16)])
    b = sg.from_wkt([polygon(2000 + k, 7.5) for k in range(16)])
    start = time.perf_counter()
    serial = sg.distance(a, b)
    serial_time = time.perf_counter() - start
    start = time.perf_counter()
    with ThreadPoolExecutor(2) as pool:
        parallel = np.concatenate(list(pool.map(sg.distance, chunks(a, 2), chunks(b, 2))))
    parallel_time = time.perf_counter() - start
    assert (parallel == serial).all()
    # Reported, not asserted: the machine may be shared.
    print("distance of 16 polygon pairs: %.3f s on one thread, %.3f s on two" % (serial_time, parallel_time))
