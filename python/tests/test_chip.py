"""Layout and result files as unit, cell and QC tables."""

import numpy as np
import pytest

import tesk


def test_layout_tables(chip_files):
    cdf = tesk.read_cdf(chip_files[0])
    assert cdf.header["name"] == "Demo_Array" and cdf.header["version"] == 3
    assert list(cdf.units["unit"]) == [1, 2]
    assert list(cdf.units["name"]) == ["probe_set_1", "probe_set_2"]
    assert list(cdf.units["type"]) == [tesk.EXPRESSION] * 2
    assert list(cdf.units["ncells"]) == [6, 6]
    cells = cdf.unit_cells(1)
    assert set(cells["unit"]) == {2}
    pm = cells[cells["pm"]]
    assert list(pm["x"]) == [0, 1, 2] and set(pm["y"]) == {2}
    assert set(pm["probe_base"]) == {b"a"} and set(pm["target_base"]) == {b"t"}
    assert list(cdf.qc["x"]) == [9, 8] and set(cdf.qc["qc_type"]) == {1}


def test_perfect_match_intensities_in_one_expression(tmp_path, chip_files):
    mean = np.arange(100, dtype=np.float32).reshape(10, 10)
    tesk.write_cel(tmp_path / "demo.CEL", mean)
    cel = tesk.read_cel(tmp_path / "demo.CEL")
    cdf = tesk.read_cdf(chip_files[0])
    pm = cdf.cells[(cdf.cells["type"] == tesk.EXPRESSION) & cdf.cells["pm"]]
    assert list(cel.mean[pm["y"], pm["x"]]) == [0, 1, 2, 20, 21, 22]


def test_result_tables(chip_files):
    chp = tesk.read_chp(chip_files[1])
    h = chp.header
    assert (h["version"], h["algorithm"], h["chip_type"]) == (13, "DemoSignal", "Demo_Array")
    assert h["parameters"] == "Target=500" and h["cell_file"] == "demo.CEL"
    np.testing.assert_allclose(chp.units["value1"], [100.0, 200.0])
    np.testing.assert_allclose(chp.units["value3"], [0.01, 0.02])
    assert list(chp.units["call"]) == [0, 1] and list(chp.units["pairs_used"]) == [3, 3]
    mm = chp.cells[~chp.cells["pm"]]
    assert list(mm["y"]) == [1, 1, 1, 3, 3, 3]


def test_bad_chip_files_raise(tmp_path, chip_files):
    cdf, chp = chip_files
    data = chp.read_bytes()
    cut = tmp_path / "cut.CHP"
    cut.write_bytes(data[:len(data) // 2])
    with pytest.raises(tesk.Error) as e:
        tesk.read_chp(cut)
    assert "Incomplete file" in str(e.value) and e.value.filename == str(cut)
    with pytest.raises(tesk.Error):
        tesk.read_chp(cdf)
    broken = tmp_path / "broken.CDF"
    broken.write_text(cdf.read_text().replace("Cell3=1\t0", "Cell3=11\t0"))
    with pytest.raises(tesk.Error):
        tesk.read_cdf(broken)
    with pytest.raises(FileNotFoundError):
        tesk.read_cdf(tmp_path / "none.CDF")
    # Every truncation of the result file fails cleanly or reads; none crashes.
    for n in range(0, len(data), 5):
        cut.write_bytes(data[:n])
        try:
            tesk.read_chp(cut)
        except tesk.Error:
            pass
