"""intersects, distance and prepare: against the C interface on random
pairs, and against exact distances computed here with fractions."""

import math
import struct
from fractions import Fraction

import numpy as np
import pytest

import spatialgeom as sg
from conftest import coordinates, random_geometry

KINDS = ("point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon", "geometrycollection")


def random_pairs(rng, n):
    return [(random_geometry(rng, KINDS), random_geometry(rng, KINDS)) for _ in range(n)]


def test_intersects_and_distance_answer_as_the_c_interface(rng, c_interface):
    pairs = random_pairs(rng, 400)
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
                status, result = c_interface.intersects(ra, rb, tolerances[k])
                assert status == 0
                answers.append(result == 1)
                status, value = c_interface.distance(ra, rb)
                assert status == 0
                lengths.append(value)
        assert meets[k] == any(answers), pairs[k]
        assert distances[k] == min(lengths), pairs[k]
        # The distance is the least tolerance at which they meet.
        assert sg.intersects(a[k], b[k], distances[k])
    assert (sg.distance(b, a) == distances).all()
    assert (sg.intersects(b, a, tolerances) == meets).all()


def exact_point_segment(p, a, b):
    """The squared distance from p to the segment ab, as a Fraction."""
    p, a, b = ([Fraction(c) for c in v] for v in (p, a, b))
    ab = [y - x for x, y in zip(a, b)]
    ap = [y - x for x, y in zip(a, p)]
    length = sum(c * c for c in ab)
    t = Fraction(0) if length == 0 else min(Fraction(1), max(Fraction(0), sum(x * y for x, y in zip(ap, ab)) / length))
    nearest = [x + t * d for x, d in zip(a, ab)]
    return sum((x - y) ** 2 for x, y in zip(p, nearest))


def assert_rounded_upwards(value, squared):
    """value is the least double whose square is not below squared."""
    assert Fraction(value) ** 2 >= squared
    below = math.nextafter(value, 0.0)
    assert value == 0.0 or Fraction(below) ** 2 < squared


def test_distance_and_tolerance_are_exact(rng):
    points, segments, expected = [], [], []
    for _ in range(400):
        p = tuple(rng.uniform(-3, 3) for _ in range(3))
        a = tuple(rng.uniform(-3, 3) for _ in range(3))
        b = a if rng.random() < 0.1 else tuple(rng.uniform(-3, 3) for _ in range(3))
        points.append("POINT(%s)" % coordinates([p]))
        segments.append("LINESTRING(%s)" % coordinates([a, b]))
        expected.append((None, exact_point_segment(p, a, b)))
    points, segments = sg.from_wkt(points), sg.from_wkt(segments)
    to_points = sg.distance(points, np.roll(points, 1))
    to_segments = sg.distance(points, segments)
    for k, (_, squared_segment) in enumerate(expected):
        assert_rounded_upwards(to_segments[k], squared_segment)
    # Point to point: against the previous point of the list.
    coordinates_of = [tuple(map(float, sg.to_wkt(p)[6:-1].split())) for p in points]
    for k in range(len(points)):
        p, q = coordinates_of[k], coordinates_of[k - 1]
        assert_rounded_upwards(to_points[k], exact_point_segment(p, q, q))
    # At the distance they meet; at the double below it they do not.
    below = np.nextafter(to_segments, 0.0)
    assert sg.intersects(points, segments, to_segments).all()
    assert not sg.intersects(points, segments, below)[to_segments > 0].any()


def test_broadcasting_scalars_and_missing():
    squares = sg.from_wkt(["POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0))", "POLYGON((10 0 0,14 0 0,14 4 0,10 4 0,10 0 0))"])
    points = sg.from_wkt([["POINT(2 2 0)"], ["POINT(7 2 0)"], ["POINT(2 2 1)"]])
    assert sg.intersects(points, squares).tolist() == [[True, False], [False, False], [False, False]]
    assert sg.intersects(points, squares, [[0.0], [3.0], [1.0]]).tolist() == [[True, False], [True, True], [True, False]]
    distances = sg.distance(points, squares)
    assert distances[:, 0].tolist() == [0.0, 3.0, 1.0] and distances[:2, 1].tolist() == [8.0, 3.0]
    assert_rounded_upwards(distances[2, 1], Fraction(65))
    assert sg.intersects(points[0, 0], squares[0]) is np.True_
    assert sg.distance(points[2, 0], squares[0]) == 1.0
    # Missing geometries and geometries without vertices meet nothing.
    empty = sg.from_wkb(struct.pack("<BII", 1, 1007, 0))
    for missing in (None, float("nan"), empty):
        assert not sg.intersects(missing, squares[0], math.inf)
        assert not sg.intersects(squares[0], missing, math.inf)
        assert math.isnan(sg.distance(missing, squares[0]))
    # A negative or NaN tolerance meets nothing.
    assert not sg.intersects(squares[0], squares[0], [-1.0, math.nan]).any()
    with pytest.raises(ValueError):
        sg.intersects(squares, squares[:1].repeat(3))


def test_collections_are_the_union_of_their_members():
    collection = sg.from_wkt("GEOMETRYCOLLECTION(POINT(0 0 0),LINESTRING(10 0 0,10 10 0))")
    others = sg.from_wkt(["POINT(0 0 1)", "POINT(12 5 0)", "POINT(5 5 0)"])
    assert sg.distance(collection, others).tolist() == [1.0, 2.0, 5.0]
    assert sg.intersects(collection, others, 2.0).tolist() == [True, True, False]
    nested = sg.from_wkt("GEOMETRYCOLLECTION(POINT(5 5 3))")
    assert_rounded_upwards(sg.distance(collection, nested), Fraction(34))
    assert sg.distance(nested, collection) == sg.distance(collection, nested)
    with_empty = sg.from_wkb(
        struct.pack("<BII", 1, 1007, 2) + struct.pack("<BII", 1, 1006, 0) + struct.pack("<BIddd", 1, 1001, 1, 1, 1)
    )
    assert sg.distance(with_empty, sg.from_wkt("POINT(1 1 3)")) == 2.0


def big_polygon(n, radius, z=0.0, centre=(0.0, 0.0)):
    ring = [(centre[0] + radius * math.cos(2 * math.pi * k / n), centre[1] + radius * math.sin(2 * math.pi * k / n), z)
            for k in range(n)]
    return "POLYGON((%s))" % coordinates(ring + ring[:1])


def test_prepared_geometries_answer_as_plain_ones(rng):
    shapes = sg.from_wkt([big_polygon(300, 5.0), big_polygon(20, 2.0, 1.0), "POINT(0 0 0)",
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
