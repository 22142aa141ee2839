"""WKT and WKB in and out, bounds, type ids and pickling: WKB against the
C interface, text and bounds against values worked out here."""

import pickle
import struct

import numpy as np
import pytest

import spatialgeom as sg
from conftest import KINDS, random_wkt


def test_text_and_wkb_round_trip_and_wkb_is_that_of_the_c_interface(rng, c_interface):
    texts = [random_wkt(rng, KINDS) for _ in range(300)]
    geometries = sg.from_wkt(texts)
    assert geometries.shape == (300,) and all(isinstance(g, sg.Geometry) for g in geometries)
    # At 17 digits every record reads back as itself.
    assert all(sg.from_wkt(sg.to_wkt(geometries)) == geometries)
    encoded = sg.to_wkb(geometries)
    for text, data in zip(texts, encoded):
        assert data == c_interface.wkb(c_interface.parse(text))
    hexes = sg.to_wkb(geometries, hex=True)
    assert all(h == d.hex().upper() for h, d in zip(hexes, encoded))
    for kind in (bytes, bytearray, memoryview):
        assert all(sg.from_wkb([kind(d) for d in encoded]) == geometries)
    assert all(sg.from_wkb(hexes) == geometries)
    collection = sg.from_wkt("GEOMETRYCOLLECTION(POINT(1.23456 2 3),LINESTRING(0 0 0,1 1 0.0001234567))")
    assert sg.to_wkt(collection, precision=3) == "geometrycollection(point(1.23 2 3),linestring(0 0 0,1 1 0.000123))"


def test_shapes_scalars_and_missing_values():
    grid = np.array([["POINT(1 2 3)", None], [b"LINESTRING(0 0 0,1 1 1)", float("nan")]], dtype=object)
    geometries = sg.from_wkt(grid)
    assert geometries.shape == (2, 2)
    assert geometries[0, 1] is None and geometries[1, 1] is None
    assert sg.to_wkt(geometries, precision=6).tolist() == [["point(1 2 3)", None], ["linestring(0 0 0,1 1 1)", None]]
    scalar = sg.from_wkt("point(1 2 3)")
    assert isinstance(scalar, sg.Geometry)
    assert sg.to_wkt(scalar) == "point(1 2 3)"
    assert sg.to_wkt(None) is None
    assert sg.from_wkt([]).shape == (0,)
    assert sg.get_type_id(geometries).tolist() == [[1, -1], [2, -1]]
    # Views with other strides are read as what they show.
    column = geometries[::-1, 0]
    assert sg.to_wkt(column, precision=6).tolist() == ["linestring(0 0 0,1 1 1)", "point(1 2 3)"]
    assert sg.get_type_id(geometries.T).tolist() == [[1, 2], [-1, -1]]


def test_long_texts_and_one_of_exactly_32768_characters():
    # The writer's count of 32768 characters is also its failure status.
    for vertices in (["1 1 1"] * 5456 + ["10 1 1"] * 3, ["1 1 1"] * 5455 + ["10 1 1"] * 9, ["1 2 3"] * 60000):
        text = "linestring(%s)" % ",".join(vertices)
        assert sg.to_wkt(sg.from_wkt(text), precision=6) == text
    assert len("linestring(%s)" % ",".join(["1 1 1"] * 5456 + ["10 1 1"] * 3)) == 32768


def test_parse_errors_carry_the_library_message():
    with pytest.raises(sg.ParseError) as raised:
        sg.from_wkt("POINT(1 2")
    assert "parse error, at or near" in str(raised.value)
    with pytest.raises(sg.ParseError) as raised:
        sg.from_wkt(["POINT(1 2 3)", "POINT(1 2 3)", "LINESTRING(0 0 0,1 1 1"])
    assert raised.value.index == 2 and str(raised.value).startswith("element 2: parse error")
    assert isinstance(raised.value, ValueError) and isinstance(raised.value, sg.GeometryError)
    # Characters outside WKT are refused before the library sees them
    # (it would echo them to standard output), with where they are.
    for text, column in (("Point(1 2 3)", 1), ("POINT(1 2 3)x", 13), ("POINT(1\x002 3)", 8), ("POINT(1 2 3é)", 12)):
        with pytest.raises(sg.ParseError, match="at column %d" % column):
            sg.from_wkt(text)
    with pytest.warns(RuntimeWarning, match="2 elements refused"):
        out = sg.from_wkt(["POINT(", "POINT(1 2 3)", "x"], on_invalid="warn")
    assert out[0] is None and out[2] is None and isinstance(out[1], sg.Geometry)
    assert sg.from_wkt(["POINT("], on_invalid="ignore")[0] is None
    with pytest.raises(ValueError):
        sg.from_wkt("POINT(1 2 3)", on_invalid="skip")


def test_wkb_refusals():
    big = struct.pack(">BIdd", 0, 1, 1.5, -2.0)  # a big-endian 2D point
    assert sg.to_wkt(sg.from_wkb(big), precision=6) == "point(1.5 -2 0)"
    # One refusal of the library (the others: ogc_wkb_test) and the module's hex refusals.
    refused = [big + b"\x00", "0G", "abc"]
    for value in refused:
        with pytest.raises(sg.ParseError):
            sg.from_wkb(value)
    out = sg.from_wkb(refused + [None], on_invalid="ignore")
    assert all(g is None for g in out)


def test_bounds_rows_and_missing():
    # (The box of every kind: record_range_test; here the rows and NaN rows.)
    texts = ["POINT(1 2 3)", "GEOMETRYCOLLECTION(POINT(0 5 1),LINESTRING(-1 2 3,4 0 -2))"]
    boxes = sg.bounds(sg.from_wkt(texts))
    assert boxes.dtype == np.float64 and boxes.tolist() == [[1, 2, 3, 1, 2, 3], [-1, 0, -2, 4, 5, 3]]
    empty = sg.from_wkb([struct.pack("<BII", 1, 1007, 0), struct.pack("<BII", 1, 1006, 0)])
    assert np.isnan(sg.bounds(empty)).all() and np.isnan(sg.bounds(None)).all()


def test_pickle_keeps_the_record(rng):
    geometries = sg.from_wkt([random_wkt(rng, KINDS) for _ in range(50)] + [None])
    copies = pickle.loads(pickle.dumps(geometries))
    assert all(copies[:-1] == geometries[:-1]) and copies[-1] is None
    assert len({hash(g) for g in geometries[:-1]}) == len(set(sg.to_wkt(geometries[:-1])))
    prepared = pickle.loads(pickle.dumps(sg.prepare(geometries[0])))
    assert isinstance(prepared, sg.PreparedGeometry) and prepared.geometry == geometries[0]
    # Bytes that are not a whole record are refused, not believed.
    state = geometries[0].__reduce__()
    function, (record,) = state
    for bad in (b"", record[:-8], record[:8] + b"\xff\xff\xff\x7f" + record[12:], b"\x00" * 40):
        with pytest.raises(sg.GeometryError):
            function(bad)
    with pytest.raises(TypeError):
        function("text")
