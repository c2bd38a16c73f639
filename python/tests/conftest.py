"""Shared fixtures: a catalog of the seed data built in a temporary folder
for each test, so that no test changes the catalog beside the library."""
import os

import pytest

import tqrvn


@pytest.fixture
def catalog_path(tmp_path):
    target = tmp_path / "RVNDatasource.mdb"
    tqrvn.BuildCatalog(target).Close()
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
