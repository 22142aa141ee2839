"""translate, scale, rotate, mirror and affine_transform: every vertex
against coordinates computed here, and the records against the C
interface's transform of the same matrix."""

import math

import numpy as np
import pytest

import spatialgeom as sg
from conftest import random_wkt

KINDS = ("point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon", "geometrycollection")


def vertices(geometry):
    """The vertices of a geometry, read back from its 17-digit WKT."""
    text = sg.to_wkt(geometry)
    for character in "(),":
        text = text.replace(character, " ")
    values = [float(word) for word in text.split() if word[0] in "-+.0123456789"]
    return np.array(values).reshape(-1, 3)


def rodrigues(axis_from, axis_to, radians):
    """Rotation about the line from axis_from to axis_to, right-handed."""
    k = np.subtract(axis_to, axis_from, dtype=float)
    k /= np.linalg.norm(k)
    K = np.array([[0, -k[2], k[1]], [k[2], 0, -k[0]], [-k[1], k[0], 0]])
    R = np.eye(3) + math.sin(radians) * K + (1 - math.cos(radians)) * K @ K
    return lambda p: (p - axis_from) @ R.T + axis_from


@pytest.fixture
def shapes(rng):
    texts = [random_wkt(rng, KINDS) for _ in range(100)]
    return sg.from_wkt(texts)


def check(shapes, moved, image):
    assert moved.shape == shapes.shape
    assert all(sg.get_type_id(moved) == sg.get_type_id(shapes))
    for before, after in zip(shapes, moved):
        assert after is not before
        np.testing.assert_allclose(vertices(after), image(vertices(before)), rtol=1e-13, atol=1e-13)


def test_each_transform_moves_every_vertex(shapes):
    check(shapes, sg.translate(shapes, 1.5, -2, 0.25), lambda p: p + [1.5, -2, 0.25])
    check(shapes, sg.scale(shapes, 2, 3, -1, origin=(1, 1, 1)), lambda p: (p - 1) * [2, 3, -1] + 1)
    check(shapes, sg.rotate(shapes, 90), lambda p: p @ np.array([[0, -1, 0], [1, 0, 0], [0, 0, 1]]).T)
    axis = ((1.0, 2.0, 0.5), (2.0, 0.0, 3.0))
    check(shapes, sg.rotate(shapes, 37.5, axis=axis), rodrigues(np.array(axis[0]), np.array(axis[1]), math.radians(37.5)))
    check(shapes, sg.rotate(shapes, 1.0, axis=axis, use_radians=True), rodrigues(np.array(axis[0]), np.array(axis[1]), 1.0))
    # The plane x + y = 2 through (1, 1, 0).
    n = np.array([1.0, 1.0, 0.0]) / math.sqrt(2)
    check(shapes, sg.mirror(shapes, (1, 1, 0), (1, 1, 0)), lambda p: p - 2 * np.outer((p - [1, 1, 0]) @ n, n))
    matrix = np.array([[1, 2, 3, 4], [0, 1, 0, -1], [0.5, 0, 1, 2]])
    check(shapes, sg.affine_transform(shapes, matrix), lambda p: p @ matrix[:, :3].T + matrix[:, 3])
    check(shapes, sg.affine_transform(shapes, np.vstack([matrix, [0, 0, 0, 1]])), lambda p: p @ matrix[:, :3].T + matrix[:, 3])


def test_records_match_the_c_interface(rng, c_interface):
    texts = [random_wkt(rng, KINDS[:-1]) for _ in range(100)]
    matrix = [0.5, -1.0, 2.0, 3.0, 1.0, 0.25, 0.0, -2.0, 0.0, 1.0, 1.5, 0.125]
    moved = sg.affine_transform(sg.from_wkt(texts), np.reshape(matrix, (3, 4)))
    for text, geometry in zip(texts, moved):
        record = c_interface.parse(text)
        c_interface.transform(record, matrix)
        assert sg.to_wkb(geometry) == c_interface.wkb(record)


def test_originals_untouched_missing_kept_and_scalars(shapes):
    before = sg.to_wkb(shapes)
    sg.translate(shapes, 1, 1, 1)
    assert all(sg.to_wkb(shapes) == before)
    out = sg.translate(np.array([[shapes[0], None]], dtype=object), 1)
    assert out.shape == (1, 2) and out[0, 1] is None
    point = sg.translate(sg.from_wkt("POINT(1 2 3)"), zoff=1)
    assert sg.to_wkt(point) == "point(1 2 4)"
    assert sg.to_wkt(sg.translate(sg.prepare(point), 1)) == "point(2 2 4)"


def test_refused_parameters(shapes):
    for call in (
        lambda: sg.translate(shapes, math.nan),
        lambda: sg.scale(shapes, math.inf),
        lambda: sg.scale(shapes, origin=(0, 0, math.nan)),
        lambda: sg.rotate(shapes, math.nan),
        lambda: sg.rotate(shapes, 10, axis=((1, 1, 1), (1, 1, 1))),
        lambda: sg.rotate(shapes, 10, axis=((1, 1, 1),)),
        lambda: sg.mirror(shapes, (0, 0, 0), (0, 0, 0)),
        lambda: sg.mirror(shapes, (0, 0), (0, 0, 1)),
        lambda: sg.affine_transform(shapes, np.zeros((2, 4))),
        lambda: sg.affine_transform(shapes, [[1, 0, 0, math.inf], [0, 1, 0, 0], [0, 0, 1, 0]]),
        lambda: sg.affine_transform(shapes, [[1, 0, 0, 0], [0, 1, 0, 0], [0, 0, 1, 0], [1, 0, 0, 1]]),
    ):
        with pytest.raises(ValueError):
            call()
    for call in (
        lambda: sg.translate(shapes, "1"),
        lambda: sg.translate(shapes, None),
        lambda: sg.mirror(shapes, 5, (0, 0, 1)),
        lambda: sg.translate([1, 2], 1),
        lambda: sg.translate("POINT(1 2 3)", 1),
    ):
        with pytest.raises(TypeError):
            call()
