#include "UiFixture.h"

#include "ui/CTQCatalogDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace {

// The application of the whole test program, kept until the process ends.
QApplication* g_app = nullptr;

// The application of the whole test program.  The tests run on the
// off-screen platform in a German locale (decimal comma), with the saved
// window placements in a folder of their own.
class UiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::string runtime =
            (std::filesystem::temp_directory_path() / "tqrvn-ui-runtime-XXXXXX").string();
        if (mkdtemp(runtime.data())) {
            runtimeDir_ = runtime;
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
        setenv("LC_ALL", "de_DE.UTF-8", 1);
        setenv("LANG", "de_DE.UTF-8", 1);
        std::string config =
            (std::filesystem::temp_directory_path() / "tqrvn-ui-config-XXXXXX").string();
        if (mkdtemp(config.data())) {
            configDir_ = config;
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        }
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        g_app = new QApplication(argc, argv);
    }
    void TearDown() override {
        for (const std::string& dir : {configDir_, runtimeDir_}) {
            if (!dir.empty()) {
                std::error_code ec;
                std::filesystem::remove_all(dir, ec);
            }
        }
    }

private:
    std::string configDir_;
    std::string runtimeDir_;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace

bool ScriptedPrompter::Confirm(QWidget*, const QString& text, const QString& caption) {
    questions.emplace_back(text, caption);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedPrompter::Tell(QWidget*, const QString& text, const QString&, Icon) {
    notices.push_back(text);
}

void UiTest::SetUp() {
    CatalogTest::SetUp();
    previous_ = RVN::SetPrompter(&prompter_);
}

void UiTest::TearDown() {
    RVN::SetPrompter(previous_);
    CatalogTest::TearDown();
}

void UiTest::Seed() {
    Sql("insert into Material (ID, Type, Name, Unit, Symbol, K, Mark, Density, Comment, Param1, "
        "Version) values"
        " (1, 1, '焊接钢管', 'W', 2, 0.2, 'DN', 7850, '', 0, 1),"
        " (2, 1, '镀锌钢管', 'W', 2, 0.15, 'DN', 7850, '', 0, 1),"
        " (3, 2, 'PE管', 'W', 2, 0.01, 'dn', 950, '', 0, 1);");
    Sql("insert into PipeSpec (ID, MatlID, DN, InsD, OutD, Thickness, MinV, MaxV, MinH, MaxH, "
        "MinR, MaxR, Version)"
        " values (11, 1, 15, 15.75, 21.25, 2.75, 0.3, 0.8, 0, 0, 100, 300, 1),"
        " (12, 1, 20, 21.25, 26.75, 2.75, 0.4, 1.0, 0, 0, 100, 300, 1),"
        " (13, 1, 25, 27.0, 33.5, 3.25, 0.5, 1.2, 0, 0, 100, 300, 1),"
        " (21, 2, 32, 35.75, 42.25, 3.25, 0.6, 1.4, 0, 0, 100, 300, 1),"
        " (31, 3, 20, 16.0, 20.0, 2.0, 0.3, 1.0, 0, 0, 100, 300, 1);");
    Sql("insert into DuctSpec (ID, SEC, WIDTH, HEIGHT, THICKNESS, VERSION) values"
        " (1, 0, 200, 200, 0.5, 1), (2, 0, 100, 100, 0.5, 1), (3, 0, 250, 250, 0.5, 1),"
        " (4, 1, 400, 200, 0.5, 1), (5, 1, 320, 200, 0.5, 1);");
}

namespace {
QLineEdit* OpenEditor(CTQReportGrid* grid, QTreeWidgetItem* row, int column) {
    grid->setCurrentItem(row, column);
    grid->editItem(row, column);
    return dynamic_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
}
void Settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

namespace {
void TypeInto(QLineEdit* editor, const QString& text) {
    editor->clear();
    bool ascii = true;
    for (const QChar c : text) {
        ascii = ascii && c.unicode() < 0x80;
    }
    if (ascii) {
        QTest::keyClicks(editor, text);
    } else {
        editor->setText(text); // the test library types only ASCII keys
    }
    QTest::keyClick(editor, Qt::Key_Return);
    Settle(); // the editor commits on Enter through a queued call
}
} // namespace

QLineEdit* TypeInCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text) {
    QLineEdit* editor = OpenEditor(grid, row, column);
    if (!editor) {
        return nullptr;
    }
    TypeInto(editor, text);
    return dynamic_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
}

bool EditCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text) {
    QLineEdit* editor = OpenEditor(grid, row, column);
    if (!editor) {
        return false;
    }
    TypeInto(editor, text);
    if (!grid->EndEdit()) {
        grid->CancelEdit(); // text the cell does not take: Escape
    }
    Settle();
    return true;
}

bool PasteCell(CTQReportGrid* grid, QTreeWidgetItem* row, int column, const QString& text) {
    QLineEdit* editor = OpenEditor(grid, row, column);
    if (!editor) {
        return false;
    }
    editor->setText(text); // the whole text at once, as a paste
    if (!grid->EndEdit()) {
        grid->CancelEdit();
    }
    Settle();
    return true;
}

void SelectRows(CTQReportGrid* grid, const std::vector<int>& positions) {
    grid->clearSelection();
    for (int p : positions) {
        if (QTreeWidgetItem* item = grid->topLevelItem(p)) {
            item->setSelected(true);
        }
    }
}

void ClickControl(CTQCatalogDlg& dlg, int id) {
    auto* button = dlg.findChild<QAbstractButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << "no control " << id;
    ASSERT_TRUE(button->isVisible()) << "control " << id << " is hidden";
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
}

std::vector<QString> ColumnTexts(const CTQReportGrid* grid, int column) {
    std::vector<QString> texts;
    for (int i = 0; i < grid->topLevelItemCount(); ++i) {
        texts.push_back(grid->topLevelItem(i)->text(column));
    }
    return texts;
}
