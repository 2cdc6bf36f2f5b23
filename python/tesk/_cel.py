"""Cell intensity files as arrays."""

import os

import numpy as np

from . import _tesk


class Cel:
    """A cell intensity file: `header` (a dict), `mean`, `stdv` (float32), `npixels` (uint16),
    `masked` and `outlier` (bool), each of shape (rows, cols) and indexed [y, x]; `subgrids`, a
    structured array of tesk.SUBGRID_DTYPE."""

    def __init__(self, path, raw):
        self.path = path
        self.subgrids = raw.pop("subgrids")
        arrays = {k: raw.pop(k, None) for k in ("mean", "stdv", "npixels", "masked", "outlier")}
        self.header = raw
        self.mean = arrays["mean"]
        self.stdv = arrays["stdv"]
        self.npixels = arrays["npixels"]
        self.masked = arrays["masked"]
        self.outlier = arrays["outlier"]

    @property
    def rows(self):
        return self.header["rows"]

    @property
    def cols(self):
        return self.header["cols"]

    def __repr__(self):
        return (f"<tesk.Cel {self.path!r} {self.rows} x {self.cols}, "
                f"version {self.header['version']}>")


def read_cel(path, header_only=False):
    """Reads a cell intensity file (binary or either text encoding)."""
    path = os.fspath(path)
    return Cel(path, _tesk._read_cel(path, header_only))


def _parameter_text(parameters):
    if isinstance(parameters, dict):
        return ";".join(f"{k}:{v}" for k, v in parameters.items())
    return parameters or ""


def _header(rows, cols, version, algorithm, parameters, cell_margin, outliers, lines):
    """The header text each encoding's reader expects: grid size first, the algorithm and its
    parameters last (version 2 has only the size and one free line)."""
    if version == 2:
        free = " ".join(lines) if lines else ""
        return f"COLS/ROWS={cols} {rows}\n{free}\n"
    text = [f"Cols={cols}", f"Rows={rows}", *lines]
    if algorithm:
        text.append(f"Algorithm={algorithm}")
    params = _parameter_text(parameters)
    high, low = outliers
    items = ([params] if params else ["Percentile:75"]) + [
        f"CellMargin:{cell_margin}", f"OutlierHigh:{high:.3f}", f"OutlierLow:{low:.3f}"]
    text.append("AlgorithmParameters=" + ";".join(items))
    return "\n".join(text) + "\n"


def write_cel(path, mean, stdv=None, npixels=None, masked=None, outlier=None, *, version=4,
              algorithm="", parameters="", cell_margin=2, outlier_high=1.5, outlier_low=1.004,
              header_lines=(), header=None, subgrids=None):
    """Writes a cell intensity file: version 4 (binary), 3 or 2 (text).

    `mean` is a (rows, cols) array, or a Cel whose arrays, header and sub-grids are written.
    Missing arrays are zeros (flags False). The header text is built from the grid size,
    `header_lines`, `algorithm`, `parameters` (text "A:1;B:2" or a dict), `cell_margin` and the
    outlier thresholds,
    unless `header` gives it whole. Text encodings keep one decimal of MEAN and STDV; version 2
    keeps neither flags nor sub-grids.
    """
    path = os.fspath(path)
    if isinstance(mean, Cel):
        cel = mean
        if cel.mean is None:
            raise ValueError("the Cel was read without its cells (header_only)")
        mean, stdv, npixels = cel.mean, cel.stdv, cel.npixels
        masked, outlier = cel.masked, cel.outlier
        algorithm = algorithm or cel.header["algorithm"]
        if subgrids is None:
            subgrids = cel.subgrids
        if header is None and version != 2 and cel.header["version"] != 2:
            header = cel.header["text"]
    mean = np.asarray(mean, dtype=np.float32)
    if mean.ndim != 2:
        raise ValueError("mean must be a (rows, cols) array")
    shape = mean.shape

    def cells(a, dtype):
        return np.zeros(shape, dtype) if a is None else np.asarray(a, dtype=dtype)

    if version not in (2, 3, 4):
        raise ValueError("version must be 4 (binary), 3 or 2 (text)")
    if header is None:
        header = _header(shape[0], shape[1], version, algorithm, parameters, cell_margin,
                         (outlier_high, outlier_low), list(header_lines))
    _tesk._write_cel(path, version, header, algorithm or "", mean, cells(stdv, np.float32),
                     cells(npixels, np.uint16), cells(masked, bool), cells(outlier, bool),
                     None if subgrids is None or len(subgrids) == 0 else subgrids)
