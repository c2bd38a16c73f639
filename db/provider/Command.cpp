// Commands and their parameters.
#include "db/provider/RecordsetCore.h"

namespace RVNADO {

using namespace detail;

namespace {
const char* const kParameterSource = "RVNADO.Parameter";
const char* const kCommandSource = "RVNADO.Command";

// The value as it is bound for a parameter of the type: converted as a
// field of that type would store it.
Variant BoundValue(const Variant& value, DataTypeEnum type, int scale, const std::string& name) {
    ColumnInfo c;
    c.name = name;
    if (type != adEmpty && type != adVariant) {
        c.type = type;
        c.expression = false;
        c.scale = scale;
    }
    const Stored s = Coerce(value, c);
    return ToVariant(RawOf(s), ColumnInfo());
}
} // namespace

ParameterPtr Parameter::Create() {
    return ParameterPtr(new Parameter());
}

void Parameter::PutDirection(ParameterDirectionEnum direction) {
    if (direction < adParamUnknown || direction > adParamReturnValue)
        throw ComError(Status::InvalidArgument, kParameterSource, "Unknown parameter direction.");
    m_direction = direction;
}

void Parameter::PutSize(long size) {
    if (size < 0)
        throw ComError(Status::InvalidArgument, kParameterSource,
                       "A parameter size cannot be negative.");
    m_size = size;
}

void Parameter::PutPrecision(int precision) {
    if (precision < 0 || precision > 255)
        throw ComError(Status::InvalidArgument, kParameterSource,
                       "The precision lies outside 0 to 255.");
    m_precision = precision;
}

void Parameter::PutNumericScale(int scale) {
    if (scale < 0 || scale > 28)
        throw ComError(Status::InvalidArgument, kParameterSource,
                       "The numeric scale lies outside 0 to 28.");
    m_scale = scale;
}

void Parameter::PutValue(const Variant& value) {
    try {
        BoundValue(value, m_type, m_scale, m_name);
    } catch (const ComError& e) {
        throw ComError(e.Error(), kParameterSource,
                       "Parameter '" + m_name + "': " + e.Description());
    }
    m_value = value;
}

CommandPtr Command::Create() {
    return CommandPtr(new Command());
}

ParameterPtr Command::CreateParameter(const std::string& name, DataTypeEnum type,
                                      ParameterDirectionEnum direction, long size,
                                      const Variant& value) {
    ParameterPtr p = Parameter::Create();
    p->PutName(name);
    p->PutType(type);
    p->PutDirection(direction);
    p->PutSize(size);
    p->PutValue(value);
    return p;
}

void Command::AppendParameter(const ParameterPtr& parameter) {
    Deref(parameter);
    m_parameters.push_back(parameter);
}

ParameterPtr Command::GetParameter(long index) const {
    if (index < 0 || index >= GetParameterCount())
        throw ComError(Status::ItemNotFound, kCommandSource,
                       "There is no parameter number " + IntText(index) + ".");
    return m_parameters[static_cast<std::size_t>(index)];
}

ParameterPtr Command::GetParameter(const std::string& name) const {
    for (const ParameterPtr& p : m_parameters)
        if (EqualsNoCase(p->GetName(), name))
            return p;
    throw ComError(Status::ItemNotFound, kCommandSource,
                   "There is no parameter named '" + name + "'.");
}

RecordsetPtr Command::Execute(long* recordsAffected, long options) {
    Connection& connection = Deref(m_connection);
    if (recordsAffected != nullptr)
        *recordsAffected = 0;
    // Output and return-value parameters have no counterpart in this
    // engine's statements; the input ones fill the placeholders in order.
    std::vector<Variant> values;
    for (const ParameterPtr& p : m_parameters)
        if (p->GetDirection() == adParamInput || p->GetDirection() == adParamInputOutput ||
            p->GetDirection() == adParamUnknown)
            values.push_back(
                BoundValue(p->GetValue(), p->GetType(), p->GetNumericScale(), p->GetName()));
    if (m_type == adCmdStoredProc) {
        if (!values.empty())
            throw ComError(Status::InvalidArgument, kCommandSource,
                           "The saved query '" + m_text + "' takes no parameters.");
        RecordsetPtr rs = Recordset::Create();
        rs->Open(m_text, m_connection, adOpenStatic, adLockOptimistic, adCmdStoredProc);
        if (options & adExecuteNoRecords)
            return nullptr;
        return rs;
    }
    if (m_type == adCmdTable || m_type == adCmdFile || m_type == adCmdTableDirect)
        throw ComError(Status::InvalidArgument, kCommandSource,
                       "A command runs SQL text or a saved query; its type is " + IntText(m_type) +
                           ".");
    RecordsetPtr rs =
        connection.Execute(m_text, recordsAffected, options & adExecuteNoRecords, values);
    if (!rs && !(options & adExecuteNoRecords))
        rs = Recordset::Create(); // a command without rows gives a closed recordset
    return rs;
}

} // namespace RVNADO
