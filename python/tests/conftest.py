"""Fixtures of the module's tests: files the tests write themselves, and the object library
registered in the scratch registry that CTest names (TESK_REGISTRY_DIR)."""

import os
import struct
import subprocess

import numpy as np
import pytest

import tesk


@pytest.fixture
def grid():
    """A small grid of cells with every field distinct: 5 rows, 7 columns."""
    rng = np.random.default_rng(7)
    rows, cols = 5, 7
    return {
        "mean": rng.uniform(10, 20000, (rows, cols)).astype(np.float32),
        "stdv": rng.uniform(1, 500, (rows, cols)).astype(np.float32),
        "npixels": rng.integers(9, 36, (rows, cols)).astype(np.uint16),
        "masked": rng.random((rows, cols)) < 0.2,
        "outlier": rng.random((rows, cols)) < 0.2,
    }


def dat_bytes(pixels, experiment="scan one", chip_type="Demo_Array"):
    """A scanner image file: 512-byte header, pixels, no trailer."""
    rows, cols = pixels.shape
    header = bytearray(512)
    struct.pack_into("<BHHIII", header, 0, 0xFC, cols, rows, rows * cols,
                     int(pixels.min()), int(pixels.max()))
    chip = f" \x14 Info \x14 {chip_type}.1sq \x14 ".encode()
    header[100:100 + len(chip)] = chip
    header[358:358 + len(experiment)] = experiment.encode()
    return bytes(header) + pixels.astype("<u2").tobytes()


EXP_TEXT = """Quillomere Varolith Experiment Information
Version\t1

[Sample Info]
Chip Type\tDemo_Array
Chip Lot\tL-17
Operator\tana
Description\tliver, replicate 2

[Fluidics]
Protocol\tWash2
Post Hyb Wash #1: 10 cycles
Final Wash: 15 cycles
Station\t3
Hybridize Date\t03/07/2026 02:05 PM

[Scanner]
Filter\t570
Scanner ID\tTS-7
"""


def cdf_text():
    """A layout of a 10 x 10 chip: two expression units of 3 pairs, one QC unit of 2 cells.
    The perfect match of pair k of unit u lies at (k, 2u), its mismatch at (k, 2u + 1)."""
    lines = ["[CDF]", "Version=QX3.0", "", "[Chip]", "Name=Demo_Array", "Rows=10", "Cols=10",
             "NumberOfUnits=2", "MaxUnit=2", "NumQCUnits=1", "ChipReference=demo", "",
             "[QC1]", "Type=1", "NumberCells=2", "CellHeader=X\tY\tPROBE\tPLEN\tATOM\tINDEX",
             "Cell1=9\t9\tN\t25\t0\t99", "Cell2=8\t9\tN\t25\t1\t98", ""]
    header = ("CellHeader=X\tY\tPROBE\tFEAT\tQUAL\tEXPOS\tPOS\tCBASE\tPBASE\tTBASE\tATOM\tINDEX"
              "\tCODONIND\tCODON\tREGIONTYPE\tREGION")
    for u in (1, 2):
        lines += [f"[Unit{u}]", "Name=NONE", "Direction=1", "NumAtoms=3 2", "NumCells=6",
                  f"UnitNumber={u}", "UnitType=3", "NumberBlocks=1", "",
                  f"[Unit{u}_Block1]", f"Name=probe_set_{u}", "BlockNumber=1", "NumAtoms=3",
                  "NumCells=6", "StartPosition=0", "StopPosition=2", header]
        n = 1
        for k in range(3):
            y = 2 * (u - 1)
            for mm, pbase in ((0, "A"), (1, "T")):
                lines.append(f"Cell{n}={k}\t{y + mm}\tN\tprobe_set_{u}\tdemo\t{k}\t13\tT\t{pbase}"
                             f"\tT\t{k}\t{(y + mm) * 10 + k}\t-1\t-1\t99\t-")
                n += 1
        lines.append("")
    return "\n".join(lines) + "\n"


def _text(s):
    b = s.encode()
    return struct.pack("<i", len(b)) + b


def chp_bytes():
    """A version-13 result file of the layout above: per unit, its results and pairs."""
    out = bytearray(b"Varolith Sequence File")
    out += struct.pack("<i", 13)
    for s in ("DemoSignal", "1.0", "Target=500", "ScaleFactor=1.5"):
        out += _text(s)
    out += struct.pack("<5i", 10, 10, 2, 2, 0)      # rows, cols, units, max unit, QC units
    out += struct.pack("<2i", 1, 2)                 # unit numbers
    out += struct.pack("<2i", 3, 3)                 # atoms per unit
    out += struct.pack("<2i", 3, 3)                 # unit types
    out += struct.pack("<2i", 2, 2)                 # cells per atom
    out += b"Demo_Array".ljust(256, b"\0") + b"demo.CEL".ljust(256, b"\0")
    out += _text("demo-analysis")
    for u in (1, 2):
        # atoms, pairs used, stat1, value1 (signal), value3 (p-value), call
        out += struct.pack("<3i2fi", 3, 3, u, 100.0 * u, 0.01 * u, u - 1)
        for k in range(3):
            y = 2 * (u - 1)
            out += struct.pack("<fi4H", 0.5 * k, 1, k, y, k, y + 1)
        out += struct.pack("<i", 0)                 # no comparison
    out += struct.pack("<i", 0)                     # empty composite
    return bytes(out)


@pytest.fixture
def chip_files(tmp_path):
    cdf = tmp_path / "demo.CDF"
    cdf.write_text(cdf_text())
    chp = tmp_path / "demo.CHP"
    chp.write_bytes(chp_bytes())
    return cdf, chp


@pytest.fixture(scope="session")
def tool():
    path = os.environ.get("TESK_TOOL")
    if not path:
        pytest.skip("TESK_TOOL names no tesk program")
    return path


@pytest.fixture(scope="session")
def registered(tool):
    """The object library, registered in the tests' own registry."""
    if not os.environ.get("TESK_REGISTRY_DIR"):
        pytest.skip("no scratch registry (TESK_REGISTRY_DIR)")
    subprocess.run([tool, "regsvr", os.environ["TESK_TARVEX_LIBRARY"]], check=True,
                   stdout=subprocess.DEVNULL)
    return True


@pytest.fixture(scope="session")
def sample(tool, tmp_path_factory):
    """The kit's sample data set (a 1164 x 1164 array)."""
    d = tmp_path_factory.mktemp("sample")
    subprocess.run([tool, "sample", str(d)], check=True, stdout=subprocess.DEVNULL)
    return d
