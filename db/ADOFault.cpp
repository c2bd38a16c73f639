#include "db/ADOFault.h"

ADOFault ClassifyADOError(const RVNADO::ComError& error)
{
    return ClassifyADOError(static_cast<std::uint32_t>(error.Error()), error.Description());
}

ADOFault ClassifyADOError(unsigned long code, const std::string& text)
{
    switch (static_cast<RVNADO::HRESULT>(code)) {
    case RVNADO::Status::OK:
        return ADOFault::None;
    case RVNADO::Status::ReadOnlyFile:
        return ADOFault::ReadOnly;
    case RVNADO::Status::DiskFull:
        return ADOFault::DiskFull;
    case RVNADO::Status::Damaged:
        return ADOFault::Damaged;
    case RVNADO::Status::Locked:
        // The unspecified error of the desktop engine, a lock only when the
        // description says so.
        return text.find(RVNADO::kLockedText) != std::string::npos ? ADOFault::Locked : ADOFault::Other;
    default:
        return ADOFault::Other;
    }
}

const char* ADOFaultText(ADOFault fault)
{
    switch (fault) {
    case ADOFault::Locked:
        return "the catalog is locked by another program";
    case ADOFault::ReadOnly:
        return "the catalog is read-only";
    case ADOFault::DiskFull:
        return "the disk is full";
    case ADOFault::Damaged:
        return "the catalog file is damaged";
    default:
        return "";
    }
}

std::string DescribeADOError(unsigned long code, const std::string& text)
{
    static const std::string field = "\tDescription = ";
    const std::size_t at = text.find(field);
    std::string description = at == std::string::npos ? text : text.substr(at + field.size());
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
        description.pop_back();
    const std::string words = ADOFaultText(ClassifyADOError(code, text));
    if (words.empty())
        return description.empty() ? std::string("the catalog reported an unknown error") : description;
    return description.empty() ? words : words + " (" + description + ")";
}
