"""The README's Python example, run as a user would on the sample data set."""

import os
import re
import subprocess
import sys

import pytest


def test_readme_example(sample, tmp_path):
    readme = os.environ.get("TESK_README")
    if not readme:
        pytest.skip("TESK_README names no README")
    text = open(readme, encoding="utf-8").read()
    section = text[text.index("## Python"):]
    code = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    script = tmp_path / "example.py"
    script.write_text(code)
    run = subprocess.run([sys.executable, str(script), str(sample)], capture_output=True,
                         text=True, check=True)
    assert re.match(r"1164 x 1164 cells, \d+ perfect-match cells, median intensity \d",
                    run.stdout), run.stdout
