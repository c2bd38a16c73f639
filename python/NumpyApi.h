// The NumPy C interface for the module's sources.  module.cpp imports the
// two tables (array and ufunc) once; every other source uses them.
#pragma once

#include <Python.h>

#define PY_ARRAY_UNIQUE_SYMBOL tqrvn_ARRAY_API
#define PY_UFUNC_UNIQUE_SYMBOL tqrvn_UFUNC_API
#ifndef TQRVN_IMPORT_NUMPY
#define NO_IMPORT_ARRAY
#define NO_IMPORT_UFUNC
#endif
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>
