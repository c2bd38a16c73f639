// What a database error means to the person using the catalog.
//
// The provider reports its errors with a status code and a description
// (RVNADO::ComError, or the last error recorded by a CADODatabase or a
// CADORecordset).  Four of them call for words of their own in a program's
// message, because the user can do something about them: another program
// holds the catalog, the file or its folder cannot be written, the disk is
// full, the file is damaged.  Every other error is ADOFault::Other; its
// description is the best a program can show.
#pragma once

#include "TQRVNBaseExport.h"
#include "db/provider/RVNADOTypes.h"

#include <string>

enum class ADOFault {
    None,      // no error (code 0)
    Locked,    // another program holds a lock on the catalog beyond the wait
    ReadOnly,  // the file, its folder or the disk cannot be written
    DiskFull,  // no space left for the catalog or its journal
    Damaged,   // the file is not a database or one of its pages is damaged
    Other,
};

/// The fault of a provider error.
TQRVNBASE_API ADOFault ClassifyADOError(const RVNADO::ComError& error);
/// The fault of an error recorded by the database classes: their
/// GetLastError code and GetLastErrorString text.
TQRVNBASE_API ADOFault ClassifyADOError(unsigned long code, const std::string& text);
/// An error recorded by the database classes (their GetLastError code and
/// GetLastErrorString text) in words for a person: the fault's words with
/// the engine's description in parentheses ("the catalog is locked by
/// another program (database is locked)"), or the description alone for
/// ADOFault::Other ("A row with the same key is in the table already
/// (...)"); the description is the text's "Description = " field, else the
/// whole text.
TQRVNBASE_API std::string DescribeADOError(unsigned long code, const std::string& text);
/// The fault in a few words for a message: "the catalog is locked by another
/// program", "the catalog is read-only", "the disk is full", "the catalog
/// file is damaged"; "" for None and Other.
TQRVNBASE_API const char* ADOFaultText(ADOFault fault);
