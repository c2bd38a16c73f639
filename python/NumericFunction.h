// A free function of namespace RVN as a Python function that takes numbers
// or NumPy arrays.
//
// Numbers (float, int, bool; numpy.float64, which is a float) go straight to
// the C++ function and come back as a Python float or bool: no array, no
// Python object per argument.  Anything else goes to a NumPy ufunc of the
// same function, which broadcasts like any ufunc and returns float64 (bool
// for the tests).  Its inner loop calls the C++ function on each element,
// so an array result equals the scalar results bit for bit; NumPy releases
// the GIL around it (arrays of 500 elements or more), and a contiguous run
// longer than the function's threshold is split across threads.
#pragma once

#include "NumpyApi.h"

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cstdint>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tqrvn_py {

/// Elements a contiguous run must hold before it is split across threads:
/// a closed form costs some 20 to 60 ns per element, so 32768 of them take
/// about a millisecond, some twenty times the start of a thread.  The
/// iterative solvers (bisection, about 1 us per element) split from 1024.
inline constexpr npy_intp kClosedFormThreshold = 32768;
inline constexpr npy_intp kIterativeThreshold = 1024;

/// Threads an array call may use; 0 means one per processor.
void SetThreadCount(int count);
int ThreadCount();

/// Runs body(begin, end) over [0, n): on the calling thread when n is below
/// the threshold or one thread is allowed, else in equal contiguous parts on
/// that many threads (the calling thread takes the last).  body must not
/// throw; a thread that cannot be started leaves its part to the caller.
template <class Body> void ParallelFor(npy_intp n, npy_intp threshold, const Body& body) {
    const int threads = ThreadCount();
    if (n < threshold || threads <= 1) {
        body(0, n);
        return;
    }
    const npy_intp parts = std::min<npy_intp>(threads, n / (threshold / 2 + 1) + 1);
    const npy_intp step = (n + parts - 1) / parts;
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(parts));
    npy_intp begin = 0;
    for (npy_intp p = 0; p + 1 < parts && begin < n; ++p, begin += step) {
        const npy_intp end = std::min(n, begin + step);
        try {
            workers.emplace_back([&body, begin, end] { body(begin, end); });
        } catch (...) {
            body(begin, end);
        }
    }
    if (begin < n) {
        body(begin, n);
    }
    for (auto& w : workers) {
        w.join();
    }
}

/// The kind of a parameter as Python sees it.
enum class ParamKind { Real, Integer, Flag };

template <class A> constexpr ParamKind KindOf() {
    if constexpr (std::is_same_v<A, bool>) {
        return ParamKind::Flag;
    } else if constexpr (std::is_same_v<A, int>) {
        return ParamKind::Integer;
    } else {
        static_assert(std::is_same_v<A, double>);
        return ParamKind::Real;
    }
}

/// The NumPy type number of an element type.
template <class E> constexpr int TypeNumber() {
    if constexpr (std::is_same_v<E, double>) {
        return NPY_DOUBLE;
    } else if constexpr (std::is_same_v<E, npy_bool>) {
        return NPY_BOOL;
    } else if constexpr (std::is_same_v<E, std::int32_t>) {
        return NPY_INT32;
    } else {
        static_assert(std::is_same_v<E, std::int64_t>);
        return NPY_INT64;
    }
}

/// An array element as the C++ parameter.  A 64-bit integer is clamped to
/// the range of int; only functions whose result is the same for every
/// value beyond a table's end get a 64-bit loop (RegisterOptions::wideInts).
template <class A, class E> inline A FromElement(E e) {
    if constexpr (std::is_same_v<A, bool>) {
        return e != 0;
    } else if constexpr (std::is_same_v<A, int> && std::is_same_v<E, std::int64_t>) {
        return static_cast<int>(std::clamp<std::int64_t>(e, INT_MIN, INT_MAX));
    } else {
        return static_cast<A>(e);
    }
}

template <class R> using OutElement = std::conditional_t<std::is_same_v<R, bool>, npy_bool, double>;

template <class Fn> struct Signature;
template <class R, class... A> struct Signature<R (*)(A...)> {
    using Result = R;
    using Params = std::tuple<A...>;
    static constexpr std::size_t kArity = sizeof...(A);
};

/// The ufunc inner loop of F over elements of the types E...; data holds
/// the thread threshold.
template <auto F, class... E> struct Kernel {
    using Sig = Signature<decltype(F)>;
    using Out = OutElement<typename Sig::Result>;
    static constexpr std::size_t N = sizeof...(E);
    template <std::size_t I> using Param = std::tuple_element_t<I, typename Sig::Params>;

    static void Loop(char** args, const npy_intp* dims, const npy_intp* steps, void* data) {
        const auto threshold = static_cast<npy_intp>(reinterpret_cast<std::intptr_t>(data));
        ParallelFor(dims[0], threshold, [args, steps](npy_intp begin, npy_intp end) {
            Run(args, steps, begin, end, std::index_sequence_for<E...>{});
        });
        // A NaN, an infinity or -1 out of range is the function's answer, as
        // in a scalar call, not a fault to warn of; the flags the formulas
        // raise are cleared so that NumPy does not turn them into warnings
        // (and does not warn or not depending on the thread a part ran on).
        std::feclearexcept(FE_ALL_EXCEPT);
    }

    template <std::size_t... I>
    static void Run(char** args, const npy_intp* steps, npy_intp begin, npy_intp end,
                    std::index_sequence<I...>) {
        const bool contiguous = ((steps[I] == static_cast<npy_intp>(sizeof(E))) && ...) &&
                                steps[N] == static_cast<npy_intp>(sizeof(Out));
        if (contiguous) {
            Out* out = reinterpret_cast<Out*>(args[N]);
            for (npy_intp i = begin; i < end; ++i) {
                out[i] = static_cast<Out>(
                    F(FromElement<Param<I>>(reinterpret_cast<const E*>(args[I])[i])...));
            }
            return;
        }
        for (npy_intp i = begin; i < end; ++i) {
            *reinterpret_cast<Out*>(args[N] + i * steps[N]) = static_cast<Out>(
                F(FromElement<Param<I>>(*reinterpret_cast<const E*>(args[I] + i * steps[I]))...));
        }
    }
};

/// What the Python function of a C++ function knows besides F: its name,
/// its parameters' names and kinds, and its ufunc.
struct FunctionInfo {
    const char* name = "";
    std::vector<const char*> params;
    std::vector<ParamKind> kinds;
    PyObject* ufunc = nullptr;
};

/// The attribute of a function's self that holds its FunctionInfo.
inline constexpr const char* kInfoAttribute = "_tqrvn_function";
/// The FunctionInfo of a function's self; nullptr with an error set.
const FunctionInfo* InfoOf(PyObject* self);

/// The array path: checks and converts each argument (positional or by its
/// parameter's name; `out=` goes to the ufunc) and calls the ufunc.
PyObject* CallUfunc(const FunctionInfo& info, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames);

/// A Python number as a C++ argument; false (with no Python error) when the
/// object is not a plain number of that kind and must take the array path,
/// false with an error set when the number does not convert.
bool ReadScalar(PyObject* o, double& v);
bool ReadScalar(PyObject* o, int& v);
bool ReadScalar(PyObject* o, bool& v);

inline PyObject* ToPython(double v) {
    return PyFloat_FromDouble(v);
}
inline PyObject* ToPython(bool v) {
    return PyBool_FromLong(v ? 1 : 0);
}

template <auto F> struct Scalar {
    using Sig = Signature<decltype(F)>;

    template <std::size_t... I>
    static PyObject* Try(PyObject* const* args, std::index_sequence<I...>) {
        typename Sig::Params values;
        if (!(ReadScalar(args[I], std::get<I>(values)) && ...)) {
            return nullptr;
        }
        return ToPython(std::apply(F, values));
    }

    /// The Python function; self holds its FunctionInfo (InfoOf).
    static PyObject* Call(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                          PyObject* kwnames) {
        if (nargs == static_cast<Py_ssize_t>(Sig::kArity) && kwnames == nullptr) {
            if (PyObject* r = Try(args, std::make_index_sequence<Sig::kArity>{})) {
                return r;
            }
            if (PyErr_Occurred()) {
                return nullptr;
            }
        }
        const FunctionInfo* info = InfoOf(self);
        return info ? CallUfunc(*info, args, nargs, kwnames) : nullptr;
    }
};

/// One loop of a ufunc: its function and its type numbers (inputs, output).
struct LoopSpec {
    PyUFuncGenericFunction function;
    std::vector<char> types;
};

template <auto F, class... E> LoopSpec MakeLoop() {
    using Sig = Signature<decltype(F)>;
    static_assert(sizeof...(E) == Sig::kArity);
    return {&Kernel<F, E...>::Loop,
            {static_cast<char>(TypeNumber<E>())...,
             static_cast<char>(TypeNumber<OutElement<typename Sig::Result>>())}};
}

/// The element type of a parameter in the function's main loop.
template <class A>
using MainElement =
    std::conditional_t<std::is_same_v<A, bool>, npy_bool,
                       std::conditional_t<std::is_same_v<A, int>, std::int32_t, double>>;
template <class A>
using WideElement = std::conditional_t<std::is_same_v<A, int>, std::int64_t, MainElement<A>>;

template <auto F, class... A> LoopSpec MainLoop(std::tuple<A...>*) {
    return MakeLoop<F, MainElement<A>...>();
}
template <auto F, class... A> LoopSpec WideLoop(std::tuple<A...>*) {
    return MakeLoop<F, WideElement<A>...>();
}
template <auto F, class... A> std::vector<ParamKind> KindsOf(std::tuple<A...>*) {
    return {KindOf<A>()...};
}

struct RegisterOptions {
    bool iterative = false; ///< an iterative solver: threads from kIterativeThreshold
    bool wideInts = false;  ///< also a loop of 64-bit integers, clamped to int
};

/// A METH_FASTCALL | METH_KEYWORDS function.
using FastCall = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

/// Adds to module a Python function `name` over the loops given.  params
/// names the parameters, comma separated ("re, eps"); doc is the text after
/// the signature line.
void AddFunction(PyObject* module, const char* name, const char* params, const char* doc,
                 std::vector<LoopSpec> loops, std::vector<ParamKind> kinds, FastCall call,
                 const RegisterOptions& options);

/// Adds F under `name`.
template <auto F>
void Add(PyObject* module, const char* name, const char* params, const char* doc,
         RegisterOptions options = {}) {
    using Params = typename Signature<decltype(F)>::Params;
    std::vector<LoopSpec> loops{MainLoop<F>(static_cast<Params*>(nullptr))};
    if (options.wideInts) {
        loops.push_back(WideLoop<F>(static_cast<Params*>(nullptr)));
    }
    AddFunction(module, name, params, doc, std::move(loops),
                KindsOf<F>(static_cast<Params*>(nullptr)), &Scalar<F>::Call, options);
}

} // namespace tqrvn_py
