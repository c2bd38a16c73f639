// Symbol export of the TQRVNBase libraries.
//
// The libraries are built with hidden default visibility; everything a host
// may call carries TQRVNBASE_API (core library) or TQRVNBASEUI_API (dialogs).
#pragma once

#if defined(_WIN32)
#  define TQRVN_DECL_EXPORT __declspec(dllexport)
#  define TQRVN_DECL_IMPORT __declspec(dllimport)
#else
#  define TQRVN_DECL_EXPORT __attribute__((visibility("default")))
#  define TQRVN_DECL_IMPORT __attribute__((visibility("default")))
#endif

#if defined(TQRVNBASE_BUILDING)
#  define TQRVNBASE_API TQRVN_DECL_EXPORT
#else
#  define TQRVNBASE_API TQRVN_DECL_IMPORT
#endif

#if defined(TQRVNBASEUI_BUILDING)
#  define TQRVNBASEUI_API TQRVN_DECL_EXPORT
#else
#  define TQRVNBASEUI_API TQRVN_DECL_IMPORT
#endif
