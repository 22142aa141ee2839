"""3D geometries of the spatialgeom library as NumPy arrays.

Every function takes a geometry or an array (any shape, or anything
``numpy.asarray`` makes one of) of geometries and works element by element,
returning an array of the same shape, or a scalar for a scalar. Two-argument
functions broadcast their arguments as NumPy does. A missing geometry
(``None``, or a float NaN as pandas writes one) gives ``None``, ``False``
or NaN. The interpreter lock is released while the library works, so
Python threads calling these functions run in parallel.

Geometries are ``Geometry`` objects, each owning one record of the
library, freed when the object goes; ``prepare`` makes ``PreparedGeometry``
objects, accepted wherever a geometry is. A geometry collection is the
union of its members; a geometry without vertices (an empty collection)
meets nothing, and has no bounds and no distance (NaN).

Errors: ``ParseError`` (a ``GeometryError``, itself a ``ValueError``) for
text or WKB the library refuses, with its message; ``GeometryError`` for a
geometry it cannot handle; ``TypeError`` for arguments of the wrong type;
``MemoryError``.
"""

import math
import os
import warnings

import numpy as np

from . import _spatialgeom as _lib
from ._spatialgeom import Geometry, GeometryError, ParseError, PreparedGeometry

__all__ = [
    "Geometry",
    "PreparedGeometry",
    "GeometryError",
    "ParseError",
    "from_wkt",
    "to_wkt",
    "from_wkb",
    "to_wkb",
    "bounds",
    "get_type_id",
    "intersects",
    "distance",
    "prepare",
    "translate",
    "scale",
    "rotate",
    "mirror",
    "affine_transform",
    "sjoin",
    "library_version",
]

for _error in (GeometryError, ParseError):
    _error.__module__ = __name__

library_version = _lib.library_version
__version__ = _lib.library_version()

# Type codes returned by get_type_id.
POINT, LINESTRING, POLYGON, MULTIPOINT, MULTILINESTRING, MULTIPOLYGON, GEOMETRYCOLLECTION = range(1, 8)


def _objects(values):
    """values as an array of objects, and its shape."""
    array = np.asarray(values, dtype=object)
    return array.reshape(-1), array.shape


def _broadcast(*arrays):
    """The arrays broadcast to one shape (as they are when they have it)."""
    shape = arrays[0].shape
    if all(array.shape == shape for array in arrays):
        return arrays
    return np.broadcast_arrays(*arrays)


def _shaped(result, shape):
    """result (flat, or flat by rows) in shape; a scalar for shape ()."""
    result = result.reshape(shape + result.shape[1:])
    return result[()] if shape == () else result


def _read(function, values, on_invalid, name):
    if on_invalid not in ("raise", "warn", "ignore"):
        raise ValueError(f"on_invalid must be 'raise', 'warn' or 'ignore', got {on_invalid!r}")
    flat, shape = _objects(values)
    geometries, errors = function(flat)
    if errors and on_invalid != "ignore":
        index, reason = errors[0]
        if shape != ():
            where = tuple(int(k) for k in np.unravel_index(index, shape)) if len(shape) > 1 else index
            reason = f"element {where}: {reason}"
        if on_invalid == "raise":
            error = ParseError(reason)
            error.index = index
            raise error
        more = f" ({len(errors)} elements refused)" if len(errors) > 1 else ""
        warnings.warn(f"{name}: {reason}{more}; None in their place", RuntimeWarning, stacklevel=3)
    return _shaped(geometries, shape)


def from_wkt(geometry, on_invalid="raise"):
    """Geometries from Well-Known Text (str or bytes): keywords all upper
    or all lower case, three coordinates (x y z) per vertex.

    on_invalid: ``"raise"`` (ParseError with the library's message saying
    where, and the flat position of the first refused text in ``.index``),
    ``"warn"`` or ``"ignore"`` (None for each refused text). Text holding a
    character outside WKT (a mixed-case keyword, a stray letter, a NUL) is
    refused with the character and its column.
    """
    return _read(_lib.from_wkt, geometry, on_invalid, "from_wkt")


def to_wkt(geometry, precision=17):
    """The Well-Known Text of each geometry (lower-case keywords, x y z),
    numbers with ``precision`` significant digits (1 to 17; at 17, the
    default, every number reads back as itself). An empty container (read
    from WKB) is written as e.g. ``multipolygon()``, which from_wkt does not
    read."""
    flat, shape = _objects(geometry)
    return _shaped(_lib.to_wkt(flat, _integer(precision, "precision")), shape)


def from_wkb(geometry, on_invalid="raise"):
    """Geometries from OGC Well-Known Binary: bytes-like objects or hex
    strings; ISO type codes with or without z (z = 0 then) and the extended
    dialect (its SRID dropped), either byte order. on_invalid as for
    from_wkt."""
    return _read(_lib.from_wkb, geometry, on_invalid, "from_wkb")


def to_wkb(geometry, hex=False):
    """The ISO WKB of each geometry: little-endian, type codes with z (1001
    point to 1007 collection), as bytes, or as upper-case hex strings.
    GeometryError for a geometry WKB cannot express (an empty line or ring,
    a point of NaN coordinates)."""
    flat, shape = _objects(geometry)
    return _shaped(_lib.to_wkb(flat, bool(hex)), shape)


def bounds(geometry):
    """The 3D box of each geometry's vertices: an array of shape + (6,),
    xmin, ymin, zmin, xmax, ymax, zmax; NaN for a missing geometry or one
    without vertices."""
    flat, shape = _objects(geometry)
    return _shaped(_lib.bounds(flat), shape)


def get_type_id(geometry):
    """The kind of each geometry: POINT (1) to GEOMETRYCOLLECTION (7); -1
    for a missing one."""
    flat, shape = _objects(geometry)
    return _shaped(_lib.get_type_id(flat), shape)


def intersects(a, b, tolerance=0.0):
    """Whether the shortest 3D distance between a and b is at most
    tolerance (exact for the stored coordinates; a negative or NaN tolerance
    meets nothing). a, b and tolerance broadcast together; a side may be a
    PreparedGeometry. False when a side is missing or has no vertices."""
    a, b, tolerance = _broadcast(np.asarray(a, dtype=object), np.asarray(b, dtype=object), _floats(tolerance, "tolerance"))
    result = _lib.intersects(a.reshape(-1), b.reshape(-1), np.ascontiguousarray(tolerance).reshape(-1))
    return _shaped(result, a.shape)


def distance(a, b):
    """The shortest 3D distance between a and b, exact for the stored
    coordinates and rounded upwards to a double. a and b broadcast; a side
    may be a PreparedGeometry (the same value, its index used). NaN
    when a side is missing or has no vertices, or a coordinate is not
    finite; +inf for lines without a segment."""
    a, b = _broadcast(np.asarray(a, dtype=object), np.asarray(b, dtype=object))
    return _shaped(_lib.distance(a.reshape(-1), b.reshape(-1)), a.shape)


def prepare(geometry):
    """A PreparedGeometry for each geometry: the record indexed once (its
    polygons of 256 edges or more) for many intersection tests and
    distances. Accepted
    wherever a geometry is; ``.geometry`` gives the geometry back."""
    flat, shape = _objects(geometry)
    return _shaped(_lib.prepare(flat), shape)


def affine_transform(geometry, matrix):
    """A copy of each geometry with every vertex p replaced by M p + t,
    matrix being the 3 x 4 array [M | t] (finite)."""
    matrix = np.asarray(matrix, dtype=float)
    if matrix.shape == (4, 4):
        if not np.array_equal(matrix[3], [0.0, 0.0, 0.0, 1.0]):
            raise ValueError("a 4 x 4 matrix must end with the row 0 0 0 1")
        matrix = matrix[:3]
    if matrix.shape != (3, 4):
        raise ValueError(f"the matrix must be 3 x 4, got {matrix.shape}")
    flat, shape = _objects(geometry)
    return _shaped(_lib.affine_transform(flat, np.ascontiguousarray(matrix)), shape)


def translate(geometry, xoff=0.0, yoff=0.0, zoff=0.0):
    """Each geometry moved by (xoff, yoff, zoff)."""
    return affine_transform(geometry, _lib.translation(*_finite((xoff, yoff, zoff), "offsets")))


def scale(geometry, xfact=1.0, yfact=1.0, zfact=1.0, origin=(0.0, 0.0, 0.0)):
    """Each geometry scaled by the factors about origin (a point)."""
    factors = _finite((xfact, yfact, zfact), "factors")
    return affine_transform(geometry, _lib.scaling(*factors, *_point(origin, "origin")))


def rotate(geometry, angle, axis=((0.0, 0.0, 0.0), (0.0, 0.0, 1.0)), use_radians=False):
    """Each geometry turned by angle (degrees unless use_radians) about the
    line through the two points of axis (by default the z axis): counter-
    clockwise seen from the second point looking towards the first."""
    try:
        start, end = axis
    except (TypeError, ValueError):
        raise ValueError("axis must be two points") from None
    (angle,) = _finite((angle,), "angle")
    matrix = _lib.rotation(angle, bool(use_radians), *_point(start, "axis"), *_point(end, "axis"))
    return affine_transform(geometry, matrix)


def mirror(geometry, point, normal):
    """Each geometry reflected in the plane through point with the normal
    given (any nonzero length)."""
    return affine_transform(geometry, _lib.mirroring(*_point(point, "point"), *_point(normal, "normal")))


def sjoin(a, b, tolerance=0.0, threads=None):
    """Every pair (a[i], b[j]) that meets within tolerance (as intersects
    answers), found by the library's join: a box tree over b's ranges
    widened by the tolerance, then the exact test of each candidate pair,
    on threads threads (default: the cores this process may use).

    Returns two int64 arrays (i, j) of equal length, sorted by i then j;
    for arrays of several dimensions, i and j index them flattened. Missing
    geometries and geometries without vertices are in no pair; a and b may
    be the same array. tolerance: a number, 0 or more (ValueError else).
    """
    a_flat, _ = _objects(a)
    b_flat, _ = _objects(b)
    tolerance = _floats(tolerance, "tolerance")
    if tolerance.shape != ():
        raise TypeError("tolerance must be one number")
    return _lib.sjoin(a_flat, b_flat, float(tolerance), _thread_count(threads))


def _geometry_from_record(record):
    """Unpickles a Geometry from its record's bytes (checked first)."""
    return _lib._geometry_from_record(record)


def _prepare_one(geometry):
    """Unpickles a PreparedGeometry: its geometry prepared again."""
    return _lib._prepare_one(geometry)


def _integer(value, name):
    if isinstance(value, bool) or not isinstance(value, (int, np.integer)):
        raise TypeError(f"{name} must be an integer, got {type(value).__name__}")
    return int(value)


def _floats(values, name):
    array = np.asarray(values)
    if array.dtype.kind not in "biuf":
        raise TypeError(f"{name} must be numbers, got {array.dtype}")
    return array.astype(float)


def _finite(values, name):
    numbers = []
    for value in values:
        if isinstance(value, (str, bytes)):
            raise TypeError(f"the {name} must be numbers, got {type(value).__name__}")
        try:
            number = float(value)
        except (TypeError, ValueError):
            raise TypeError(f"the {name} must be numbers, got {type(value).__name__}") from None
        if not math.isfinite(number):
            raise ValueError(f"the {name} must be finite")
        numbers.append(number)
    return numbers


def _point(point, name):
    try:
        coordinates = list(point)
    except TypeError:
        raise TypeError(f"{name} must be a point (x, y, z)") from None
    if len(coordinates) != 3:
        raise ValueError(f"{name} must be a point (x, y, z), got {len(coordinates)} numbers")
    return _finite(coordinates, name)


def _thread_count(threads):
    if threads is None:
        try:
            return max(1, len(os.sched_getaffinity(0)))
        except AttributeError:
            return os.cpu_count() or 1
    threads = _integer(threads, "threads")
    if threads < 1:
        raise ValueError(f"threads must be at least 1, got {threads}")
    return threads
