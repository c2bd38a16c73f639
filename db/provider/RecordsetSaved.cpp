// Recordsets saved to and opened from XML files.
#include "db/AtomicFile.h"
#include "db/provider/Persist.h"
#include "db/provider/RecordsetCore.h"

#include <sys/stat.h>

#include <fstream>

namespace RVNADO {

using namespace detail;

namespace {
const char* const kPersistProvider = "MSPersist";
}

void Recordset::Save(const std::string& file, PersistFormatEnum format) {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (format != adPersistXML)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "Recordsets are saved in the XML format only.");
    if (file.empty())
        throw ComError(Status::InvalidArgument, kRecordsetSource, "No file name was given.");
    std::vector<SavedField> fields;
    for (const ColumnInfo& col : c.cols)
        fields.push_back(SavedField{col.name, col.type, col.definedSize, col.attributes,
                                    col.precision, col.scale});
    std::vector<const Variant*> rows;
    for (long p = 0; p < c.Count(); ++p)
        if (c.LiveAt(p))
            rows.push_back(c.Row(c.RowAt(p)));
    const std::string text = WriteRecordsetXml(fields, rows);
    // Written whole or not at all: a failed save leaves an earlier file as it was.
    std::string error;
    if (!RVN::ReplaceFileContent(file, text, &error))
        throw ComError(Status::WriteFile, kRecordsetSource,
                       "The recordset cannot be saved: " + error + ".");
}

void Recordset::Open(const std::string& file, const std::string& connectionText,
                     CursorTypeEnum cursorType, LockTypeEnum lockType, long options) {
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The recordset is already open.");
    const auto pairs = ParseConnectionString(connectionText);
    const auto provider = pairs.find("provider");
    if (provider == pairs.end() || !EqualsNoCase(kPersistProvider, provider->second))
        throw ComError(Status::ProviderNotFound, kRecordsetSource,
                       "A file is opened with the connection text \"Provider=MSPersist;\".");
    if ((options & 0xffff) != adCmdFile)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "A saved recordset is opened with the file option.");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        throw ComError(Status::OpeningFile, kRecordsetSource,
                       "Cannot open the saved recordset '" + file + "'.");
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > kMaxSavedRecordsetBytes)
        throw ComError(Status::ReadFile, kRecordsetSource,
                       "'" + file + "' is larger than the " +
                           IntText(static_cast<std::int64_t>(kMaxSavedRecordsetBytes >> 20)) +
                           " MiB a saved recordset may have.");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ComError(Status::OpeningFile, kRecordsetSource,
                       "Cannot open the saved recordset '" + file + "'.");
    // Read in pieces up to the limit (a pipe or device tells no size).
    std::string text;
    text.reserve(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
    char piece[65536];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxSavedRecordsetBytes)
            throw ComError(Status::ReadFile, kRecordsetSource,
                           "'" + file + "' is larger than the " +
                               IntText(static_cast<std::int64_t>(kMaxSavedRecordsetBytes >> 20)) +
                               " MiB a saved recordset may have.");
    }
    std::vector<SavedField> fields;
    auto core = std::make_shared<RecordsetCore>();
    try {
        ReadRecordsetXml(text, fields, core->data->cells, core->data->rows);
    } catch (const ComError& e) {
        throw ComError(e.Error(), e.Source(), "'" + file + "': " + e.Description());
    }
    for (const SavedField& f : fields) {
        ColumnInfo col;
        col.name = f.name;
        col.type = f.type;
        col.definedSize = f.definedSize;
        col.attributes = f.attributes;
        col.precision = f.precision;
        col.scale = f.scale;
        col.expression = true;
        core->cols.push_back(std::move(col));
    }
    core->data->live = core->data->rows;
    core->data->deleted.assign(static_cast<std::size_t>(core->data->rows), 0);
    core->source = file;
    core->options = adCmdFile;
    core->cursorType = cursorType == adOpenUnspecified ? m_core->cursorType : cursorType;
    core->location = m_core->location;
    core->pageSize = m_core->pageSize;
    core->lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    core->cur = 0;
    core->open = true;
    m_core = std::move(core);
}

} // namespace RVNADO
