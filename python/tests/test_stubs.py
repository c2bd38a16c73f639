"""The type stubs name everything the module offers and are up to date."""
import ast
import os
import pathlib
import subprocess
import sys

import tqrvn

PACKAGE = pathlib.Path(__file__).resolve().parents[1] / "tqrvn"
SCRIPT = PACKAGE.parent / "make_stubs.py"


def stub_names(path):
    names = set()
    for node in ast.parse(path.read_text()).body:
        if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
            names.add(node.name)
        elif isinstance(node, ast.ImportFrom) and node.level == 1:
            names.update(a.asname or a.name for a in node.names)
        elif isinstance(node, ast.AnnAssign):
            names.add(node.target.id)
    return names


def test_every_public_name_has_a_stub_and_every_stub_a_name():
    public = {n for n in dir(tqrvn) if not n.startswith("_") and n != "batch"}
    stubs = {n for n in stub_names(PACKAGE / "__init__.pyi") if not n.startswith("_")}
    assert public == stubs


def test_the_stubs_are_those_the_module_writes(tmp_path):
    env = dict(os.environ)
    subprocess.run([sys.executable, str(SCRIPT), str(tmp_path)], check=True, env=env)
    for name in ("__init__.pyi", "plot.pyi"):
        assert (tmp_path / name).read_text() == (PACKAGE / name).read_text(), (
            name + " is out of date: run python/make_stubs.py")
