"""Scanner image files: the header, and pixels as a read-only view of the mapped file."""

import gc

import numpy as np
import pytest

import tesk
from conftest import dat_bytes


@pytest.fixture
def image(tmp_path):
    pixels = (np.arange(6 * 9, dtype=np.uint16) * 1000).reshape(6, 9)
    path = tmp_path / "scan.DAT"
    path.write_bytes(dat_bytes(pixels))
    return path, pixels


def test_header_and_pixels(image):
    path, pixels = image
    dat = tesk.open_dat(path)
    assert (dat.rows, dat.cols) == (6, 9)
    assert dat.chip_type == "Demo_Array" and dat.experiment_name == "scan one"
    assert dat.max_data == pixels.max() and dat.header["min_data"] == 0
    assert dat.pixels.shape == (6, 9) and dat.pixels.dtype == np.dtype("<u2")
    np.testing.assert_array_equal(dat.pixels, pixels)
    assert dat.pixels.sum() == pixels.sum()


def test_pixels_are_a_view_of_the_mapping(image):
    path, pixels = image
    dat = tesk.open_dat(path)
    view = dat.pixels
    assert isinstance(view.base, tesk._tesk.ImageMapping)
    assert view.base.path == str(path)
    # The mapping's own buffer is the same memory: nothing was copied.
    assert np.shares_memory(view, np.frombuffer(view.base, dtype="<u2"))
    assert not view.flags.writeable and not view.flags.owndata
    with pytest.raises(ValueError):
        view[0, 0] = 1
    with pytest.raises(ValueError):
        view.setflags(write=True)
    with pytest.raises(ValueError):
        np.frombuffer(view.base, dtype="<u2")[0] = 1
    # A view keeps the mapping alive after the image is gone.
    row = view[5]
    del dat, view
    gc.collect()
    np.testing.assert_array_equal(row, pixels[5])


def test_bad_images_raise(tmp_path, image):
    path, _ = image
    data = path.read_bytes()
    short = tmp_path / "short.DAT"
    short.write_bytes(data[:-2])     # one pixel missing: never mapped past the end
    with pytest.raises(tesk.Error) as e:
        tesk.open_dat(short)
    assert e.value.filename == str(short)
    wrong = tmp_path / "wrong.DAT"
    wrong.write_bytes(b"\0" + data[1:])
    with pytest.raises(tesk.Error):
        tesk.open_dat(wrong)
    with pytest.raises(FileNotFoundError):
        tesk.open_dat(tmp_path / "none.DAT")
    with pytest.raises(IsADirectoryError):
        tesk.open_dat(tmp_path)
