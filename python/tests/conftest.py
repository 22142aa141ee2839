"""Shared pieces of the package's tests: the library's C interface through
ctypes (the reference the package must answer as), and random geometries
written as WKT."""

import ctypes
import math
import os
import random

import pytest


class CInterface:
    """The shared library's exports the tests compare with; records parsed
    here are freed by close()."""

    def __init__(self, path):
        lib = ctypes.CDLL(path)
        v, u32, d = ctypes.c_void_p, ctypes.c_uint32, ctypes.c_double
        pv, pu32, pd = ctypes.POINTER(v), ctypes.POINTER(u32), ctypes.POINTER(d)
        signatures = {
            "spatialParse_string": (ctypes.c_int32, [ctypes.c_char_p, pv]),
            "spatialWKB_destroyGeom": (u32, [pv]),
            "spatialWKB_intersectGeometry": (u32, [v, v, d, pu32]),
            "spatialWKB_distance": (u32, [v, v, pd, v, v]),
            "spatialWKB_toOgcWkb": (u32, [v, v, u32, pu32]),
        }
        for name, (restype, argtypes) in signatures.items():
            function = getattr(lib, name)
            function.restype, function.argtypes = restype, argtypes
        self.lib = lib
        self.records = []

    def parse(self, text):
        record = ctypes.c_void_p()
        assert self.lib.spatialParse_string(text.encode(), ctypes.byref(record)) == 0, text
        self.records.append(record)
        return record

    def intersects(self, a, b, tolerance):
        result = ctypes.c_uint32(99)
        assert self.lib.spatialWKB_intersectGeometry(a, b, tolerance, ctypes.byref(result)) == 0
        return result.value == 1

    def distance(self, a, b):
        value = ctypes.c_double()
        assert self.lib.spatialWKB_distance(a, b, ctypes.byref(value), None, None) == 0
        return value.value

    def wkb(self, record):
        size = ctypes.c_uint32()
        assert self.lib.spatialWKB_toOgcWkb(record, None, 0, ctypes.byref(size)) == 4294967291
        buffer = ctypes.create_string_buffer(size.value)
        assert self.lib.spatialWKB_toOgcWkb(record, buffer, size.value, ctypes.byref(size)) == 0
        return buffer.raw

    def close(self):
        for record in self.records:
            self.lib.spatialWKB_destroyGeom(ctypes.byref(record))
        self.records = []


@pytest.fixture
def c_interface():
    path = os.environ.get("SPATIALGEOM_LIBRARY")
    if not path or not os.path.exists(path):
        pytest.skip("SPATIALGEOM_LIBRARY does not name the built libspatialgeom.so")
    interface = CInterface(path)
    yield interface
    interface.close()


@pytest.fixture
def rng(request):
    return random.Random(request.node.name)


def coordinates(vertices):
    return ",".join(" ".join(repr(c) for c in v) for v in vertices)


def circle(n, radius, centre=(0.0, 0.0, 0.0), rise=0.0):
    """A polygon of n vertices on a circle around centre, the k-th vertex
    raised by k * rise."""
    ring = [(centre[0] + radius * math.cos(2 * math.pi * k / n), centre[1] + radius * math.sin(2 * math.pi * k / n),
             centre[2] + rise * k) for k in range(n)]
    return "POLYGON((%s))" % coordinates(ring + ring[:1])


def _vertex(rng, grid):
    # Small integers meet often (touching, shared vertices); other values
    # are any doubles of moderate size, written exactly with repr.
    return tuple(float(rng.randint(-4, 4)) if grid else rng.uniform(-5.0, 5.0) for _ in range(3))


def _ring(rng, grid, centre, radius):
    # A closed star-shaped ring around centre in a plane z = const.
    count = rng.randint(3, 7)
    vertices = []
    for k in range(count):
        angle = 2 * math.pi * (k + rng.random() * 0.8) / count
        r = radius * (0.5 + rng.random() * 0.5)
        x, y = centre[0] + r * math.cos(angle), centre[1] + r * math.sin(angle)
        vertices.append((float(round(x)), float(round(y)), centre[2]) if grid else (x, y, centre[2]))
    return vertices + vertices[:1]


SIMPLE_KINDS = ("point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon")
KINDS = SIMPLE_KINDS + ("geometrycollection",)


def random_wkt(rng, kinds=SIMPLE_KINDS):
    """A random geometry of one of kinds (also "geometrycollection") as WKT."""
    return random_geometry(rng, kinds)[0]


def random_geometry(rng, kinds=SIMPLE_KINDS):
    """(WKT, the WKT of its members): a random geometry of one of kinds;
    its members are itself unless it is a geometry collection."""
    kind = rng.choice(kinds)
    if kind == "geometrycollection":
        members = [random_wkt(rng, kinds=("point", "linestring", "polygon")) for _ in range(rng.randint(1, 3))]
        return "GEOMETRYCOLLECTION(%s)" % ",".join(members), members
    grid = rng.random() < 0.5

    def point():
        return "(%s)" % coordinates([_vertex(rng, grid)])

    def line():
        return "(%s)" % coordinates([_vertex(rng, grid) for _ in range(rng.randint(2, 5))])

    def polygon():
        # An outer ring and, some of the time, a hole around its centre.
        centre, radius = _vertex(rng, grid), rng.uniform(1.0, 4.0)
        rings = [_ring(rng, grid, centre, radius)]
        if rng.random() < 0.3:
            rings.append(_ring(rng, grid, centre, radius * 0.3))
        return "(%s)" % ",".join("(%s)" % coordinates(r) for r in rings)

    def several(part, most):
        return "(%s)" % ",".join(part() for _ in range(rng.randint(1, most)))

    parts = {"point": point, "linestring": line, "polygon": polygon, "multipoint": lambda: several(point, 4),
             "multilinestring": lambda: several(line, 3), "multipolygon": lambda: several(polygon, 3)}
    text = kind.upper() + parts[kind]()
    return text, [text]
