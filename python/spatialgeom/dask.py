"""A spatial join that runs on a Dask cluster.

``sjoin(left, right, tolerance=0.0)`` gives every pair of geometries, one
from each side, whose shortest 3D distance is at most ``tolerance``: the
pairs of :func:`spatialgeom.sjoin`, found on the workers of a
``dask.distributed`` cluster.

How the work is split: the plane is cut into cells by quantiles of sampled
box centres (slices by x, each slice cut by y), so that cells hold similar
numbers of geometries. Every geometry goes to each cell its box touches (the
left boxes widened by the tolerance); each cell is joined by the library on
a worker; a pair is kept only by the cell that holds the low corner (in x
and y) of the overlap of its two boxes, so it is reported once. Memory per
worker is bounded by the geometries of the cells it holds, not the inputs.
"""

import os

import numpy as np

import spatialgeom as _sg

__all__ = ["sjoin"]

_BLOCK_BYTES = 16 << 20
_SAMPLES_PER_BLOCK = 2000
_GEOMETRIES_PER_CELL = 20000


class _Block:
    """The geometries of a piece of input that have a box: their positions
    in the piece, boxes (n x 6: low x y z, high x y z) and the geometries.
    Geometries without a box (no vertex, or a NaN coordinate) meet
    nothing and are left out."""

    def __init__(self, texts, positions, where):
        try:
            geometries = _sg.from_wkt(np.asarray(texts, dtype=object))
        except _sg.ParseError as error:
            index = getattr(error, "index", None)
            line = f"line {positions[index] + 1} of the piece" if index is not None else "a line"
            raise _sg.ParseError(f"{where}, {line}: {error}") from None
        boxes = _sg.bounds(geometries).reshape(-1, 6)
        keep = ~np.isnan(boxes).any(axis=1)
        self.positions = np.asarray(positions, dtype=np.int64)[keep]
        self.boxes = boxes[keep]
        self.geometries = geometries[keep]


def _read_block(path, start, end):
    """The block of the lines of a file that start in [start, end), and the
    number of those lines (blank ones included)."""
    with open(path, "rb") as f:
        f.seek(max(start - 1, 0))
        data = f.read(end - max(start - 1, 0))
        if start > 0:
            # A line that started before start belongs to the block before.
            cut = data.find(b"\n")
            data = data[cut + 1 :] if cut >= 0 else b""
        if data and not data.endswith(b"\n"):
            data += f.readline()  # the last line, which started before end
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    present = [(k, line.strip()) for k, line in enumerate(lines)]
    present = [(k, text.decode("utf-8")) for k, text in present if text]
    return _Block([t for _, t in present], [k for k, _ in present], path), len(lines)


def _blocks_of_files(paths):
    """Delayed blocks of the files and the number of lines of each."""
    import dask

    out = []
    for path in paths:
        size = os.path.getsize(path)
        for start in range(0, max(size, 1), _BLOCK_BYTES):
            out.append(dask.delayed(_read_block)(path, start, min(size, start + _BLOCK_BYTES)))
    return out


def _block_of_partition(partition):
    texts = partition.tolist() if hasattr(partition, "tolist") else list(partition)
    present = [(i, t) for i, t in enumerate(texts) if isinstance(t, (str, bytes)) and t.strip()]
    return _Block([t for _, t in present], [i for i, _ in present], "a partition"), len(texts)


def _blocks_of(source):
    """Delayed (block, count) pairs of a side: a WKT file path, a list of
    paths, or a Dask collection (Bag or Series) of WKT strings."""
    import dask

    if isinstance(source, (str, os.PathLike)):
        return _blocks_of_files([os.fspath(source)])
    if isinstance(source, (list, tuple)) and all(isinstance(p, (str, os.PathLike)) for p in source):
        return _blocks_of_files([os.fspath(p) for p in source])
    if hasattr(source, "to_delayed"):
        return [dask.delayed(_block_of_partition)(p) for p in source.to_delayed()]
    raise TypeError("sjoin takes WKT file paths or a Dask collection of WKT strings")


def _sample(pair):
    block, count = pair
    centres = (block.boxes[:, 0:2] + block.boxes[:, 3:5]) / 2
    if len(centres) > _SAMPLES_PER_BLOCK:
        rng = np.random.default_rng(len(centres))
        centres = centres[rng.choice(len(centres), _SAMPLES_PER_BLOCK, replace=False)]
    return count, len(block.positions), centres


class _Cells:
    """Slices by x, each cut by y: the cells of slice i hold x in
    [xs[i-1], xs[i]) and y in [ys[i][j-1], ys[i][j]), the outer bounds
    infinite; cells are numbered slice by slice."""

    def __init__(self, centres, cells):
        finite = centres[np.isfinite(centres).all(axis=1)]
        slices = max(1, int(round(np.sqrt(cells))))
        rows = max(1, int(np.ceil(cells / slices)))
        self.xs = np.unique(np.quantile(finite[:, 0], np.arange(1, slices) / slices)) if len(finite) else np.empty(0)
        self.ys = []
        column = np.searchsorted(self.xs, finite[:, 0], side="right")
        for i in range(len(self.xs) + 1):
            inside = finite[column == i, 1]
            cuts = np.quantile(inside, np.arange(1, rows) / rows) if len(inside) else []
            self.ys.append(np.unique(cuts))
        self.first = np.concatenate([[0], np.cumsum([len(y) + 1 for y in self.ys])])

    def count(self):
        return int(self.first[-1])

    def holding(self, x, y):
        """The cell of each point (x, y: arrays)."""
        column = np.searchsorted(self.xs, x, side="right")
        cell = np.empty(len(x), dtype=np.int64)
        for i in np.unique(column):
            chosen = column == i
            cell[chosen] = self.first[i] + np.searchsorted(self.ys[i], y[chosen], side="right")
        return cell

    def members(self, boxes):
        """{cell: indexes of the closed boxes (n x 6) that touch it}."""
        low = np.searchsorted(self.xs, boxes[:, 0], side="right")
        high = np.searchsorted(self.xs, boxes[:, 3], side="right")
        out = {}
        for i in range(len(self.ys)):
            inside = np.nonzero((low <= i) & (high >= i))[0]
            if len(inside) == 0:
                continue
            bottom = np.searchsorted(self.ys[i], boxes[inside, 1], side="right")
            top = np.searchsorted(self.ys[i], boxes[inside, 4], side="right")
            for j in range(len(self.ys[i]) + 1):
                chosen = inside[(bottom <= j) & (top >= j)]
                if len(chosen):
                    out[int(self.first[i] + j)] = chosen
        return out


def _widened(boxes, tolerance):
    """Boxes grown by the tolerance and rounded outwards twice: never
    smaller than the library's own widening."""
    if tolerance == 0 or len(boxes) == 0:
        return boxes
    low = np.nextafter(np.nextafter(boxes[:, 0:3] - tolerance, -np.inf), -np.inf)
    high = np.nextafter(np.nextafter(boxes[:, 3:6] + tolerance, np.inf), np.inf)
    return np.hstack([low, high])


def _split(pair, offset, cells, tolerance):
    """The block's geometries by cell: {cell: (ids, boxes, geometries)}."""
    block, _ = pair
    boxes = _widened(block.boxes, tolerance)
    return {
        c: (block.positions[k] + offset, boxes[k], block.geometries[k]) for c, k in cells.members(boxes).items()
    }


def _gather(parts):
    """One cell's pieces from every block, joined."""
    parts = [p for p in parts if p is not None]
    if not parts:
        return np.empty(0, np.int64), np.empty((0, 6)), np.empty(0, dtype=object)
    return tuple(np.concatenate([p[k] for p in parts]) for k in range(3))


def _join_cell(cell, cells, tolerance, left_parts, right_parts):
    import pandas as pd

    left_ids, left_boxes, left = _gather(left_parts)
    right_ids, right_boxes, right = _gather(right_parts)
    empty = pd.DataFrame({"left": np.empty(0, np.int64), "right": np.empty(0, np.int64)})
    if len(left) == 0 or len(right) == 0:
        return empty
    i, j = _sg.sjoin(left, right, tolerance=tolerance, threads=1)
    if len(i) == 0:
        return empty
    # The low corner of the overlap of the two boxes decides the cell.
    x = np.maximum(left_boxes[i, 0], right_boxes[j, 0])
    y = np.maximum(left_boxes[i, 1], right_boxes[j, 1])
    mine = cells.holding(x, y) == cell
    return pd.DataFrame({"left": left_ids[i[mine]], "right": right_ids[j[mine]]})


def sjoin(left, right, tolerance=0.0, cells=None):
    """Every pair (left index, right index) of geometries that meet within
    tolerance, as a Dask DataFrame with columns "left" and "right".

    left and right: a WKT file (one geometry per line), a list of such files
    (read as one), or a Dask Bag or Series of WKT strings. Indexes count
    from 0: a file's line number minus 1 (over the files of a list in
    order; blank lines hold no geometry but are counted), a collection's
    position. cells: how many cells to split the plane into (default: about
    20,000 geometries each, at least 4 per worker).

    Runs on the current dask.distributed client (``Client(address)`` for a
    cluster, ``Client(LocalCluster(...))`` on one machine). Raises
    spatialgeom.ParseError (a ValueError) on a line that is not WKT,
    naming the file.
    """
    import dask
    import dask.dataframe as dd
    import pandas as pd

    if not tolerance >= 0:
        raise ValueError("tolerance must be a number >= 0")
    tolerance = float(tolerance)
    left_blocks, right_blocks = _blocks_of(left), _blocks_of(right)
    left_blocks = list(dask.persist(*left_blocks))
    right_blocks = list(dask.persist(*right_blocks))
    samples = dask.compute(*[dask.delayed(_sample)(b) for b in left_blocks + right_blocks])
    counts = [s[0] for s in samples]
    total = sum(s[1] for s in samples)
    centres = np.vstack([s[2] for s in samples]) if samples else np.empty((0, 2))
    if cells is None:
        try:
            from distributed import default_client

            workers = len(default_client().scheduler_info()["workers"])
        except (ImportError, ValueError):
            workers = 1
        cells = max(4 * workers, total // _GEOMETRIES_PER_CELL)
    grid = _Cells(centres, max(1, int(cells)))

    def splits(blocks, block_counts, widen):
        offsets = np.concatenate([[0], np.cumsum(block_counts)])[:-1]
        return [
            dask.delayed(_split)(b, int(o), grid, tolerance if widen else 0.0) for b, o in zip(blocks, offsets)
        ]

    left_splits = splits(left_blocks, counts[: len(left_blocks)], True)
    right_splits = splits(right_blocks, counts[len(left_blocks) :], False)
    frames = [
        dask.delayed(_join_cell)(
            c,
            grid,
            tolerance,
            [dask.delayed(dict.get)(s, c) for s in left_splits],
            [dask.delayed(dict.get)(s, c) for s in right_splits],
        )
        for c in range(grid.count())
    ]
    meta = pd.DataFrame({"left": np.empty(0, np.int64), "right": np.empty(0, np.int64)})
    return dd.from_delayed(frames, meta=meta)
