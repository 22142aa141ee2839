"""translate, scale, rotate, mirror and affine_transform: their parameters
against points moved by hand (the library's tests check the transform of
every kind of record), copies, missing values, collections and refusals."""

import math

import numpy as np
import pytest

import spatialgeom as sg
from conftest import KINDS, random_wkt


@pytest.fixture
def shapes(rng):
    return sg.from_wkt([random_wkt(rng, KINDS) for _ in range(100)])


def test_each_transform_moves_a_point_as_worked_by_hand():
    matrix = [[1, 2, 3, 4], [0, 1, 0, -1], [0.5, 0, 1, 2]]
    axis = ((1, 0, 0), (1, 0, 5))  # parallel to z through (1, 0, 0)
    cases = [
        (lambda g: sg.translate(g, 1.5, -2, 0.25), (1, 2, 3), (2.5, 0, 3.25)),
        (lambda g: sg.translate(g, zoff=1), (1, 2, 3), (1, 2, 4)),
        (lambda g: sg.scale(g, 2, 3, -1, origin=(1, 1, 1)), (2, 2, 2), (3, 4, 0)),
        (lambda g: sg.rotate(g, 90), (1, 0, 0), (0, 1, 0)),
        (lambda g: sg.rotate(g, 90, axis=axis), (2, 0, 0), (1, 1, 0)),
        (lambda g: sg.rotate(g, -math.pi / 2, axis=axis, use_radians=True), (2, 0, 0), (1, -1, 0)),
        (lambda g: sg.mirror(g, (1, 1, 0), (1, 1, 0)), (0, 0, 5), (2, 2, 5)),
        (lambda g: sg.affine_transform(g, matrix), (1, 1, 1), (10, 0, 3.5)),
        (lambda g: sg.affine_transform(g, matrix + [[0, 0, 0, 1]]), (1, 1, 1), (10, 0, 3.5)),
    ]
    for move, before, after in cases:
        moved = move(sg.from_wkt("POINT(%r %r %r)" % before))
        got = [float(c) for c in sg.to_wkt(moved)[6:-1].split()]
        np.testing.assert_allclose(got, after, atol=1e-15)


def test_originals_untouched_missing_kept_collections_and_prepared(shapes):
    before = sg.to_wkb(shapes)
    moved = sg.translate(shapes, 1, 1, 1)
    assert all(sg.to_wkb(shapes) == before)
    assert moved.shape == shapes.shape and all(sg.get_type_id(moved) == sg.get_type_id(shapes))
    out = sg.translate(np.array([[shapes[0], None]], dtype=object), 1)
    assert out.shape == (1, 2) and out[0, 1] is None
    collection = sg.from_wkt("GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(0 0 0,1 1 1))")
    assert sg.to_wkt(sg.scale(collection, 2, 2, 2)) == "geometrycollection(point(2 4 6),linestring(0 0 0,2 2 2))"
    point = sg.prepare(sg.from_wkt("POINT(1 2 4)"))
    assert sg.to_wkt(sg.translate(point, 1)) == "point(2 2 4)"


def test_refused_parameters(shapes):
    refusals = [
        (ValueError, lambda: sg.translate(shapes, math.nan)),
        (ValueError, lambda: sg.scale(shapes, math.inf)),
        (ValueError, lambda: sg.scale(shapes, origin=(0, 0, math.nan))),
        (ValueError, lambda: sg.rotate(shapes, math.nan)),
        (ValueError, lambda: sg.rotate(shapes, 10, axis=((1, 1, 1), (1, 1, 1)))),
        (ValueError, lambda: sg.rotate(shapes, 10, axis=((1, 1, 1),))),
        (ValueError, lambda: sg.mirror(shapes, (0, 0, 0), (0, 0, 0))),
        (ValueError, lambda: sg.mirror(shapes, (0, 0), (0, 0, 1))),
        (ValueError, lambda: sg.affine_transform(shapes, np.zeros((2, 4)))),
        (ValueError, lambda: sg.affine_transform(shapes, [[1, 0, 0, math.inf], [0, 1, 0, 0], [0, 0, 1, 0]])),
        (ValueError, lambda: sg.affine_transform(shapes, [[1, 0, 0, 0], [0, 1, 0, 0], [0, 0, 1, 0], [1, 0, 0, 1]])),
        (TypeError, lambda: sg.translate(shapes, "1")),
        (TypeError, lambda: sg.translate(shapes, None)),
        (TypeError, lambda: sg.mirror(shapes, 5, (0, 0, 1))),
    ]
    for error, call in refusals:
        with pytest.raises(error):
            call()
