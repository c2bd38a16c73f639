// CADORecordset: long data in pieces, files and bitmaps in long fields.
#include "db/NumberText.h"
#include "db/ADORecordset.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <string>

using RVNADO::ComError;
using RVNADO::Deref;
using RVNADO::Variant;

namespace {

// Long data moves in pieces of this many bytes.
constexpr long kChunk = 100;

}  // namespace

// The field for a long-data operation; a missing one is recorded by the
// caller like any provider error.
RVNADO::FieldPtr CADORecordset::FieldForChunk(int nIndex)
{
    return Deref(m_pRecordset).GetFields()->GetItem(static_cast<long>(nIndex));
}

RVNADO::FieldPtr CADORecordset::FieldForChunk(const std::string& lpFieldName)
{
    return Deref(m_pRecordset).GetFields()->GetItem(lpFieldName);
}

// ---- Reading ---------------------------------------------------------------------------

int CADORecordset::GetChunk(const RVNADO::FieldPtr& pField, void* lpData, std::size_t nCapacity)
{
    return Guarded([&]() -> int {
            RVNADO::Field& field = Deref(pField);
            if (lpData == nullptr)
                throw ComError(RVNADO::Status::Pointer, "TQRVNBase", "No buffer was given for the long data.");
            const long size = field.GetActualSize();
            if (static_cast<unsigned long>(size) > nCapacity)
                throw ComError(RVNADO::Status::InvalidArgument, "TQRVNBase",
                               "The buffer of " + RVN::FormatInteger(nCapacity) + " bytes cannot hold the " +
                                   RVN::FormatInteger(size) + " bytes of the field '" + field.GetName() + "'.");
            unsigned char* out = static_cast<unsigned char*>(lpData);
            long offset = 0;
            while (offset < size) {
                const Variant piece = field.GetChunk(kChunk);
                if (piece.IsEmptyOrNull())
                    break;
                const std::string& bytes = piece.GetString();
                const std::size_t n = bytes.size() < static_cast<std::size_t>(size - offset)
                                          ? bytes.size()
                                          : static_cast<std::size_t>(size - offset);
                std::memcpy(out + offset, bytes.data(), n);
                offset += static_cast<long>(n);
            }
            return 1;
    });
}

int CADORecordset::GetChunk(const RVNADO::FieldPtr& pField, std::string& strValue)
{
    return Guarded([&]() -> int {
            RVNADO::Field& field = Deref(pField);
            const long size = field.GetActualSize();
            std::string text;
            text.reserve(static_cast<std::size_t>(size));
            long offset = 0;
            while (offset < size) {
                const Variant piece = field.GetChunk(kChunk);
                if (piece.IsEmptyOrNull())
                    break;
                text += piece.GetString();
                offset += static_cast<long>(piece.GetString().size());
            }
            strValue = std::move(text);
            return 1;
    });
}

int CADORecordset::GetChunk(int nIndex, void* lpData)
{
    try {
        return GetChunk(FieldForChunk(nIndex), lpData, std::numeric_limits<std::size_t>::max());
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetChunk(const std::string& lpFieldName, void* lpData)
{
    try {
        return GetChunk(FieldForChunk(lpFieldName), lpData, std::numeric_limits<std::size_t>::max());
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetChunk(int nIndex, void* lpData, std::size_t nCapacity)
{
    try {
        return GetChunk(FieldForChunk(nIndex), lpData, nCapacity);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetChunk(const std::string& lpFieldName, void* lpData, std::size_t nCapacity)
{
    try {
        return GetChunk(FieldForChunk(lpFieldName), lpData, nCapacity);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetChunk(int nIndex, std::string& strValue)
{
    try {
        return GetChunk(FieldForChunk(nIndex), strValue);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetChunk(const std::string& lpFieldName, std::string& strValue)
{
    try {
        return GetChunk(FieldForChunk(lpFieldName), strValue);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::GetBitmap(const RVNADO::FieldPtr& pField, RVNADO::CBitmap& bitmap)
{
    RVNADO::Field& field = Deref(pField);
    if (!(field.GetAttributes() & RVNADO::adFldLong) || field.GetActualSize() < 1)
        return 0;
    std::string image;
    if (!GetChunk(pField, image))
        return 0;
    // Every offset and size of the headers is checked against the value
    // before a pixel is read.
    RVNADO::Bitmap read;
    if (!RVNADO::Bitmap::FromBmpImage(image.data(), image.size(), read))
        return 0;
    bitmap = read.ToDepth32();  // the screen's depth
    return 1;
}

int CADORecordset::GetChunk(int nIndex, RVNADO::CBitmap& bitmap)
{
    return Guarded([&]() -> int {
            return GetBitmap(FieldForChunk(nIndex), bitmap);
    });
}

int CADORecordset::GetChunk(const std::string& lpFieldName, RVNADO::CBitmap& bitmap)
{
    return Guarded([&]() -> int {
            return GetBitmap(FieldForChunk(lpFieldName), bitmap);
    });
}

// ---- Writing ---------------------------------------------------------------------------

int CADORecordset::AppendChunk(const RVNADO::FieldPtr& pField, const void* lpData, unsigned int nBytes)
{
    if (m_nEditStatus == dbEditNone)
        return 0;
    return Guarded([&]() -> int {
            if (lpData == nullptr && nBytes > 0)
                throw ComError(RVNADO::Status::Pointer, "TQRVNBase", "No data was given to append.");
            const char* p = static_cast<const char*>(lpData);
            Deref(pField).AppendChunk(Variant::Bytes(nBytes > 0 ? std::string(p, nBytes) : std::string()));
            return 1;
    });
}

int CADORecordset::AppendChunk(int nIndex, const void* lpData, unsigned int nBytes)
{
    try {
        return AppendChunk(FieldForChunk(nIndex), lpData, nBytes);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::AppendChunk(const std::string& lpFieldName, const void* lpData, unsigned int nBytes)
{
    try {
        return AppendChunk(FieldForChunk(lpFieldName), lpData, nBytes);
    } catch (const ComError& e) {
        dump_com_error(e);
    }
    return 0;
}

int CADORecordset::AppendFile(const RVNADO::FieldPtr& pField, const std::string& lpszFileName)
{
    if (!(Deref(pField).GetAttributes() & RVNADO::adFldLong))
        return 0;
    std::ifstream in(lpszFileName, std::ios::binary | std::ios::ate);
    if (!in)
        return 0;
    const std::streamoff length = in.tellg();
    if (length < 0 || static_cast<unsigned long long>(length) > std::numeric_limits<unsigned int>::max())
        return 0;
    in.seekg(0);
    std::string data(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !in.read(data.data(), static_cast<std::streamsize>(length)))
        return 0;  // fewer bytes than the file's length
    return AppendChunk(pField, data.data(), static_cast<unsigned int>(data.size()));
}

int CADORecordset::AppendChunk(int nIndex, const std::string& lpszFileName)
{
    return Guarded([&]() -> int {
            return AppendFile(FieldForChunk(nIndex), lpszFileName);
    });
}

int CADORecordset::AppendChunk(const std::string& lpFieldName, const std::string& lpszFileName)
{
    return Guarded([&]() -> int {
            return AppendFile(FieldForChunk(lpFieldName), lpszFileName);
    });
}

int CADORecordset::AppendBitmap(const RVNADO::FieldPtr& pField, RVNADO::HBITMAP hBitmap)
{
    if (hBitmap == nullptr || !hBitmap->IsValid())
        return 0;
    // Stored in the screen's depth, 32 bits per pixel, without a palette.
    const std::string image = hBitmap->ToDepth32().ToBmpImage();
    if (image.empty() || image.size() > std::numeric_limits<unsigned int>::max())
        return 0;
    return AppendChunk(pField, image.data(), static_cast<unsigned int>(image.size()));
}

int CADORecordset::AppendChunk(int nIndex, RVNADO::HBITMAP hBitmap)
{
    return Guarded([&]() -> int {
            return AppendBitmap(FieldForChunk(nIndex), hBitmap);
    });
}

int CADORecordset::AppendChunk(const std::string& lpFieldName, RVNADO::HBITMAP hBitmap)
{
    return Guarded([&]() -> int {
            return AppendBitmap(FieldForChunk(lpFieldName), hBitmap);
    });
}
