"""Sizing many segments at once from columns: a dict of lists or arrays, or
a pandas DataFrame (pandas is never required)."""
import numpy as np

from . import _tqrvn


def _is_frame(columns):
    return hasattr(columns, "columns") and hasattr(columns, "index") and hasattr(columns, "to_dict")


def _as_array(values):
    """A result column as a NumPy array where it is numeric: float64 (NaN for
    the rows that failed), int64 when every row has a whole number, bool when
    every row was sized; text stays a list."""
    present = [v for v in values if v is not None]
    if not present:
        return np.full(len(values), np.nan)
    if all(isinstance(v, bool) for v in present):
        return np.array(values, dtype=bool) if len(present) == len(values) else values
    if all(isinstance(v, int) for v in present) and len(present) == len(values):
        return np.array(values, dtype=np.int64)
    if all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in present):
        return np.array([np.nan if v is None else v for v in values], dtype=np.float64)
    return values


def SizeColumns(columns, catalog=None):
    """Sizes one segment per row.  columns maps SizeSegment's keywords
    (volumeFlow, heatLoad, deltaT, length, temperature, material, fittings,
    ...) to lists or arrays of equal length, or to one value for every row;
    numbers are SI, text may carry a unit ('15 kW').  A pandas DataFrame
    works the same way and gives a DataFrame with its index.

    Returns the result columns (SegmentResult's fields: dn, velocity, rm,
    totalLoss, fits, ...) plus 'error' and 'errorField', which hold the
    library's message and the field for a row that could not be sized ('' for
    the others): every row is answered, in input order.  Numeric columns are
    NumPy arrays (NaN where a row failed).
    """
    frame = _is_frame(columns)
    if frame:
        data = {str(k): columns[k].tolist() for k in columns.columns}
    elif isinstance(columns, dict):
        data = {str(k): (v.tolist() if isinstance(v, np.ndarray) else v) for k, v in columns.items()}
    else:
        raise TypeError("SizeColumns() takes a dict of columns or a pandas DataFrame, not "
                        + type(columns).__name__)
    out = {k: _as_array(v) for k, v in _tqrvn._SizeColumns(catalog, data).items()}
    if frame:
        import pandas
        return pandas.DataFrame(out, index=columns.index)
    return out
