"""Python threads: the same answers as one thread, and Python running
while the library works (the interpreter lock is released)."""

import time
from concurrent.futures import ThreadPoolExecutor

import numpy as np

import spatialgeom as sg
from conftest import KINDS, circle, random_wkt


def refusal(text):
    try:
        sg.from_wkt(text)
    except sg.ParseError as error:
        return str(error)


def test_threads_give_the_answers_of_one_thread(rng):
    texts = [random_wkt(rng, KINDS) for _ in range(600)]
    a = sg.from_wkt(texts)
    b = np.roll(a, 7)
    tolerance = np.linspace(0.0, 2.0, len(a))
    with ThreadPoolExecutor(6) as pool:

        def in_parallel(function, *arrays):
            return np.concatenate(list(pool.map(function, *(np.array_split(x, 8) for x in arrays))))

        assert (in_parallel(sg.intersects, a, b, tolerance) == sg.intersects(a, b, tolerance)).all()
        assert (in_parallel(sg.distance, a, b) == sg.distance(a, b)).all()
        assert np.array_equal(in_parallel(sg.bounds, a), sg.bounds(a), equal_nan=True)
        assert (in_parallel(sg.to_wkb, a) == sg.to_wkb(a)).all()
        assert (in_parallel(sg.from_wkt, np.array(texts, dtype=object)) == a).all()
        joins = [pool.submit(sg.sjoin, a, b, 0.5, threads=2) for _ in range(3)]
        joined = sg.sjoin(a, b, 0.5, threads=1)
        assert all(np.array_equal(job.result(), joined) for job in joins)
        # Writers of different precisions at once each get their own.
        expected = {p: sg.to_wkt(a, precision=p) for p in (3, 9, 17)}
        jobs = [(p, pool.submit(sg.to_wkt, a, precision=p)) for p in (3, 9, 17) * 6]
        assert all((job.result() == expected[p]).all() for p, job in jobs)
        # Each parse message names the end of its own text (after the last
        # number), while other threads parse good texts.
        parses = pool.map(lambda _: sg.from_wkt(texts), range(4))
        messages = list(pool.map(refusal, ["POINT(1 2 %d" % i for i in range(200)]))
        assert all(len(p) == len(texts) for p in parses)
        assert all(m == 'parse error, at or near ""' for m in messages), set(messages)


def test_python_runs_while_the_library_works():
    # While one thread is inside a long call, another runs Python code; it
    # could not if the call held the interpreter lock.
    a = sg.from_wkt([circle(2000 + k, 3.0, rise=0.01) for k in range(16)])
    b = sg.from_wkt([circle(2000 + k, 3.0, (7.5, 0.0, 0.0), 0.01) for k in range(16)])
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
