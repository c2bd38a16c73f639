"""The C++ functions of namespace RVN called straight from the library through
ctypes, past the module, to compare the module's results with."""
import ctypes

import tqrvn  # noqa: F401  (loads the library)



def _loaded_library():
    """The path of the library the module loaded, from the process's maps."""
    with open("/proc/self/maps") as maps:
        for line in maps:
            path = line.split()[-1]
            if "/libTQRVNBase.so" in path:
                return path
    raise RuntimeError("the module did not load libTQRVNBase")


LIBRARY = ctypes.CDLL(_loaded_library())

# Parameter and result types of the functions that are not all double:
# "result:params" with d double, i int, b bool.
TYPES = {
    "IsEqual": "b:ddd", "IsZero": "b:d", "InZone": "b:ddd",
    "GetPPR_i": "d:ddb", "GetPPR_Diameter": "d:ddb", "GetPPR_K1": "d:i", "GetPPR_K2": "d:i",
    "GetHeLiuSanTongDragLocalIndex": "d:ddddddddb", "GetFenLiuSanTongDragLocalIndex": "d:dddddbb",
}
_CTYPES = {"d": ctypes.c_double, "i": ctypes.c_int, "b": ctypes.c_bool}


def types_of(name, arity):
    return TYPES.get(name, "d:" + "d" * arity)


def function(name, arity, types=None):
    """The library's RVN::name of the given parameter types, by its mangled
    name (_ZN3RVN<length><name>E<parameter codes>)."""
    result, params = (types or types_of(name, arity)).split(":")
    f = getattr(LIBRARY, "_ZN3RVN%d%sE%s" % (len(name), name, params))
    f.restype = _CTYPES[result]
    f.argtypes = [_CTYPES[p] for p in params]
    return f


def unit_switch(enum_name):
    """RVN::UnitSwitch(E, E, double) of the enumeration E."""
    f = getattr(LIBRARY, "_ZN3RVN10UnitSwitchENS_%d%sES0_d" % (len(enum_name), enum_name))
    f.restype = ctypes.c_double
    f.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_double]
    return f
