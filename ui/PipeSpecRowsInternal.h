// The rows of the pipe size dialog: a material with the file that buffers
// its edited sizes, and a size.  Private to the dialog's sources.
#pragma once

#include "ui/CTQPipeSpecDlg.h"
#include "ui/CTQReportGrid.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace tqrvn::ui {

/// A file-name part made of a material name: letters, digits, '-', '_' and
/// the bytes of non-ASCII characters; everything else ('/', '.', spaces,
/// control characters) becomes '_'.  At most 48 bytes, cut at a character
/// boundary; "matl" when nothing is left.
std::string SafeNamePart(const std::string& name);
/// The local time as "%Y%m%d%H%M%S".
std::string LocalTimeStamp();
/// The system temporary folder with a trailing '/'.
std::string ComputeTempFolder();

} // namespace tqrvn::ui

// A material of the left grid with its buffered sizes.
class CTQPipeSpecDlg::MatlRow : public CTQGridRow {
public:
    explicit MatlRow(const CTQPipeMatl& m) : matl(m), stamp(tqrvn::ui::LocalTimeStamp()) {}
    ~MatlRow() override { RemoveFile(); }

    void RemoveFile() {
        if (!file.empty()) {
            ::unlink(file.c_str());
            file.clear();
        }
        buffered = false;
    }

    // Creates this row's file in the folder, once: the sanitised name, the
    // time of the row's creation and a unique suffix; never an existing file.
    bool EnsureFile(const std::string& folder) {
        if (!file.empty()) {
            return true;
        }
        std::string path = folder + tqrvn::ui::SafeNamePart(matl.Name) + stamp + "-XXXXXX.xml";
        const int fd = ::mkstemps(path.data(), 4);
        if (fd < 0) {
            return false;
        }
        ::close(fd);
        file = path;
        return true;
    }

    CTQPipeMatl matl;
    std::string stamp;
    std::string file;      ///< buffer file ("" until first needed)
    bool buffered = false; ///< the file holds this material's sizes
    bool held = false;     ///< the sizes are held in memory (file not writable)
    CTQArray<CTQPipeSpec> heldSizes;
};

// A size of the right grid.
class CTQPipeSpecDlg::SpecRow : public CTQGridRow {
public:
    explicit SpecRow(const CTQPipeSpec& s) : spec(s) {}
    CTQPipeSpec spec;
};
