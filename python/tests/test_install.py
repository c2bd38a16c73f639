"""The installed module: it finds its library and the catalog installed
beside it from the prefix's Python package folder, with no path set."""
import os
import subprocess
import sys

import pytest

BUILD = os.environ.get("TQRVN_BUILD_DIR")
CMAKE = os.environ.get("TQRVN_CMAKE", "cmake")
SITE = os.environ.get("TQRVN_PYTHON_INSTALL_DIR")


@pytest.mark.skipif(not BUILD or not SITE, reason="run by CTest, which names the build folder")
def test_the_module_installed_in_a_prefix_imports_and_sizes(tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run([CMAKE, "--install", BUILD, "--prefix", str(prefix)], check=True, capture_output=True)
    code = ("import tqrvn; r = tqrvn.SizeSegment(heatLoad='15 kW', deltaT=10, temperature=60, length=25); "
            "print(tqrvn.__file__); print(r.dn)")
    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "LD_LIBRARY_PATH")}
    env["PYTHONPATH"] = str(prefix / SITE)
    out = subprocess.run([sys.executable, "-c", code], check=True, capture_output=True, text=True, env=env,
                         cwd=tmp_path)
    module, dn = out.stdout.split()
    assert module.startswith(str(prefix)) and dn == "32"
