// The sixteen unit enumerations of RVN::UnitSwitch as Python IntEnums and
// UnitSwitch over numbers and arrays.
#include "NumericFunction.h"
#include "calc/RVNCalc.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace tqrvn_py {

namespace {

struct Member {
    const char* name;
    int value;
};
struct Enumeration {
    const char* name;
    const char* quantity;
    std::vector<Member> members;
};

#define TQ_M(x)                                                                                    \
    { #x, RVN::x }

const std::vector<Enumeration>& Enumerations() {
    static const std::vector<Enumeration> all = {
        {"Unit_LENGTH",
         "length, base m",
         {TQ_M(LENGTH_M), TQ_M(LENGTH_KM), TQ_M(LENGTH_CM), TQ_M(LENGTH_MM), TQ_M(LENGTH_IN),
          TQ_M(LENGTH_FT), TQ_M(LENGTH_YD), TQ_M(LENGTH_MI), TQ_M(LENGTH_NMI)}},
        {"Unit_AREA",
         "area, base m2",
         {TQ_M(AREA_M2), TQ_M(AREA_HA), TQ_M(AREA_IN2), TQ_M(AREA_FT2), TQ_M(AREA_YD2),
          TQ_M(AREA_MI2)}},
        {"Unit_VOLUME",
         "volume, base m3",
         {TQ_M(VOLUME_M3), TQ_M(VOLUME_L), TQ_M(VOLUME_IN3), TQ_M(VOLUME_FT3), TQ_M(VOLUME_UKGAL),
          TQ_M(VOLUME_USGAL)}},
        {"Unit_SPEED",
         "speed, base m/s",
         {TQ_M(SPEED_MPS), TQ_M(SPEED_KMPH), TQ_M(SPEED_FTPS), TQ_M(SPEED_FTPMIN), TQ_M(SPEED_MPH),
          TQ_M(SPEED_KNOT)}},
        {"Unit_WEIGHT",
         "mass, base kg",
         {TQ_M(WEIGHT_KG), TQ_M(WEIGHT_LB), TQ_M(WEIGHT_SLUG), TQ_M(WEIGHT_T)}},
        {"Unit_DENSITY",
         "density, base kg/m3",
         {TQ_M(DENSITY_KGPM3), TQ_M(DENSITY_GPCM3), TQ_M(DENSITY_LBPIN3), TQ_M(DENSITY_LBPFT3),
          TQ_M(DENSITY_LBPUKGAL), TQ_M(DENSITY_LBPUSGAL)}},
        {"Unit_WEIGHTV",
         "mass flow, base kg/s",
         {TQ_M(WEIGHTV_KGPS), TQ_M(WEIGHTV_KGPH), TQ_M(WEIGHTV_LBPS), TQ_M(WEIGHTV_LBPH),
          TQ_M(WEIGHTV_LTPH)}},
        {"Unit_VOLUMEV",
         "volume flow, base m3/s",
         {TQ_M(VOLUMEV_M3PS), TQ_M(VOLUMEV_M3PH), TQ_M(VOLUMEV_LPH), TQ_M(VOLUMEV_LPS),
          TQ_M(VOLUMEV_FT3PS), TQ_M(VOLUMEV_FT3PH), TQ_M(VOLUMEV_UKGALPS)}},
        {"Unit_STRENG",
         "force, base N",
         {TQ_M(STRENG_N), TQ_M(STRENG_KGF), TQ_M(STRENG_PDL), TQ_M(STRENG_LBF), TQ_M(STRENG_TF),
          TQ_M(STRENG_OZF)}},
        {"Unit_PRESS",
         "pressure, base Pa",
         {TQ_M(PRESS_PA), TQ_M(PRESS_ATM), TQ_M(PRESS_MMHG), TQ_M(PRESS_MMH2O), TQ_M(PRESS_KGFPCM2),
          TQ_M(PRESS_PSI), TQ_M(PRESS_BAR), TQ_M(PRESS_TORR), TQ_M(PRESS_INH2O)}},
        {"Unit_MOTIVITY",
         "dynamic viscosity, base Pa s",
         {TQ_M(MOTIVITY_PAS), TQ_M(MOTIVITY_CP), TQ_M(MOTIVITY_KGFSPM2), TQ_M(MOTIVITY_LBPFTS),
          TQ_M(MOTIVITY_LBFSPFT2), TQ_M(MOTIVITY_LBFHPFT2)}},
        {"Unit_SPORT",
         "kinematic viscosity, base m2/s",
         {TQ_M(SPORT_M2PS), TQ_M(SPORT_MM2PS), TQ_M(SPORT_IN2PS), TQ_M(SPORT_FT2PS),
          TQ_M(SPORT_IN2PH), TQ_M(SPORT_M2PH)}},
        {"Unit_HEAT",
         "energy, base J",
         {TQ_M(HEAT_J), TQ_M(HEAT_KWH), TQ_M(HEAT_KGFM), TQ_M(HEAT_LATM), TQ_M(HEAT_FTPDL),
          TQ_M(HEAT_CAL), TQ_M(HEAT_FTLBF), TQ_M(HEAT_HPH), TQ_M(HEAT_CAL15), TQ_M(HEAT_BTU)}},
        {"Unit_POWER",
         "power, base W",
         {TQ_M(POWER_W), TQ_M(POWER_KW), TQ_M(POWER_KGFMPS), TQ_M(POWER_PS), TQ_M(POWER_FTLBFPS),
          TQ_M(POWER_HP), TQ_M(POWER_CALPS), TQ_M(POWER_KCALPH), TQ_M(POWER_BTUPH)}},
        {"Unit_HEATTRA",
         "heat-transfer coefficient, base W/(m2 K)",
         {TQ_M(HEATTRA_WPM2K), TQ_M(HEATTRA_CALPCM2SC), TQ_M(HEATTRA_KCALPM2HC),
          TQ_M(HEATTRA_BTUPFT2HF)}},
        {"Unit_HEATCON",
         "thermal conductivity, base W/(m K)",
         {TQ_M(HEATCON_WPMK), TQ_M(HEATCON_CALPCMSC), TQ_M(HEATCON_KCALPMHC),
          TQ_M(HEATCON_BTUPFTHF), TQ_M(HEATCON_BTUINPFT2HF)}},
    };
    return all;
}

#undef TQ_M

// The overloads of UnitSwitch by enumeration, in the order above.
using SwitchFn = double (*)(int from, int to, double value);
template <class E> double SwitchAs(int from, int to, double value) {
    return RVN::UnitSwitch(static_cast<E>(from), static_cast<E>(to), value);
}
constexpr SwitchFn kSwitch[] = {
    SwitchAs<RVN::Unit_LENGTH>,  SwitchAs<RVN::Unit_AREA>,     SwitchAs<RVN::Unit_VOLUME>,
    SwitchAs<RVN::Unit_SPEED>,   SwitchAs<RVN::Unit_WEIGHT>,   SwitchAs<RVN::Unit_DENSITY>,
    SwitchAs<RVN::Unit_WEIGHTV>, SwitchAs<RVN::Unit_VOLUMEV>,  SwitchAs<RVN::Unit_STRENG>,
    SwitchAs<RVN::Unit_PRESS>,   SwitchAs<RVN::Unit_MOTIVITY>, SwitchAs<RVN::Unit_SPORT>,
    SwitchAs<RVN::Unit_HEAT>,    SwitchAs<RVN::Unit_POWER>,    SwitchAs<RVN::Unit_HEATTRA>,
    SwitchAs<RVN::Unit_HEATCON>,
};
constexpr int kKinds = static_cast<int>(sizeof(kSwitch) / sizeof(kSwitch[0]));

// The kind is an argument of the ufunc so that one ufunc serves all sixteen
// overloads; it is the same for every element of a call.
double SwitchAny(int kind, int from, int to, double value) {
    return kind >= 0 && kind < kKinds ? kSwitch[kind](from, to, value)
                                      : std::numeric_limits<double>::quiet_NaN();
}

PyObject* g_enumClasses[kKinds] = {};
FunctionInfo* g_switchInfo = nullptr;

// The enumeration of a unit argument: its class among the sixteen, -1 for
// a plain int, -2 (with a TypeError) for anything else.
int KindOfUnit(PyObject* unit, const char* param) {
    for (int k = 0; k < kKinds; ++k) {
        if (reinterpret_cast<PyObject*>(Py_TYPE(unit)) == g_enumClasses[k]) {
            return k;
        }
    }
    if (PyLong_Check(unit) && !PyBool_Check(unit)) {
        return -1;
    }
    PyErr_Format(
        PyExc_TypeError,
        "UnitSwitch(): %s must be a member of a Unit_ enumeration (tqrvn.Unit_LENGTH, ...), not %s",
        param, Py_TYPE(unit)->tp_name);
    return -2;
}

PyObject* UnitSwitchCall(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    if (nargs != 3 || kwnames != nullptr) {
        PyErr_SetString(PyExc_TypeError,
                        "UnitSwitch() takes three positional arguments: from_, to, value");
        return nullptr;
    }
    const int kFrom = KindOfUnit(args[0], "from_");
    const int kTo = kFrom == -2 ? -2 : KindOfUnit(args[1], "to");
    if (kFrom == -2 || kTo == -2) {
        return nullptr;
    }
    if (kFrom >= 0 && kTo >= 0 && kFrom != kTo) {
        PyErr_Format(PyExc_TypeError,
                     "UnitSwitch(): from_ and to are units of different quantities (%s and %s)",
                     Enumerations()[kFrom].name, Enumerations()[kTo].name);
        return nullptr;
    }
    const int kind = kFrom >= 0 ? kFrom : kTo;
    if (kind < 0) {
        PyErr_SetString(PyExc_TypeError, "UnitSwitch(): give from_ or to as a member of a Unit_ "
                                         "enumeration, so that the quantity is known");
        return nullptr;
    }
    int from = 0;
    int to = 0;
    if (!ReadScalar(args[0], from) || !ReadScalar(args[1], to)) {
        return nullptr;
    }
    double value = 0.0;
    if (ReadScalar(args[2], value)) {
        return ToPython(kSwitch[kind](from, to, value));
    }
    if (PyErr_Occurred()) {
        return nullptr;
    }
    PyObject* k = PyLong_FromLong(kind);
    PyObject* all[4] = {k, args[0], args[1], args[2]};
    PyObject* result = k ? CallUfunc(*g_switchInfo, all, 4, nullptr) : nullptr;
    Py_XDECREF(k);
    return result;
}

PyObject* MakeEnum(PyObject* enumModule, const Enumeration& e) {
    PyObject* members = PyList_New(0);
    for (const Member& m : e.members) {
        PyObject* pair = Py_BuildValue("(si)", m.name, m.value);
        PyList_Append(members, pair);
        Py_DECREF(pair);
    }
    PyObject* cls = PyObject_CallMethod(enumModule, "IntEnum", "sO", e.name, members);
    Py_DECREF(members);
    if (cls != nullptr) {
        const std::string doc = std::string("Units of ") + e.quantity + " for UnitSwitch.";
        PyObject* text = PyUnicode_FromString(doc.c_str());
        PyObject* moduleName = PyUnicode_FromString("tqrvn");
        PyObject_SetAttrString(cls, "__doc__", text);
        PyObject_SetAttrString(cls, "__module__", moduleName);
        Py_XDECREF(text);
        Py_XDECREF(moduleName);
    }
    return cls;
}

} // namespace

void AddUnitFunctions(PyObject* module) {
    PyObject* enumModule = PyImport_ImportModule("enum");
    if (enumModule == nullptr) {
        throw std::runtime_error("cannot import enum");
    }
    for (int k = 0; k < kKinds; ++k) {
        PyObject* cls = MakeEnum(enumModule, Enumerations()[k]);
        if (cls == nullptr) {
            Py_DECREF(enumModule);
            throw std::runtime_error("cannot create the unit enumerations");
        }
        g_enumClasses[k] = cls;
        Py_INCREF(cls); // kept for the type test of UnitSwitch
        PyModule_AddObject(module, Enumerations()[k].name, cls);
    }
    Py_DECREF(enumModule);
    // The ufunc of the array path, kept out of the module's namespace.
    PyObject* hidden = PyModule_New("tqrvn._unitswitch");
    AddFunction(hidden, "UnitSwitch", "kind, from_, to, value", "",
                {MakeLoop<&SwitchAny, std::int32_t, std::int32_t, std::int32_t, double>()},
                {ParamKind::Integer, ParamKind::Integer, ParamKind::Integer, ParamKind::Real},
                &Scalar<&SwitchAny>::Call, {});
    PyObject* inner = PyObject_GetAttrString(hidden, "UnitSwitch");
    g_switchInfo = const_cast<FunctionInfo*>(InfoOf(PyCFunction_GET_SELF(inner)));
    Py_DECREF(inner);
    static PyMethodDef def = {
        "UnitSwitch", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&UnitSwitchCall)),
        METH_FASTCALL | METH_KEYWORDS,
        "UnitSwitch(from_, to, value)\n--\n\n"
        "Converts value from the unit from_ to the unit to of one quantity:\n"
        "factor[to] / factor[from_] * value, where each factor is the number of that\n"
        "unit in the quantity's base unit (the enumeration's first member).  from_\n"
        "and to are members of one of the sixteen enumerations Unit_LENGTH ...\n"
        "Unit_HEATCON (one of them may be a plain int); value a number or an array.\n"
        "A member value without a table entry gives NaN.\n\n"
        ">>> UnitSwitch(Unit_LENGTH.LENGTH_M, Unit_LENGTH.LENGTH_MM, 1.0)\n1000.0"};
    PyObject* moduleName = PyUnicode_FromString("tqrvn");
    PyObject* function = PyCFunction_NewEx(&def, nullptr, moduleName);
    Py_XDECREF(moduleName);
    PyModule_AddObject(module, "UnitSwitch", function);
    Py_DECREF(hidden);
}

} // namespace tqrvn_py
