#include "db/ADOException.h"

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const
{
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
        if (c == pBase)
            return true;
    return false;
}

const CRuntimeClass CException::classCException = {"CException", nullptr};

CException::~CException() = default;

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

const CRuntimeClass* CException::GetRuntimeClass() const { return &classCException; }
const CRuntimeClass* CException::GetThisClass() { return &classCException; }

bool CException::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

const CRuntimeClass CADOException::classCADOException = {"CADOException", &CException::classCException};

CADOException::CADOException(int nCause, const std::string& strErrorString)
    : CException(true), m_lErrorCode(nCause), m_strErrorString(strErrorString)
{
}

CADOException::~CADOException() = default;

int CADOException::GetError(int nADOError) { return nADOError == 0 ? 0 : 1; }

const CRuntimeClass* CADOException::GetRuntimeClass() const { return &classCADOException; }
const CRuntimeClass* CADOException::GetThisClass() { return &classCADOException; }
const CRuntimeClass* CADOException::GetBaseClass() { return &CException::classCException; }

void AfxThrowADOException(int iError, const std::string& str)
{
    throw new CADOException(iError, str);
}
