// Plain result objects for Python: a class whose attributes are read-only
// views of a C++ struct's members, with to_dict() and a short repr.
#pragma once

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tqrvn_py {

template <class T> struct Field {
    const char* name; ///< the C++ member's name, the key of to_dict()
    std::function<pybind11::object(const T&)> get;
};

/// The attribute of a member: its name, with a '_' added to a Python
/// keyword ("lambda" -> "lambda_", "from" -> "from_").
inline std::string AttributeName(const char* name) {
    const std::string n = name;
    return n == "lambda" || n == "from" ? n + "_" : n;
}

/// Binds the fields as read-only attributes, to_dict() and a repr showing
/// the fields named in `shown`.
template <class T, class... Options>
void BindFields(pybind11::class_<T, Options...>& cls, std::vector<Field<T>> fields,
                std::vector<const char*> shown) {
    namespace py = pybind11;
    for (const auto& f : fields) {
        cls.def_property_readonly(AttributeName(f.name).c_str(), f.get);
    }
    cls.def(
        "to_dict",
        [fields](const T& v) {
            py::dict d;
            for (const auto& f : fields) {
                d[f.name] = f.get(v);
            }
            return d;
        },
        "The fields as a dict, keyed by their names.");
    const std::string type = py::str(cls.attr("__name__"));
    cls.def("__repr__", [fields, shown, type](const T& v) {
        std::string text = type + "(";
        bool first = true;
        for (const auto& f : fields) {
            for (const char* s : shown) {
                if (std::string(s) == f.name) {
                    text += (first ? "" : ", ") + AttributeName(f.name) + "=" +
                            py::repr(f.get(v)).template cast<std::string>();
                    first = false;
                }
            }
        }
        return text + ")";
    });
}

} // namespace tqrvn_py

/// A field of member m of T.
#define TQ_FIELD(T, m)                                                                             \
    tqrvn_py::Field<T> {                                                                           \
#m, [](const T& v) { return pybind11::cast(v.m); }                                         \
    }
