// The array path and the registration of the module's numeric functions.
#include "NumericFunction.h"

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tqrvn_py {

namespace {

std::atomic<int> g_threadCount{0};

bool IsKind(char kind, const char* accepted) {
    return std::strchr(accepted, kind) != nullptr;
}

// The argument as an array whose elements the parameter takes; nullptr with
// a TypeError naming the parameter when it holds something else.
PyObject* ArgumentArray(const FunctionInfo& info, std::size_t index, PyObject* value) {
    PyObject* array = PyArray_FROM_O(value);
    if (array == nullptr) {
        return nullptr;
    }
    const char kind = PyArray_DESCR(reinterpret_cast<PyArrayObject*>(array))->kind;
    const ParamKind want = info.kinds[index];
    const char* accepted = want == ParamKind::Real ? "biuf" : "biu";
    if (kind != 0 && IsKind(kind, accepted)) {
        if (want == ParamKind::Flag && kind != 'b') {
            PyObject* flags = PyArray_CastToType(reinterpret_cast<PyArrayObject*>(array),
                                                 PyArray_DescrFromType(NPY_BOOL), 0);
            Py_DECREF(array);
            return flags;
        }
        return array;
    }
    const char* what = want == ParamKind::Real      ? "a number or an array of numbers"
                       : want == ParamKind::Integer ? "an integer or an array of integers"
                                                    : "a bool or an array of bools";
    if (PyArray_Check(value)) {
        PyErr_Format(PyExc_TypeError, "%s(): %s must be %s, not an array of dtype %R", info.name,
                     info.params[index], what,
                     PyArray_DESCR(reinterpret_cast<PyArrayObject*>(array)));
    } else {
        PyErr_Format(PyExc_TypeError, "%s(): %s must be %s, not %s", info.name, info.params[index],
                     what, Py_TYPE(value)->tp_name);
    }
    Py_DECREF(array);
    return nullptr;
}

// Places positional and keyword arguments into the parameters' slots; `out`
// is kept apart for the ufunc.  False with a TypeError on a missing,
// doubled or unknown argument.
bool SortArguments(const FunctionInfo& info, PyObject* const* args, Py_ssize_t nargs,
                   PyObject* kwnames, std::vector<PyObject*>& slots, PyObject*& out) {
    const auto n = static_cast<Py_ssize_t>(info.params.size());
    if (nargs > n) {
        PyErr_Format(PyExc_TypeError, "%s() takes %zd arguments (%zd given)", info.name, n, nargs);
        return false;
    }
    slots.assign(info.params.size(), nullptr);
    for (Py_ssize_t i = 0; i < nargs; ++i) {
        slots[static_cast<std::size_t>(i)] = args[i];
    }
    const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        const char* key = PyUnicode_AsUTF8(PyTuple_GET_ITEM(kwnames, k));
        if (key == nullptr) {
            return false;
        }
        PyObject* value = args[nargs + k];
        if (std::strcmp(key, "out") == 0) {
            out = value;
            continue;
        }
        std::size_t j = 0;
        while (j < info.params.size() && std::strcmp(info.params[j], key) != 0) {
            ++j;
        }
        if (j == info.params.size()) {
            PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%s'", info.name,
                         key);
            return false;
        }
        if (slots[j] != nullptr) {
            PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", info.name,
                         key);
            return false;
        }
        slots[j] = value;
    }
    for (std::size_t j = 0; j < slots.size(); ++j) {
        if (slots[j] == nullptr) {
            PyErr_Format(PyExc_TypeError, "%s() missing argument '%s'", info.name, info.params[j]);
            return false;
        }
    }
    return true;
}

std::vector<const char*> SplitParams(const char* params) {
    std::vector<const char*> names;
    std::string text = params;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        std::string name = text.substr(start, comma - start);
        name.erase(0, name.find_first_not_of(' '));
        names.push_back(strdup(name.c_str())); // kept for the life of the process
        start = comma + 1;
    }
    return names;
}

} // namespace

const FunctionInfo* InfoOf(PyObject* self) {
    PyObject* capsule = PyObject_GetAttrString(self, kInfoAttribute);
    if (capsule == nullptr) {
        return nullptr;
    }
    const auto* info = static_cast<const FunctionInfo*>(PyCapsule_GetPointer(capsule, nullptr));
    Py_DECREF(capsule);
    return info;
}

void SetThreadCount(int count) {
    g_threadCount.store(count < 0 ? 0 : count);
}

int ThreadCount() {
    static const int processors =
        std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const int count = g_threadCount.load(std::memory_order_relaxed);
    return count > 0 ? count : processors;
}

bool ReadScalar(PyObject* o, double& v) {
    if (PyFloat_Check(o)) {
        v = PyFloat_AS_DOUBLE(o);
        return true;
    }
    if (PyLong_Check(o)) {
        v = PyLong_AsDouble(o);
        return !(v == -1.0 && PyErr_Occurred());
    }
    return false;
}

bool ReadScalar(PyObject* o, int& v) {
    if (!PyLong_Check(o)) {
        return false;
    }
    int overflow = 0;
    const long long x = PyLong_AsLongLongAndOverflow(o, &overflow);
    if (x == -1 && PyErr_Occurred()) {
        return false;
    }
    v = overflow > 0   ? INT_MAX
        : overflow < 0 ? INT_MIN
                       : static_cast<int>(std::clamp<long long>(x, INT_MIN, INT_MAX));
    return true;
}

bool ReadScalar(PyObject* o, bool& v) {
    if (PyBool_Check(o)) {
        v = o == Py_True;
        return true;
    }
    if (PyLong_Check(o)) {
        v = PyObject_IsTrue(o) == 1;
        return true;
    }
    return false;
}

PyObject* CallUfunc(const FunctionInfo& info, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames) {
    std::vector<PyObject*> slots;
    PyObject* out = nullptr;
    if (!SortArguments(info, args, nargs, kwnames, slots, out)) {
        return nullptr;
    }
    PyObject* arrays = PyTuple_New(static_cast<Py_ssize_t>(slots.size()));
    if (arrays == nullptr) {
        return nullptr;
    }
    for (std::size_t j = 0; j < slots.size(); ++j) {
        PyObject* a = ArgumentArray(info, j, slots[j]);
        if (a == nullptr) {
            Py_DECREF(arrays);
            return nullptr;
        }
        PyTuple_SET_ITEM(arrays, static_cast<Py_ssize_t>(j), a);
    }
    PyObject* kwargs = nullptr;
    if (out != nullptr) {
        kwargs = Py_BuildValue("{s:O}", "out", out);
        if (kwargs == nullptr) {
            Py_DECREF(arrays);
            return nullptr;
        }
    }
    PyObject* result = PyObject_Call(info.ufunc, arrays, kwargs);
    Py_DECREF(arrays);
    Py_XDECREF(kwargs);
    return result;
}

void AddFunction(PyObject* module, const char* name, const char* params, const char* doc,
                 std::vector<LoopSpec> loops, std::vector<ParamKind> kinds, FastCall call,
                 const RegisterOptions& options) {
    // The ufunc keeps pointers to its loops, data and types for the life of
    // the process, as does the function to its definition: they are
    // allocated once here and never freed.
    const auto ntypes = loops.size();
    auto* functions = new PyUFuncGenericFunction[ntypes];
    auto* data = new void*[ntypes];
    auto* types = new char[ntypes * loops[0].types.size()];
    const npy_intp threshold = options.iterative ? kIterativeThreshold : kClosedFormThreshold;
    for (std::size_t i = 0; i < ntypes; ++i) {
        functions[i] = loops[i].function;
        data[i] = reinterpret_cast<void*>(static_cast<std::intptr_t>(threshold));
        std::copy(loops[i].types.begin(), loops[i].types.end(), types + i * loops[i].types.size());
    }
    const int nin = static_cast<int>(loops[0].types.size()) - 1;
    auto* info = new FunctionInfo{name, SplitParams(params), std::move(kinds), nullptr};
    info->ufunc = PyUFunc_FromFuncAndData(functions, data, types, static_cast<int>(ntypes), nin, 1,
                                          PyUFunc_None, name, doc, 0);
    if (info->ufunc == nullptr) {
        throw std::runtime_error(std::string("cannot create the ufunc ") + name);
    }
    const std::string signature = std::string(name) + "(" + params + ")\n--\n\n" + doc;
    auto* def =
        new PyMethodDef{name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(call)),
                        METH_FASTCALL | METH_KEYWORDS, strdup(signature.c_str())};
    // The function's self holds its FunctionInfo.  It is a module object so
    // that help() shows a plain function of tqrvn, not a bound method.
    PyObject* capsule = PyCapsule_New(info, nullptr, nullptr);
    PyObject* self = PyModule_New("tqrvn");
    PyObject* moduleName = PyUnicode_FromString("tqrvn");
    PyObject* function = nullptr;
    if (capsule && self && moduleName &&
        PyObject_SetAttrString(self, kInfoAttribute, capsule) == 0) {
        function = PyCFunction_NewEx(def, self, moduleName);
    }
    Py_XDECREF(capsule);
    Py_XDECREF(self);
    Py_XDECREF(moduleName);
    if (function == nullptr || PyModule_AddObject(module, name, function) != 0) {
        Py_XDECREF(function);
        throw std::runtime_error(std::string("cannot add the function ") + name);
    }
}

} // namespace tqrvn_py
