// Dialog tests: a widget application on the off-screen platform in a comma
// locale, a prompter that answers the dialogs' questions from a script, and
// fresh catalog files with a few materials and sizes.
#pragma once

#include "CatalogFixture.h"

#include "ui/CTQPrompter.h"
#include "ui/CTQReportGrid.h"

#include <QString>
#include <QTreeWidgetItem>

#include <deque>
#include <string>
#include <utility>
#include <vector>

class CTQCatalogDlg;
class QAbstractButton;
class QLineEdit;

/// Answers questions from a queue and records every question and notice.
class ScriptedPrompter : public CTQPrompter {
public:
    bool Confirm(QWidget* parent, const QString& text, const QString& caption) override;
    void Tell(QWidget* parent, const QString& text, const QString& caption, Icon icon) override;

    std::deque<bool> answers;
    std::vector<std::pair<QString, QString>> questions; ///< text, caption
    std::vector<QString> notices;
};

class UiTest : public CatalogTest {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Materials 1 "焊接钢管" (kind 1, sizes DN 15, 20, 25), 2 "镀锌钢管"
    /// (kind 1, DN 32) and 3 "PE管" (kind 2, DN 20); circular ducts 100,
    /// 200, 250 and rectangular ducts 320x200, 400x200 with thickness 0.5.
    void Seed();

    ScriptedPrompter prompter_;
    CTQPrompter* previous_ = nullptr;
};

/// Types a text key by key into a cell's own editor and presses Enter; the
/// editor when it is still open (its text refused), else null (also when
/// the cell offers none).
QLineEdit* TypeInCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text);
/// Types a text into a cell through the grid's own editor and presses
/// Enter; false when the cell offers no editor.  Text the cell does not
/// take is then dropped with Escape, leaving the cell as it was.
bool EditCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text);
/// Puts a whole text into a cell's editor at once (as a paste does) and
/// ends the edit; false when the cell offers no editor.
bool PasteCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text);
/// Selects exactly these rows of a grid (display positions).
void SelectRows(CTQReportGrid* grid, const std::vector<int>& positions);
/// Clicks a dialog control found by its id.
void ClickControl(CTQCatalogDlg& dlg, int id);
/// The texts of one column, in display order.
std::vector<QString> ColumnTexts(const CTQReportGrid* grid, int column);
