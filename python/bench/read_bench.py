"""Timings of the Python module against what it wraps, on the 1164 x 1164 sample:

  read_cel             against the library's own Read of the same binary file;
  open_dat().pixels.sum() against numpy's sum over np.memmap of the same bytes.

Each ratio is the best of several alternating runs in this process (warm), and the median over
fresh interpreters (first call in a process). Exits 1 when a warm ratio is over its limit
(read_cel 1.3, pixel sum 1.2)."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

import tesk
from tesk import _tesk

LIMITS = {"read_cel": 1.3, "pixels_sum": 1.2}

FRESH = r"""
import sys, time
import numpy as np
import tesk
from tesk import _tesk
cel, dat, which = sys.argv[1], sys.argv[2], sys.argv[3]
t = time.perf_counter()
if which == "parvel":
    _tesk._parvel_read(cel)
elif which == "read_cel":
    tesk.read_cel(cel)
elif which == "memmap":
    d = tesk.open_dat(dat)
    rows, cols = d.rows, d.cols
    del d
    t = time.perf_counter()
    np.memmap(dat, dtype="<u2", mode="r", offset=512, shape=(rows, cols)).sum()
else:
    tesk.open_dat(dat).pixels.sum()
print(time.perf_counter() - t)
"""


def best(functions, rounds):
    times = {name: [] for name in functions}
    for _ in range(rounds):
        for name, f in functions.items():
            t = time.perf_counter()
            f()
            times[name].append(time.perf_counter() - t)
    return {name: min(v) for name, v in times.items()}


def fresh(cel, dat, which, runs):
    out = []
    for _ in range(runs):
        r = subprocess.run([sys.executable, "-c", FRESH, cel, dat, which], check=True,
                           capture_output=True, text=True)
        out.append(float(r.stdout))
    return statistics.median(out)


def main():
    with tempfile.TemporaryDirectory() as d:
        subprocess.run([os.environ.get("TESK_TOOL", "tesk"), "sample", d], check=True,
                       stdout=subprocess.DEVNULL)
        cel = os.path.join(d, "sample.CEL")
        dat = os.path.join(d, "sample.DAT")
        image = tesk.open_dat(dat)
        mm = np.memmap(dat, dtype="<u2", mode="r", offset=512, shape=(image.rows, image.cols))
        assert image.pixels.sum() == mm.sum()
        warm = best({"parvel": lambda: _tesk._parvel_read(cel),
                     "read_cel": lambda: tesk.read_cel(cel),
                     "memmap": lambda: mm.sum(),
                     "pixels": lambda: image.pixels.sum()}, rounds=30)
        cold = {w: fresh(cel, dat, w, 5) for w in ("parvel", "read_cel", "memmap", "pixels")}
    ratios = {
        "read_cel": (warm["read_cel"] / warm["parvel"], cold["read_cel"] / cold["parvel"]),
        "pixels_sum": (warm["pixels"] / warm["memmap"], cold["pixels"] / cold["memmap"]),
    }
    print(f"read_cel   {warm['read_cel'] * 1e3:7.2f} ms, library Read {warm['parvel'] * 1e3:7.2f}"
          f" ms: ratio {ratios['read_cel'][0]:.2f} warm, {ratios['read_cel'][1]:.2f} fresh"
          f" (limit {LIMITS['read_cel']})")
    print(f"pixel sum  {warm['pixels'] * 1e3:7.2f} ms, np.memmap sum {warm['memmap'] * 1e3:7.2f}"
          f" ms: ratio {ratios['pixels_sum'][0]:.2f} warm, {ratios['pixels_sum'][1]:.2f} fresh"
          f" (limit {LIMITS['pixels_sum']})")
    over = [k for k, (w, _) in ratios.items() if w > LIMITS[k]]
    if over:
        print("over the limit:", ", ".join(over))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
