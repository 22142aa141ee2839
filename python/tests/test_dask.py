"""The distributed join on a local cluster of two worker processes: the
pairs of the tool's join on the same files (none lost, none doubled),
with geometries straddling many cells and a tolerance wider than a cell."""

import os
import subprocess

import numpy as np
import pytest

import spatialgeom as sg

from conftest import random_wkt

distributed = pytest.importorskip("distributed")
dask_bag = pytest.importorskip("dask.bag")
sgdask = pytest.importorskip("spatialgeom.dask")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


def spread_geometries(rng, count, reach):
    """count random geometries moved across [0, reach]^2, a few of them
    scaled to cross much of it."""
    texts = []
    for k in range(count):
        g = sg.from_wkt(random_wkt(rng))
        if k % 50 == 0:
            g = sg.scale(g, 8.0, 8.0, 1.0)
        g = sg.translate(g, rng.uniform(0, reach), rng.uniform(0, reach))
        texts.append(sg.to_wkt(g))
    return texts


def write_lines(path, lines):
    path.write_text("".join(line + "\n" for line in lines))
    return path


def pairs_of(frame):
    result = frame.compute()
    return sorted(zip(result["left"].tolist(), result["right"].tolist()))


def tool_pairs(left, right, tolerance):
    tool = os.environ.get("SPATIALGEOM_TOOL")
    if not tool or not os.path.exists(tool):
        pytest.skip("SPATIALGEOM_TOOL does not name the built spatialgeom tool")
    printed = subprocess.run([tool, "join", str(left), str(right), "--tolerance", repr(tolerance)], check=True,
                             capture_output=True, text=True).stdout.split()
    # Line numbers from 1 there, line indexes here.
    return sorted((int(printed[k]) - 1, int(printed[k + 1]) - 1) for k in range(0, len(printed), 2))


def test_files_give_the_pairs_of_the_tool(client, tmp_path, rng):
    left_lines = spread_geometries(rng, 700, 100.0)
    right_lines = spread_geometries(rng, 600, 100.0)
    left_lines[5] = ""  # a blank line still counts
    left = write_lines(tmp_path / "left.wkt", left_lines)
    right = write_lines(tmp_path / "right.wkt", right_lines)
    # 16 cells of about 25 x 25: a tolerance of 30 reaches across cells.
    for tolerance in (0.0, 0.5, 30.0):
        expected = tool_pairs(left, right, tolerance)
        found = pairs_of(sgdask.sjoin(left, right, tolerance=tolerance, cells=16))
        assert found == expected, tolerance
        assert len(set(found)) == len(found)


def test_lists_of_files_and_collections_count_positions_in_order(client, tmp_path, rng):
    lines = spread_geometries(rng, 300, 20.0)
    parts = [write_lines(tmp_path / f"part{k}.wkt", lines[k * 100 : (k + 1) * 100]) for k in range(3)]
    geometries = sg.from_wkt(lines)
    i, j = sg.sjoin(geometries, geometries, tolerance=0.25)
    expected = sorted(zip(i.tolist(), j.tolist()))
    assert pairs_of(sgdask.sjoin(parts, parts, tolerance=0.25, cells=9)) == expected
    bag = dask_bag.from_sequence(lines, npartitions=7)
    assert pairs_of(sgdask.sjoin(bag, parts, tolerance=0.25, cells=5)) == expected


def test_refusals(client, tmp_path):
    bad = write_lines(tmp_path / "bad.wkt", ["POINT(1 2 3)", "POINT(1 2"])
    with pytest.raises(sg.ParseError, match="bad.wkt"):
        pairs_of(sgdask.sjoin(bad, bad))
    with pytest.raises(ValueError):
        sgdask.sjoin(bad, bad, tolerance=-1.0)
    with pytest.raises(TypeError):
        sgdask.sjoin(42, bad)
    empty = write_lines(tmp_path / "empty.wkt", [])
    assert pairs_of(sgdask.sjoin(empty, empty)) == []
