// The library's small exception base and the database exception a host may
// throw through AfxThrowADOException.  Exceptions are thrown as pointers to
// heap objects; the catcher deletes them with Delete().
#pragma once

#include "TQRVNBaseExport.h"

#include <string>

// Run-time class information: the class name and the base class, enough to
// ask whether an exception object is of a given class.
struct TQRVNBASE_API CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    // True when this class is pBase or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* pBase) const;
};

// Base of the library's exceptions.  An object made with automatic
// deletion (the default) is deleted by Delete(); one made without (for
// example a static object) is left alone.
class TQRVNBASE_API CException {
public:
    explicit CException(bool bAutoDelete = true) : m_bAutoDelete(bAutoDelete) {}
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException();

    void Delete();
    bool IsAutoDelete() const { return m_bAutoDelete; }

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass* GetThisClass();
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCException;

protected:
    bool m_bAutoDelete;
};

class TQRVNBASE_API CADOException : public CException {
public:
    explicit CADOException(int nCause = 0, const std::string& strErrorString = std::string());
    ~CADOException() override;

    // 0 for code 0 (no error), 1 for any other code.
    static int GetError(int nADOError);

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass* GetThisClass();
    // The base class of CADOException (CException).  The platform's name for
    // it begins with an underscore and a capital letter, reserved in C++.
    static const CRuntimeClass* GetBaseClass();

    static const CRuntimeClass classCADOException;

    int m_lErrorCode;
    std::string m_strErrorString;
};

// Throws a new heap CADOException with the code and text; the catcher owns
// it and deletes it (Delete()).  Nothing in the library calls it.
[[noreturn]] TQRVNBASE_API void AfxThrowADOException(int iError, const std::string& str);
