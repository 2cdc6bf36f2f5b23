"""Late-bound automation against the kit's own objects: properties, methods, out values,
arrays, objects in and out, and errors."""

import numpy as np
import pytest

import tesk
from conftest import dat_bytes
from tesk.automation import AutomationError, Dispatch


@pytest.fixture
def cel(registered, tmp_path, grid):
    tesk.write_cel(tmp_path / "a.CEL", **grid, algorithm="Percentile",
                   parameters="Percentile:75")
    obj = Dispatch("VarolithTarvex.TeskCELFile")
    obj.Name = "a.CEL"
    obj.DataPath = str(tmp_path)
    obj.libpath = str(tmp_path)      # names compare without regard to case
    obj.Read()
    return obj


def test_properties_and_methods(cel, tmp_path, grid):
    assert cel.Name == "a.CEL" and cel.FullPathName == str(tmp_path / "a.CEL")
    assert (cel.Rows, cel.Cols) == (5, 7) and cel.Exists() == 1
    assert cel.NumMasked == grid["masked"].sum()
    assert cel.GetIntensity(6, 4) == pytest.approx(float(grid["mean"][4, 6]))
    assert cel.IsMasked(2, 3) == int(grid["masked"][3, 2])
    with pytest.raises(AttributeError):
        cel.Rows = 3                 # a property without put
    with pytest.raises(AttributeError):
        cel.NoSuchMember


def test_out_values_come_back_as_tuples(cel):
    assert cel.GetAlgParam(0) == ("Percentile", "75")
    names, values = cel.GetAlgParams()
    assert names[:2] == ["Percentile", "CellMargin"] and values[:2] == ["75", "2"]
    # A missing [in] argument is refused, not filled by an [out] slot.
    with pytest.raises(AutomationError):
        cel.GetIntensity(1)


def test_objects_travel_both_ways(cel, grid):
    probe = Dispatch("VarolithTarvex.TeskProbe")
    cel.GetProbeByIndex(9, probe)    # index 9 of a 7-column grid: x 2, y 1
    assert (probe.PosX, probe.PosY) == (2, 1)
    assert probe.Intensity == pytest.approx(float(grid["mean"][1, 2]))
    probes = cel.GetProbes()
    assert len(probes) == 35 and all(isinstance(p, Dispatch) for p in probes)
    assert probes[34].PosX == 6 and probes[34].PosY == 4


def test_numeric_arrays_are_numpy(registered, tmp_path):
    pixels = (np.arange(12, dtype=np.uint16) * 300).reshape(3, 4)
    (tmp_path / "b.DAT").write_bytes(dat_bytes(pixels))
    dat = Dispatch("VarolithTarvex.TeskDATFile")
    dat.Name, dat.DataPath, dat.LibPath = "b.DAT", str(tmp_path), str(tmp_path)
    dat.Read()
    line = dat.GetLineIntensities(1)
    assert isinstance(line, np.ndarray)
    np.testing.assert_array_equal(line, pixels[1])


def test_errors_carry_description_and_source(registered, tmp_path):
    obj = Dispatch("VarolithTarvex.TeskCELFile")
    obj.Name, obj.DataPath, obj.LibPath = "none.CEL", str(tmp_path), str(tmp_path)
    with pytest.raises(AutomationError) as e:
        obj.Read()
    assert e.value.description.startswith("Failure in ITeskCELFile-Read: ")
    assert e.value.source.startswith("VarolithTarvex.TeskCELFile")
    assert e.value.hresult == 0x80004005
    with pytest.raises(AutomationError):
        obj.Name = "not a cell file name.txt"
    with pytest.raises(AutomationError) as e:
        Dispatch("VarolithTarvex.NoSuchClass")
    assert e.value.hresult == 0x800401F3


def test_values_through_variants():
    through = tesk._tesk._through_variant
    for value in (None, True, 7, -2**40, 2.5, "naïve text", ["a", 1, [2.0, None]]):
        assert through(value) == value
    assert through(np.int16(3)) == 3 and through(np.array(4)) == 4
    grid = np.arange(12, dtype=np.float32).reshape(3, 4)
    back = through(grid)
    assert back.dtype == np.float32 and back.shape == (3, 4)
    np.testing.assert_array_equal(back, grid)
    np.testing.assert_array_equal(through(grid.T), grid.T)     # not C-ordered
    np.testing.assert_array_equal(through(np.array([True, False])), [True, False])
    with pytest.raises(TypeError):
        through(object())


def test_arguments_from_numpy(cel, grid):
    assert cel.GetIntensity(np.int64(6), np.array(4)) == pytest.approx(float(grid["mean"][4, 6]))
    probes = cel.GetProbes()
    assert probes[0] == probes[0] and probes[0] != probes[1] and len({probes[0], probes[1]}) == 2
