"""sjoin: the pairs of every pairwise intersects (the tool's join is
compared in test_dask.py)."""

import math

import numpy as np
import pytest

import spatialgeom as sg
from conftest import KINDS, random_wkt


def all_pairs(a, b, tolerance):
    """The pairs by testing every one (intersects, which the join must
    answer as)."""
    meets = sg.intersects(np.asarray(a, dtype=object)[:, None], np.asarray(b, dtype=object)[None, :], tolerance)
    return np.nonzero(meets)


@pytest.mark.parametrize("tolerance", [0.0, 0.75, 3.0])
def test_pairs_are_those_of_every_pairwise_test(rng, tolerance):
    a = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(150)])
    b = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(120)])
    a[::17] = None
    expected = all_pairs(a, b, tolerance)
    assert len(expected[0]) > 0
    for threads in (1, 2, 3, None):
        i, j = sg.sjoin(a, b, tolerance=tolerance, threads=threads)
        assert i.dtype == np.int64 and j.dtype == np.int64
        assert i.tolist() == expected[0].tolist() and j.tolist() == expected[1].tolist()
    # Prepared geometries are taken as their geometries.
    i, j = sg.sjoin(sg.prepare(a), b, tolerance=tolerance)
    assert i.tolist() == expected[0].tolist() and j.tolist() == expected[1].tolist()


def test_self_join_empty_lists_and_infinite_tolerance(rng):
    a = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(60)])
    i, j = sg.sjoin(a, a)
    assert set(zip(i.tolist(), j.tolist())) >= {(k, k) for k in range(60)}
    i, j = sg.sjoin(a, [])
    assert i.shape == (0,) and j.shape == (0,)
    i, j = sg.sjoin(a[:5], a[:4], tolerance=math.inf)
    assert len(i) == 20
    for bad in (-1.0, math.nan):
        with pytest.raises(ValueError):
            sg.sjoin(a, a, tolerance=bad)
    with pytest.raises(ValueError):
        sg.sjoin(a, a, threads=0)
    with pytest.raises(TypeError):
        sg.sjoin(a, [1, 2])
    with pytest.raises(TypeError):
        sg.sjoin(a, a, tolerance="1")
