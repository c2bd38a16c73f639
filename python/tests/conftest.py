"""Shared fixtures: a temporary copy of the default catalog, so that no test
changes the catalog beside the library."""
import os
import shutil

import pytest

import tqrvn


@pytest.fixture
def catalog_path(tmp_path):
    source = os.environ.get("TQRVN_TEST_CATALOG") or tqrvn.Catalog().path
    target = tmp_path / "RVNDatasource.mdb"
    shutil.copyfile(source, target)
    return target


@pytest.fixture
def catalog(catalog_path):
    with tqrvn.Catalog(catalog_path) as c:
        yield c


@pytest.fixture
def threads():
    """Restores the module's thread count after a test that changes it."""
    before = tqrvn.ThreadCount()
    yield tqrvn.SetThreadCount
    tqrvn.SetThreadCount(0 if before == os.cpu_count() else before)
