"""TQRVNBase for Python: the hydraulic formulas of namespace RVN over numbers
and NumPy arrays, the engineering catalog, and pipe and duct sizing.

>>> import tqrvn
>>> tqrvn.GetLmd(1e5, 0.001)
0.022174536250531673

Every formula takes numbers (and returns a float) or arrays of any shape,
broadcast as by a NumPy ufunc (and returns a float64 array), computed in C++
without the GIL and across the processor's cores for large arrays.  Sizing
(SizeSegment, ListSegmentSizes, PickDucts, SizeColumns) and the catalog
(Catalog) raise DesignError and CatalogError, both ValueErrors, carrying the
library's message.  tqrvn.plot draws with matplotlib, imported only then.
"""
from ._tqrvn import *  # noqa: F401,F403  the formulas, enumerations, sizing and catalog
from ._tqrvn import CatalogError, DesignError  # noqa: F401
from .batch import SizeColumns  # noqa: F401
from . import plot  # noqa: F401  (matplotlib is imported by its functions)
