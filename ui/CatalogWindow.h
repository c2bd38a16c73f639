// The main window of the catalog program: the catalog's tables on the left,
// a read-only preview of the chosen one on the right, and the dialog that
// edits it a double-click (or 编辑) away.  The 文件 menu creates a catalog
// from the seed data, opens one (also from the recent files), saves a copy,
// and exports or imports a material's exchange file.
#pragma once

#include "ui/CatalogTables.h"

#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <memory>

class CADODatabase;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTableView;

namespace tqrvn::ui {

class CatalogWindow final : public QMainWindow {
public:
    /// dataDir: the seed data a new catalog is built from ("" when none is
    /// installed: 新建目录 then says so).
    explicit CatalogWindow(QString dataDir, QWidget* parent = nullptr);
    ~CatalogWindow() override;

    /// Opens a catalog file as the default connection and lists it; false
    /// (after a message when `tell`) when it cannot be opened.
    bool Open(const QString& path, bool tell = true);
    /// Opens a catalog on a database server (a connection string or a
    /// postgresql:// URI) as the default connection and lists it; false
    /// (after a message when `tell`, the password masked) when it cannot.
    /// A server is never kept among the recent files: its text may hold a
    /// password.
    bool OpenServer(const QString& connection, bool tell = true);
    const QString& Path() const { return m_path; }

    /// Shows a table in the preview.
    void ShowTable(CatalogTable table);
    CatalogTable CurrentTable() const;
    const CatalogTableModel& Preview() const { return *m_model; }
    QTableView* PreviewView() const { return m_view; }

    /// The menu commands, also for tests: each asks for its file with a file
    /// dialog when `path` is empty.
    bool NewCatalog(QString path = QString());
    bool SaveCopy(QString path = QString());
    bool ExportMaterial(QString path = QString());
    bool ImportMaterial(QString path = QString());
    /// Opens the dialog that edits the current table.
    void EditCurrent();
    /// The text of 关于.
    QString AboutText() const;
    /// The recent files, newest first.
    QStringList RecentFiles() const;

private:
    void BuildMenus();
    void UpdateRecentMenu();
    void Remember(const QString& path);
    void Refresh();
    void AskServer();
    bool SaveServerCopy(const std::filesystem::path& target);
    void UpdateTitle();
    void Tell(const QString& text, bool error);
    /// The material of the selected preview row (a pipe table), or -1.
    long SelectedMaterial() const;

    QString m_dataDir;
    QString m_path;                         // the file, or the server shown masked
    std::unique_ptr<CADODatabase> m_server; // the open server catalog (the default connection)
    QListWidget* m_tables = nullptr;
    QTableView* m_view = nullptr;
    CatalogTableModel* m_model = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_edit = nullptr;
    QMenu* m_recent = nullptr;
};

} // namespace tqrvn::ui
