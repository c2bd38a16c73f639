// The default catalog connection and the location of the catalog file.
//
// Every catalog operation takes a CADODatabase*; a null one means the
// default connection held here.  The host either has the library open the
// catalog (LoadRVNBaseDataBase: the library owns that connection) or hands
// over a connection of its own (SetRVNBaseDataBase: borrowed, never closed
// or freed by the library), and calls CloseRVNBaseDataBase before it unloads
// the library.  The state is process-wide and unguarded: call these from the
// host's user-interface thread, as every catalog operation.
#pragma once

#include "TQRVNBaseExport.h"

#include <memory>
#include <string>

class CADODatabase;

namespace RVN {

/// Opens the catalog file at `path` as the owned default connection (any
/// previous owned one is closed first).  False when it cannot be opened; the
/// database layer keeps the error text.  A path holding ';' or '"' is quoted
/// in the connection string.
TQRVNBASE_API bool LoadRVNBaseDataBase(const char* path);

/// Opens the catalog file at `path` as a connection of the caller's own,
/// apart from the default connection (any number may be open at once, on
/// one file or several).  Null, with the reason in `error`, when no file is
/// there (a catalog is never created by opening it: "no catalog at PATH"),
/// when the path is a folder, or when the file cannot be opened as a
/// database ("the catalog file is damaged", "the catalog is locked by
/// another program", or the engine's own description).  A path holding ';'
/// or '"' or blanks at either end is quoted in the connection string.
TQRVNBASE_API std::unique_ptr<CADODatabase> OpenCatalogFile(const std::string& path, std::string& error);

/// Makes the host's connection (possibly null) the default; the library will
/// never close or free it.  An owned default connection is closed first.
TQRVNBASE_API void SetRVNBaseDataBase(CADODatabase* db);

/// Closes and deletes the owned default connection: true, also when there is
/// none; false, and nothing changes, when the default connection is borrowed.
TQRVNBASE_API bool CloseRVNBaseDataBase();

/// The default connection (null when there is none).
TQRVNBASE_API CADODatabase* GetRVNBaseDataBase();

/// True when the host program "TqRVN.exe" lies in the installation folder
/// (the parent of the library's folder); exePath then receives its full
/// path, and is left unchanged otherwise.
TQRVNBASE_API bool IsWorkingWithRVN(std::string& exePath);

/// Sets dir to the installation folder (ending with '/'; empty when the
/// library's folder has no parent) and returns IsWorkingWithRVN.
TQRVNBASE_API bool GetRVNDir(std::string& dir);

/// Sets file to the catalog path: installation folder + "User/" +
/// "RVNDatasource.mdb" in an installed layout, else the library's folder +
/// "RVNDatasource.mdb".  Always true; whether the file exists is not tested.
TQRVNBASE_API bool GetDataSourceFileName(std::string& file);

/// Receives the library's messages to the user (text and caption).  The
/// default writes them to standard error; the dialogs library installs a
/// message box.
using MessageSink = void (*)(const std::string& text, const std::string& caption);

/// Installs a message sink (null restores the default) and returns the
/// previous one.
TQRVNBASE_API MessageSink SetMessageSink(MessageSink sink);

/// Passes a message to the installed sink.
TQRVNBASE_API void ShowMessage(const std::string& text, const std::string& caption);

/// The version of this library as loaded ("0.1.0"), for a host's About box.
TQRVNBASE_API const char* LibraryVersion();

} // namespace RVN
