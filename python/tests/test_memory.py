"""Records freed with their objects, and reference counts and memory stable
over a million calls."""

import copy
import gc
import sys

import numpy as np
import pytest

import spatialgeom as sg
from conftest import circle
from spatialgeom import _spatialgeom


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * 4096


def live():
    return _spatialgeom._live_geometries(), _spatialgeom._live_prepared()


def test_records_are_freed_with_their_arrays():
    gc.collect()
    before = live()
    geometries = sg.from_wkt(["POINT(%d 0 0)" % i for i in range(1000)] + [None])
    prepared = sg.prepare(geometries)
    moved = sg.translate(geometries, 1)
    assert live() == (before[0] + 2000, before[1] + 1000)
    del geometries
    assert live() == (before[0] + 2000, before[1] + 1000)  # the prepared ones hold their geometries
    del prepared
    assert live() == (before[0] + 1000, before[1])
    del moved
    assert live() == before
    # Refusals free what was made before them.
    with pytest.raises(sg.ParseError):
        sg.from_wkt(["POINT(1 2 3)"] * 10 + ["POINT("])
    with pytest.raises(sg.ParseError):
        sg.from_wkb([sg.to_wkb(sg.from_wkt("POINT(1 2 3)"))] * 10 + [b"x"])
    with pytest.raises(TypeError):
        sg.translate(sg.from_wkt(["POINT(1 2 3)"] * 10).tolist() + [5], 1)
    gc.collect()
    assert live() == before


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads /proc/self/statm")
def test_a_million_calls_keep_reference_counts_and_memory():
    point = sg.from_wkt("POINT(1 2 3)")
    square = sg.from_wkt("POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0))")
    prepared = sg.prepare(square)
    array = np.array([point, square, None], dtype=object)
    wkb = sg.to_wkb(square)
    text = "LINESTRING(0 0 0,1 1 1)"

    def calls(n):
        # Ten calls a round, each making and dropping objects, arrays,
        # strings or bytes.
        for _ in range(n):
            sg.from_wkt(text)
            sg.to_wkt(point)
            sg.from_wkb(wkb)
            sg.to_wkb(array)
            sg.bounds(array)
            sg.intersects(point, prepared)
            sg.intersects(array, square, 1.0)
            sg.translate(point, 1.0)
            sg.get_type_id(array)
            sg.prepare(point)

    calls(20_000)
    gc.collect()
    counts = [sys.getrefcount(o) for o in (point, square, prepared, array, wkb, text)]
    objects = live()
    memory = resident_bytes()
    calls(80_000)
    gc.collect()
    assert [sys.getrefcount(o) for o in (point, square, prepared, array, wkb, text)] == counts
    assert live() == objects
    # A record lost per round would be over 3 MB here; allow for the
    # allocator's own slack.
    assert resident_bytes() - memory < 2 << 20


def test_records_read_concurrently_stay_alive_when_their_array_changes():
    from concurrent.futures import ThreadPoolExecutor

    shapes = sg.from_wkt([circle(315, 1.0)] * 200)
    probe = sg.from_wkt("POINT(5 5 5)")
    expected = sg.distance(shapes[:1], probe)[0]
    with ThreadPoolExecutor(2) as pool:
        running = pool.submit(sg.distance, shapes, probe)
        shapes[:] = None  # drops the array's references while the call reads them
        assert (running.result() == expected).all()
    gc.collect()


def test_wrong_objects_are_refused_not_read():
    good = sg.from_wkt("POINT(1 2 3)")
    for bad in (1, "POINT(1 2 3)", b"\x01", object(), [good], 1.5, np.float64(2.0)):
        for call in (sg.to_wkt, sg.to_wkb, sg.bounds, sg.prepare, lambda g: sg.intersects(g, good),
                     lambda g: sg.distance(good, g), lambda g: sg.translate(g, 1)):
            with pytest.raises(TypeError):
                call(np.array([good, bad, None], dtype=object)) if isinstance(bad, list) else call(bad)
    refusals = [(TypeError, read, bad) for read in (sg.from_wkt, sg.from_wkb) for bad in (1, object(), 2.5)]
    refusals += [(TypeError, sg.intersects, good, good, bad) for bad in (None, "1", object())]
    refusals += [(TypeError, sg.Geometry), (TypeError, sg.PreparedGeometry), (TypeError, object.__new__, sg.Geometry),
                 (TypeError, type, "Sub", (sg.Geometry,), {}), (TypeError, lambda: sg.to_wkt(good, precision=2.5))]
    refusals += [(ValueError, lambda p=p: sg.to_wkt(good, precision=p)) for p in (0, 18, -1)]
    for error, call, *arguments in refusals:
        with pytest.raises(error):
            call(*arguments)
    # Copies own records of their own.
    for copied in (copy.copy(good), copy.deepcopy(good)):
        assert copied == good and copied is not good
