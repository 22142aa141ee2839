"""intersects, distance, prepare and sjoin: against the C interface on
random pairs (collections member by member), broadcasting and missing
values; the join against every pairwise intersects (the tool's join is
compared in test_dask.py)."""

import math
import struct

import numpy as np
import pytest

import spatialgeom as sg
from conftest import KINDS, circle, random_geometry, random_wkt


def test_intersects_and_distance_answer_as_the_c_interface(rng, c_interface):
    pairs = [(random_geometry(rng, KINDS), random_geometry(rng, KINDS)) for _ in range(400)]
    a = sg.from_wkt([p[0][0] for p in pairs])
    b = sg.from_wkt([p[1][0] for p in pairs])
    tolerances = np.array([rng.choice([0.0, 0.0, 0.5, rng.uniform(0, 3)]) for _ in pairs])
    meets = sg.intersects(a, b, tolerances)
    distances = sg.distance(a, b)
    assert meets.dtype == bool and distances.dtype == np.float64
    for k, ((_, members_a), (_, members_b)) in enumerate(pairs):
        # A collection is the union of its members: the C interface, which
        # takes no collection, is asked member by member.
        answers, lengths = [], []
        for text_a in members_a:
            for text_b in members_b:
                ra, rb = c_interface.parse(text_a), c_interface.parse(text_b)
                answers.append(c_interface.intersects(ra, rb, tolerances[k]))
                lengths.append(c_interface.distance(ra, rb))
        assert meets[k] == any(answers), pairs[k]
        assert distances[k] == min(lengths), pairs[k]
    assert (sg.distance(b, a) == distances).all()
    assert (sg.intersects(b, a, tolerances) == meets).all()


def test_broadcasting_scalars_and_missing():
    squares = sg.from_wkt(["POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0))", "POLYGON((10 0 0,14 0 0,14 4 0,10 4 0,10 0 0))"])
    points = sg.from_wkt([["POINT(2 2 0)"], ["POINT(7 2 0)"], ["POINT(2 2 1)"]])
    assert sg.intersects(points, squares).tolist() == [[True, False], [False, False], [False, False]]
    assert sg.intersects(points, squares, [[0.0], [3.0], [1.0]]).tolist() == [[True, False], [True, True], [True, False]]
    distances = sg.distance(points, squares)
    assert distances[:, 0].tolist() == [0.0, 3.0, 1.0] and distances[:2, 1].tolist() == [8.0, 3.0]
    assert sg.intersects(points[0, 0], squares[0]) is np.True_
    assert sg.distance(points[2, 0], squares[0]) == 1.0
    # Missing geometries and geometries without vertices meet nothing.
    empty = sg.from_wkb(struct.pack("<BII", 1, 1007, 0))
    for missing in (None, float("nan"), empty):
        assert not sg.intersects(missing, squares[0], math.inf)
        assert not sg.intersects(squares[0], missing, math.inf)
        assert math.isnan(sg.distance(missing, squares[0]))
    # An empty member of a collection is no nearer than the others.
    with_empty = sg.from_wkb(
        struct.pack("<BII", 1, 1007, 2) + struct.pack("<BII", 1, 1006, 0) + struct.pack("<BIddd", 1, 1001, 1, 1, 1)
    )
    assert sg.distance(with_empty, sg.from_wkt("POINT(1 1 3)")) == 2.0
    with pytest.raises(ValueError):
        sg.intersects(squares, squares[:1].repeat(3))


def test_prepared_geometries_answer_as_plain_ones(rng):
    shapes = sg.from_wkt([circle(300, 5.0), circle(20, 2.0, (0.0, 0.0, 1.0)), "POINT(0 0 0)",
                          "GEOMETRYCOLLECTION(POINT(9 9 9))", "MULTILINESTRING((0 0 0,1 1 1),(5 5 5,6 6 6))"])
    prepared = sg.prepare(shapes)
    assert all(isinstance(p, sg.PreparedGeometry) for p in prepared)
    assert all(p.geometry is s for p, s in zip(prepared, shapes))
    assert all(sg.prepare(prepared) == prepared)  # kept as they are
    probes = sg.from_wkt(["POINT(%r %r %r)" % tuple(rng.uniform(-7, 7) for _ in range(3)) for _ in range(300)])
    tolerance = np.array([rng.choice([0.0, 0.5, 2.0]) for _ in range(300)])
    for shape, ready in zip(shapes, prepared):
        plain = sg.intersects(shape, probes, tolerance)
        assert (sg.intersects(ready, probes, tolerance) == plain).all()
        assert (sg.intersects(probes, ready, tolerance) == plain).all()
        assert (sg.intersects(ready, sg.prepare(probes), tolerance) == plain).all()
        distances = sg.distance(shape, probes)
        assert (sg.distance(ready, probes) == distances).all()
        assert (sg.distance(probes, ready) == distances).all()
    assert sg.to_wkt(prepared[2]) == "point(0 0 0)"
    assert repr(prepared[2]) == "<PreparedGeometry point(0 0 0)>"
    assert sg.prepare(None) is None


@pytest.mark.parametrize("tolerance", [0.0, 0.75, 3.0])
def test_pairs_are_those_of_every_pairwise_test(rng, tolerance):
    a = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(150)])
    b = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(120)])
    a[::17] = None
    expected = np.nonzero(sg.intersects(a[:, None], b[None, :], tolerance))
    assert len(expected[0]) > 0
    # On any number of threads; prepared geometries taken as their geometries.
    for left, threads in ((a, 1), (a, 2), (a, 3), (a, None), (sg.prepare(a), None)):
        i, j = sg.sjoin(left, b, tolerance=tolerance, threads=threads)
        assert i.dtype == np.int64 and j.dtype == np.int64
        assert i.tolist() == expected[0].tolist() and j.tolist() == expected[1].tolist()


def test_self_join_empty_lists_and_infinite_tolerance(rng):
    a = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(60)])
    i, j = sg.sjoin(a, a)
    assert set(zip(i.tolist(), j.tolist())) >= {(k, k) for k in range(60)}
    i, j = sg.sjoin(a, [])
    assert i.shape == (0,) and j.shape == (0,)
    i, j = sg.sjoin(a[:5], a[:4], tolerance=math.inf)
    assert len(i) == 20
    for error, arguments in ((ValueError, {"tolerance": -1.0}), (ValueError, {"tolerance": math.nan}),
                             (ValueError, {"threads": 0}), (TypeError, {"tolerance": "1"})):
        with pytest.raises(error):
            sg.sjoin(a, a, **arguments)
    with pytest.raises(TypeError):
        sg.sjoin(a, [1, 2])
