"""sjoin: the pairs of every pairwise intersects, and of the tool's join."""

import math
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

import spatialgeom as sg
from conftest import random_wkt

KINDS = ("point", "linestring", "polygon", "multipoint", "multilinestring", "multipolygon", "geometrycollection")


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


def test_answers_as_the_tool_on_the_example_files():
    tool = os.environ.get("SPATIALGEOM_TOOL")
    if not tool or not os.path.exists(tool):
        pytest.skip("SPATIALGEOM_TOOL does not name the built spatialgeom tool")
    examples = Path(__file__).resolve().parents[2] / "examples"
    for tolerance in ("0", "5"):
        printed = subprocess.run([tool, "join", str(examples / "a.wkt"), str(examples / "b.wkt"), "--tolerance", tolerance],
                                 check=True, capture_output=True, text=True).stdout.split()
        expected = [(int(printed[k]), int(printed[k + 1])) for k in range(0, len(printed), 2)]
        # The tool's ids are line numbers from 1; blank lines count.
        a, b = ([line.strip() or None for line in (examples / name).read_text().splitlines()] for name in ("a.wkt", "b.wkt"))
        i, j = sg.sjoin(sg.from_wkt(a), sg.from_wkt(b), tolerance=float(tolerance))
        assert list(zip((i + 1).tolist(), (j + 1).tolist())) == expected
