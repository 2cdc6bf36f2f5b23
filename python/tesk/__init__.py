"""Probe-array experiment files as numpy arrays.

    import tesk
    cel = tesk.read_cel("sample.CEL")        # cel.mean, cel.stdv, cel.npixels: (rows, cols)
    dat = tesk.open_dat("sample.DAT")        # dat.pixels: read-only view of the mapped file
    exp = tesk.read_exp("sample.EXP")        # a dict of the experiment's fields
    cdf = tesk.read_cdf("sample.CDF")        # cdf.units, cdf.cells, cdf.qc: structured arrays
    chp = tesk.read_chp("sample.CHP")        # the same tables with the analysis results

Failures raise tesk.Error (an OSError) with the library's message and the path; a path that
does not exist raises FileNotFoundError. `tesk.automation.Dispatch` drives the kit's
automation objects late-bound.
"""

import os as _os

import numpy as _np

from . import _tesk
from ._cel import Cel, read_cel, write_cel
from ._tesk import Error, SUBGRID_DTYPE

__all__ = [
    "Error", "SUBGRID_DTYPE", "Cel", "read_cel", "write_cel", "Image", "open_dat", "read_exp",
    "Chip", "read_cdf", "read_chp", "RESEQUENCING", "GENOTYPING", "EXPRESSION", "UNIVERSAL",
]

# Unit type codes of layout and result files.
RESEQUENCING = 1
GENOTYPING = 2
EXPRESSION = 3
UNIVERSAL = 7


class Image:
    """A scanner image file, mapped read-only. `pixels` is a (rows, cols) uint16 view of the
    mapping (no copy); the mapping lives as long as the Image or any view of it."""

    def __init__(self, path, fields, mapping):
        self.path = path
        self._mapping = mapping
        self.header = fields
        for key, value in fields.items():
            setattr(self, key, value)
        self.pixels = _tesk._pixels(mapping)

    def __repr__(self):
        return f"<tesk.Image {self.path!r} {self.rows} x {self.cols}>"


def open_dat(path):
    """Opens a scanner image file: its header fields as attributes (and in `header`), its
    sub-grids, and `pixels`, a read-only view of the mapped file."""
    path = _os.fspath(path)
    fields, mapping = _tesk._open_dat(path)
    return Image(path, fields, mapping)


def read_exp(path):
    """Reads an experiment information file into a dict."""
    return _tesk._read_exp(_os.fspath(path))


def _table(columns, text_fields=()):
    """A structured array from equally long columns (numpy arrays, or lists of str)."""
    arrays = {}
    for name, column in columns.items():
        if name in text_fields:
            arrays[name] = _np.array(column, dtype=str) if len(column) else _np.array([], "U1")
        elif isinstance(column, _np.ndarray) and column.dtype == _np.int8 and name.endswith(
                ("_base", "probe")):
            arrays[name] = column.view("S1")
        elif name in ("pm", "background", "masked", "outlier", "match"):
            arrays[name] = column.astype(bool)
        else:
            arrays[name] = column
    dtype = [(name, a.dtype) for name, a in arrays.items()]
    length = len(next(iter(arrays.values()))) if arrays else 0
    out = _np.empty(length, dtype=dtype)
    for name, a in arrays.items():
        out[name] = a
    return out


class Chip:
    """A layout or result file as tables.

    `units`: one row per unit (unit number, type, name, direction, atoms, cells per atom, and
    `first_cell`/`ncells`, the unit's rows in `cells`; in result files also the expression
    results and the tiling sequences). `cells`: one row per probe cell (its unit's index,
    number and type, atom, cell within the atom, `pm` for perfect-match cells, x, y, bases,
    flags, and in result files the intensities). `qc`: one row per QC cell.
    """

    def __init__(self, path, raw):
        self.path = path
        self.header = raw["header"]
        self.units = _table(raw["units"], text_fields=("name", "wild_type", "called"))
        self.cells = _table(raw["cells"])
        self.qc = _table(raw["qc"])

    def unit_cells(self, index):
        """The cells of the unit at row `index` of `units`."""
        u = self.units[index]
        return self.cells[u["first_cell"]:u["first_cell"] + u["ncells"]]

    def __repr__(self):
        return f"<tesk.Chip {self.path!r}: {len(self.units)} units, {len(self.cells)} cells>"


def read_cdf(path):
    """Reads a chip layout file into unit, cell and QC tables."""
    path = _os.fspath(path)
    return Chip(path, _tesk._read_cdf(path))


def read_chp(path):
    """Reads a chip result file into unit, cell and QC tables with the results."""
    path = _os.fspath(path)
    return Chip(path, _tesk._read_chp(path))
