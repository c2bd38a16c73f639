// The catalog program on a catalog that an office keeps on a database
// server: opening it from a connection string, and saving a copy of it as a
// catalog file (for a laptop on site).
#include "ui/CatalogWindow.h"

#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogCopy.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"

#include <QInputDialog>
#include <QLineEdit>

#include <system_error>

namespace tqrvn::ui {

void CatalogWindow::AskServer() {
    QInputDialog ask(this);
    ask.setWindowTitle(QStringLiteral("打开服务器目录"));
    ask.setLabelText(QStringLiteral("连接字符串（Provider=PostgreSQL;Host=…;Database=…;User ID=…;"
                                    "Password=…）或 postgresql:// 地址："));
    ask.setInputMode(QInputDialog::TextInput);
    ask.setOkButtonText(QStringLiteral("确定"));
    ask.setCancelButtonText(QStringLiteral("取消"));
    ask.resize(560, ask.sizeHint().height());
    if (ask.exec() == QDialog::Accepted && !ask.textValue().trimmed().isEmpty()) {
        OpenServer(ask.textValue().trimmed());
    }
}

bool CatalogWindow::OpenServer(const QString& connection, bool tell) {
    const std::string name = connection.toStdString();
    auto db = std::make_unique<CADODatabase>();
    bool open = false;
    try {
        open = RVN::IsServerCatalog(name) && db->Open(RVN::CatalogConnectionString(name));
    } catch (const std::exception&) {
        open = false;  // reported below with the connection's recorded error
    }
    if (!open) {
        if (tell) {
            const QString why = RVN::IsServerCatalog(name)
                                    ? QString::fromStdString(db->GetLastErrorString())
                                    : QStringLiteral("这不是服务器的连接字符串。");
            Tell(QStringLiteral("无法打开服务器上的目录：\n%1\n%2")
                     .arg(QString::fromStdString(RVN::CatalogDisplayName(name)), why),
                 true);
        }
        return false;
    }
    // The new connection becomes the default before the old one is closed.
    RVN::SetRVNBaseDataBase(db.get());
    m_server = std::move(db);
    m_path = QString::fromStdString(RVN::CatalogDisplayName(name));
    UpdateTitle();
    Refresh();
    return true;
}

// The server's catalog copied into a new catalog file beside the target,
// which replaces the target only once the copy is whole.
bool CatalogWindow::SaveServerCopy(const std::filesystem::path& target) {
    std::filesystem::path temp = target;
    temp += ".tqrvn-copy";
    std::string error;
    bool ok = RVN::BuildEmptyCatalog(temp.string(), RVN::SeedDataFolder(), true, error);
    if (ok) {
        CADODatabase file;
        ok = file.Open(RVN::CatalogConnectionString(temp.string())) &&
             RVN::CopyCatalog(*m_server, file, std::string(), false, error);
        if (!ok && error.empty()) {
            error = file.GetLastErrorString();
        }
        file.Close();
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp, target, ec);
        ok = !ec;
        if (ec) {
            error = ec.message();
        }
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        Tell(QStringLiteral("副本未能保存：\n%1").arg(QString::fromStdString(error)), true);
        return false;
    }
    Tell(QStringLiteral("目录副本已保存为：\n%1").arg(QString::fromStdString(target.string())),
         false);
    return true;
}

} // namespace tqrvn::ui
