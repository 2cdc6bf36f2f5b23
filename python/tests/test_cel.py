"""Cell intensity files: reading into arrays, writing from them in every encoding, bad files."""

import numpy as np
import pytest

import tesk


def subgrids():
    g = np.zeros(2, dtype=tesk.SUBGRID_DTYPE)
    g["ROW"], g["COL"] = [0, 0], [0, 1]
    g["ULPX"], g["LRPY"] = [1.5, 30.0], [20.0, 40.5]
    g["RIGHTC"], g["BOTTOMC"] = [3, 7], [5, 5]
    return g


@pytest.mark.parametrize("version", [4, 3, 2])
def test_round_trip_in_each_encoding(tmp_path, grid, version):
    path = tmp_path / f"v{version}.CEL"
    tesk.write_cel(path, **grid, version=version, algorithm="Percentile",
                   parameters={"Percentile": 75}, cell_margin=3, subgrids=subgrids())
    cel = tesk.read_cel(path)
    assert cel.header["version"] == version
    assert (cel.rows, cel.cols) == (5, 7)
    for name in ("mean", "stdv", "npixels", "masked", "outlier"):
        assert getattr(cel, name).shape == (5, 7)
    assert cel.mean.dtype == np.float32 and cel.npixels.dtype == np.uint16
    assert cel.masked.dtype == bool
    np.testing.assert_array_equal(cel.npixels, grid["npixels"])
    if version == 4:
        np.testing.assert_array_equal(cel.mean, grid["mean"])
        np.testing.assert_array_equal(cel.stdv, grid["stdv"])
    else:
        # Text encodings keep one decimal.
        np.testing.assert_allclose(cel.mean, grid["mean"], atol=0.051)
        np.testing.assert_allclose(cel.stdv, grid["stdv"], atol=0.051)
    if version == 2:
        assert not cel.masked.any() and not cel.outlier.any() and len(cel.subgrids) == 0
    else:
        np.testing.assert_array_equal(cel.masked, grid["masked"])
        np.testing.assert_array_equal(cel.outlier, grid["outlier"])
        assert cel.header["n_masked"] == grid["masked"].sum()
        assert cel.header["n_outliers"] == grid["outlier"].sum()
        assert cel.header["cell_margin"] == 3
        assert cel.header["algorithm"] == "Percentile"
        assert cel.header["parameters"].startswith("Percentile=75 CellMargin=3")
        np.testing.assert_array_equal(cel.subgrids, subgrids())


def test_cells_are_indexed_by_row_then_column(tmp_path):
    mean = np.arange(12, dtype=np.float32).reshape(3, 4)
    tesk.write_cel(tmp_path / "a.CEL", mean)
    cel = tesk.read_cel(tmp_path / "a.CEL")
    assert cel.mean[2, 1] == 9.0   # y = 2, x = 1
    assert not cel.masked.any()


def test_a_read_file_is_written_again_whole(tmp_path, grid):
    tesk.write_cel(tmp_path / "a.CEL", **grid, header_lines=["GridCornerUL=1 2 GridCornerUR=3 4 "
                                                            "GridCornerLR=5 6 GridCornerLL=7 8"])
    first = tesk.read_cel(tmp_path / "a.CEL")
    assert first.header["corners"] == (1, 2, 3, 4, 5, 6, 7, 8)
    tesk.write_cel(tmp_path / "b.CEL", first, version=3)
    second = tesk.read_cel(tmp_path / "b.CEL")
    assert second.header["text"] == first.header["text"]
    np.testing.assert_array_equal(second.masked, first.masked)
    np.testing.assert_allclose(second.mean, first.mean, atol=0.051)


def test_header_only_leaves_the_cells_out(tmp_path, grid):
    tesk.write_cel(tmp_path / "a.CEL", **grid)
    cel = tesk.read_cel(tmp_path / "a.CEL", header_only=True)
    assert cel.rows == 5 and cel.mean is None
    with pytest.raises(ValueError):
        tesk.write_cel(tmp_path / "b.CEL", cel)


def test_bad_files_raise_with_the_path(tmp_path, grid):
    with pytest.raises(FileNotFoundError):
        tesk.read_cel(tmp_path / "missing.CEL")
    junk = tmp_path / "junk.CEL"
    junk.write_bytes(b"not a cell file\n" * 10)
    with pytest.raises(tesk.Error) as e:
        tesk.read_cel(junk)
    assert e.value.filename == str(junk) and str(junk) in str(e.value)
    assert isinstance(e.value, OSError)
    # Every truncation of a good binary file fails cleanly or reads; none crashes.
    tesk.write_cel(tmp_path / "good.CEL", **grid, subgrids=subgrids())
    data = (tmp_path / "good.CEL").read_bytes()
    cut = tmp_path / "cut.CEL"
    for n in range(4, len(data), 7):
        cut.write_bytes(data[:n])
        try:
            tesk.read_cel(cut)
        except tesk.Error:
            pass


def test_writing_refuses_what_it_cannot_write(tmp_path, grid):
    with pytest.raises(ValueError):
        tesk.write_cel(tmp_path / "a.CEL", **grid, version=5)
    with pytest.raises(ValueError):
        tesk.write_cel(tmp_path / "a.CEL", grid["mean"], stdv=np.zeros((2, 2)))
    with pytest.raises(ValueError):
        tesk.write_cel(tmp_path / "a.CEL", np.zeros(4))
    with pytest.raises(ValueError):
        tesk.write_cel(tmp_path / "a.CEL", grid["mean"], subgrids=np.zeros(2))
    with pytest.raises(tesk.Error) as e:
        tesk.write_cel(tmp_path / "no" / "such" / "a.CEL", **grid)
    assert e.value.filename.endswith("a.CEL")
    assert not (tmp_path / "a.CEL").exists()


def test_arrays_of_a_read_file_are_views_of_its_table(tmp_path, grid):
    tesk.write_cel(tmp_path / "a.CEL", **grid)
    cel = tesk.read_cel(tmp_path / "a.CEL")
    table = cel.mean.base
    assert isinstance(table, tesk._tesk.CellTable)
    assert all(getattr(cel, f).base is table for f in ("stdv", "npixels", "masked", "outlier"))
    mean, masked = cel.mean, cel.masked
    del cel, table
    np.testing.assert_array_equal(mean, grid["mean"])
    np.testing.assert_array_equal(masked, grid["masked"])


def test_text_cells_go_where_they_say(tmp_path):
    mean = np.arange(6, dtype=np.float32).reshape(2, 3) * 10
    tesk.write_cel(tmp_path / "a.CEL", mean, version=3)
    lines = (tmp_path / "a.CEL").read_bytes().split(b"\r\n")
    first = next(i for i, line in enumerate(lines) if line.startswith(b"CellHeader=X"))
    # Cells (0, 0) and (1, 0) swap places in the file.
    lines[first + 1], lines[first + 2] = lines[first + 2], lines[first + 1]
    (tmp_path / "b.CEL").write_bytes(b"\r\n".join(lines))
    np.testing.assert_array_equal(tesk.read_cel(tmp_path / "b.CEL").mean, mean)
    lines[first + 1] = lines[first + 1].replace(b"  1\t", b" 99\t", 1)
    (tmp_path / "c.CEL").write_bytes(b"\r\n".join(lines))
    with pytest.raises(tesk.Error):
        tesk.read_cel(tmp_path / "c.CEL")
