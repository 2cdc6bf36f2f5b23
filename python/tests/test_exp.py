"""Experiment information files as dicts."""

import pytest

import tesk
from conftest import EXP_TEXT


def test_fields(tmp_path):
    path = tmp_path / "run.EXP"
    path.write_text(EXP_TEXT)
    exp = tesk.read_exp(path)
    assert exp["name"] == "run" and exp["directory"] == str(tmp_path)
    assert exp["chip_type"] == "Demo_Array"
    assert exp["sample_info"]["Probe Array Lot"] == "L-17"
    assert exp["sample_info"]["Sample Description"] == "liver, replicate 2"
    assert exp["protocol"] == "Wash2"
    assert exp["protocol_steps"] == ["Post Hyb Wash #1: 10 cycles", "Final Wash: 15 cycles"]
    assert exp["hybridize_date"] == "Mar 07 2026 02:05PM"
    assert exp["scanner_id"] == "TS-7" and exp["scan_date"] == ""


def test_bad_files_raise(tmp_path):
    with pytest.raises(FileNotFoundError):
        tesk.read_exp(tmp_path / "none.EXP")
    bad = tmp_path / "bad.EXP"
    bad.write_bytes(b"\x00\x01binary\xff" * 50)
    with pytest.raises(tesk.Error) as e:
        tesk.read_exp(bad)
    assert e.value.filename == str(bad) and e.value.strerror
