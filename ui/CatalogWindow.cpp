#include "ui/CatalogWindow.h"

#include "ui/CTQPrompter.h"
#include "ui/RVNDialogs.h"
#include "ui/UiNumbers.h"

#include "catalog/CTQPipeMatl.h"
#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogChecks.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "db/ADOFault.h"
#include "db/ADORecordset.h"
#include "design/DesignTypes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace tqrvn::ui {

namespace {

constexpr int kMaxRecent = 8;
const char* const kRecentKey = "RecentFiles";

// Fittings the valve dialog lists and the DN it proposes.
constexpr int kValveKind = 1;
constexpr int kDefaultDn = 50;

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("TQRVNBase"), QStringLiteral("tqrvn-catalog"));
}

std::string Local(const QString& path) {
    return path.toLocal8Bit().toStdString();
}

QString DbError(CADODatabase* db) {
    if (!db) {
        return QString();
    }
    const std::string text = db->GetLastErrorString();
    return QString::fromUtf8(ADOFaultText(ClassifyADOError(db->GetLastError(), text))) +
           QStringLiteral("\n") + QString::fromStdString(text);
}

// Property rows chosen and fittings counted so far: each dialog opens on the
// previous choice.
CTQWaterProp g_water;
CTQSteamProp g_steam;
CTQArray<CTQPipeValve> g_valves;

} // namespace

CatalogWindow::CatalogWindow(QString dataDir, QWidget* parent)
    : QMainWindow(parent), m_dataDir(std::move(dataDir)) {
    m_tables = new QListWidget(this);
    m_tables->setObjectName(QStringLiteral("tables"));
    for (CatalogTable t : CatalogTables()) {
        m_tables->addItem(TableTitle(t));
    }
    m_model = new CatalogTableModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("preview"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_edit = new QPushButton(QStringLiteral("编辑(&E)..."), this);
    m_status = new QLabel(this);

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_status, 1);
    bar->addWidget(m_edit);
    rightLayout->addLayout(bar);
    rightLayout->addWidget(m_view, 1);
    auto* split = new QSplitter(this);
    split->addWidget(m_tables);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});
    setCentralWidget(split);

    connect(m_tables, &QListWidget::currentRowChanged, this, [this](int) { Refresh(); });
    connect(m_tables, &QListWidget::itemActivated, this, [this] { EditCurrent(); });
    connect(m_view, &QTableView::doubleClicked, this, [this] { EditCurrent(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { EditCurrent(); });
    BuildMenus();
    m_tables->setCurrentRow(0);
    resize(860, 520);
    UpdateTitle();
}

CatalogWindow::~CatalogWindow() {
    if (m_server && RVN::GetRVNBaseDataBase() == m_server.get()) {
        RVN::SetRVNBaseDataBase(nullptr);  // the library must not keep a closed connection
    }
}

void CatalogWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("新建目录(&N)..."), this, [this] { NewCatalog(); });
    file->addAction(QStringLiteral("打开(&O)..."), this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("打开目录数据库"), m_path,
                                         QStringLiteral("目录数据库 (*.mdb);;所有文件 (*)"));
        if (!path.isEmpty()) {
            Open(path);
        }
    });
    file->addAction(QStringLiteral("打开服务器目录(&S)..."), this, [this] { AskServer(); });
    m_recent = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    file->addAction(QStringLiteral("另存副本(&A)..."), this, [this] { SaveCopy(); });
    file->addSeparator();
    file->addAction(QStringLiteral("导出材料(&E)..."), this, [this] { ExportMaterial(); });
    file->addAction(QStringLiteral("导入材料(&I)..."), this, [this] { ImportMaterial(); });
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), this, [this] { close(); });
    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->addAction(QStringLiteral("编辑当前表(&E)..."), this, [this] { EditCurrent(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(QStringLiteral("关于(&A)..."), this, [this] { Tell(AboutText(), false); });
    UpdateRecentMenu();
}

QStringList CatalogWindow::RecentFiles() const {
    return ProgramSettings().value(QString::fromLatin1(kRecentKey)).toStringList();
}

void CatalogWindow::Remember(const QString& path) {
    QStringList recent = RecentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaxRecent) {
        recent.removeLast();
    }
    ProgramSettings().setValue(QString::fromLatin1(kRecentKey), recent);
    UpdateRecentMenu();
}

void CatalogWindow::UpdateRecentMenu() {
    m_recent->clear();
    const QStringList recent = RecentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        m_recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this,
                            [this, path] { Open(path); });
    }
    m_recent->setEnabled(!recent.isEmpty());
}

bool CatalogWindow::Open(const QString& path, bool tell) {
    if (!QFileInfo(path).isFile() || !RVN::LoadRVNBaseDataBase(Local(path).c_str())) {
        if (tell) {
            Tell(QStringLiteral("无法打开目录数据库：\n%1").arg(path), true);
        }
        return false;
    }
    m_server.reset();  // no longer the default connection
    m_path = QFileInfo(path).absoluteFilePath();
    Remember(m_path);
    UpdateTitle();
    Refresh();
    return true;
}

CatalogTable CatalogWindow::CurrentTable() const {
    const int row = m_tables->currentRow();
    const auto& tables = CatalogTables();
    return row >= 0 && row < static_cast<int>(tables.size()) ? tables[static_cast<std::size_t>(row)]
                                                             : CatalogTable::WaterPipe;
}

void CatalogWindow::ShowTable(CatalogTable table) {
    const auto& tables = CatalogTables();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (tables[i] == table) {
            m_tables->setCurrentRow(static_cast<int>(i));
        }
    }
    Refresh();
}

void CatalogWindow::Refresh() {
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    const bool read = m_model->Load(CurrentTable(), db);
    m_view->resizeColumnsToContents();
    m_edit->setEnabled(db != nullptr);
    if (!db) {
        m_status->setText(QStringLiteral("没有打开的目录数据库。"));
    } else if (!read) {
        m_status->setText(
            QStringLiteral("%1：读取失败。%2").arg(TableTitle(CurrentTable()), DbError(db)));
    } else {
        m_status->setText(
            QStringLiteral("%1：%2 行").arg(TableTitle(CurrentTable())).arg(m_model->rowCount()));
    }
}

void CatalogWindow::UpdateTitle() {
    const QString name = QStringLiteral("tqrvn-catalog 目录管理");
    setWindowTitle(m_path.isEmpty() ? name : name + QStringLiteral(" - ") + m_path);
}

void CatalogWindow::Tell(const QString& text, bool error) {
    RVN::Prompter().Tell(this, text, RVN::PromptCaption(),
                         error ? CTQPrompter::Icon::Error : CTQPrompter::Icon::Information);
}

void CatalogWindow::EditCurrent() {
    if (!RVN::GetRVNBaseDataBase()) {
        Tell(QStringLiteral("没有打开的目录数据库。"), true);
        return;
    }
    const CatalogTable table = CurrentTable();
    if (const int kind = MaterialKind(table)) {
        RVN::ShowPipeSpecDlg(kind);
    } else if (table == CatalogTable::Ducts) {
        RVN::ShowDuctSpecDlg();
    } else if (table == CatalogTable::Water) {
        RVN::ShowWaterPropDlg(g_water);
    } else if (table == CatalogTable::Steam) {
        RVN::ShowSteamPropDlg(g_steam);
    } else {
        QInputDialog ask(this);
        ask.setWindowTitle(QStringLiteral("局阻系数"));
        ask.setLabelText(QStringLiteral("管段的公称直径 DN (mm):"));
        ask.setInputMode(QInputDialog::IntInput);
        ask.setIntRange(1, 10000);
        ask.setIntValue(kDefaultDn);
        ask.setOkButtonText(QStringLiteral("确定"));
        ask.setCancelButtonText(QStringLiteral("取消"));
        if (ask.exec() != QDialog::Accepted) {
            return;
        }
        const int dn = ask.intValue();
        const double total = RVN::ShowPipeValveDlg(g_valves, dn, kValveKind, 1);
        if (total >= 0.0) {
            Tell(QStringLiteral("DN %1 管段总的局阻系数：%2").arg(dn).arg(FixedText(total, 2)),
                 false);
        }
    }
    Refresh();
}

QString CatalogWindow::AboutText() const {
    QString text =
        QStringLiteral("tqrvn-catalog：TQRVNBase 工程目录的维护程序\n\nTQRVNBase 库版本：%1")
            .arg(QString::fromLatin1(RVN::LibraryVersion()));
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    if (!db) {
        return text + QStringLiteral("\n没有打开的目录数据库。");
    }
    // Every row carries the data version it was last issued with; the
    // catalog's version is the newest of them.
    long version = 0;
    CADORecordset rs(db);
    const char* sql =
        "select max(v) from (select max(Version) as v from Material union all select max(Version)"
        " from PipeSpec union all select max(VERSION) from DuctSpec union all select max(Version)"
        " from PipeValve union all select max(Version) from WaterProp union all"
        " select max(Version) from SteamProp)";
    if (rs.Open(sql, CADORecordset::openUnknown)) {
        rs.GetFieldValue(0, version);
        rs.Close();
    }
    return text + QStringLiteral("\n目录数据库：%1\n目录数据版本：%2").arg(m_path).arg(version);
}

bool CatalogWindow::NewCatalog(QString path) {
    if (m_dataDir.isEmpty()) {
        Tell(QStringLiteral("找不到目录的种子数据（schema.sql），无法新建目录。"), true);
        return false;
    }
    if (path.isEmpty()) {
        // The file dialog asks before an existing file is replaced.
        path = QFileDialog::getSaveFileName(this, QStringLiteral("新建目录数据库"),
                                            QStringLiteral("RVNDatasource.mdb"),
                                            QStringLiteral("目录数据库 (*.mdb)"));
        if (path.isEmpty()) {
            return false;
        }
    }
    if (QFileInfo(path).absoluteFilePath() == m_path) {
        Tell(QStringLiteral("不能用新目录覆盖正在使用的目录数据库。"), true);
        return false;
    }
    std::string error;
    if (!RVN::BuildCatalog(Local(path), Local(m_dataDir), true, error)) {
        Tell(
            QStringLiteral("新建目录失败，原有文件未改动：\n%1").arg(QString::fromStdString(error)),
            true);
        return false;
    }
    return Open(path);
}

bool CatalogWindow::SaveCopy(QString path) {
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    if (!db) {
        Tell(QStringLiteral("没有打开的目录数据库。"), true);
        return false;
    }
    if (path.isEmpty()) {
        path = QFileDialog::getSaveFileName(this, QStringLiteral("另存目录副本"), m_path,
                                            QStringLiteral("目录数据库 (*.mdb)"));
        if (path.isEmpty()) {
            return false;
        }
    }
    const std::filesystem::path target(Local(QFileInfo(path).absoluteFilePath()));
    if (m_server) {
        return SaveServerCopy(target);
    }
    if (target == std::filesystem::path(Local(m_path))) {
        Tell(QStringLiteral("副本不能与正在使用的目录数据库同名。"), true);
        return false;
    }
    // The engine writes a consistent copy beside the target, which then
    // replaces it at once: an earlier file stays whole if anything fails.
    std::filesystem::path temp = target;
    temp += ".tqrvn-copy";
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    std::string quoted = temp.string();
    for (std::size_t i = quoted.find('\''); i != std::string::npos; i = quoted.find('\'', i + 2)) {
        quoted.insert(i, 1, '\'');
    }
    db->ClearLastError();
    const bool copied = db->Execute("VACUUM INTO '" + quoted + "'") != 0;
    if (copied) {
        std::filesystem::rename(temp, target, ec);
    }
    if (!copied || ec) {
        const QString why = copied ? QString::fromStdString(ec.message()) : DbError(db);
        std::filesystem::remove(temp, ec);
        Tell(QStringLiteral("副本未能保存：\n%1").arg(why), true);
        return false;
    }
    Tell(QStringLiteral("目录副本已保存为：\n%1").arg(QString::fromStdString(target.string())),
         false);
    return true;
}

long CatalogWindow::SelectedMaterial() const {
    if (MaterialKind(CurrentTable()) == 0) {
        return -1;
    }
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_model->RowId(rows.front().row());
}

bool CatalogWindow::ExportMaterial(QString path) {
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    const long id = SelectedMaterial();
    CTQPipeMatl matl;
    if (!db || id < 0 || !matl.UpdateData(id, true, db)) {
        Tell(QStringLiteral("请先在材料表中选择要导出的材料。"), true);
        return false;
    }
    if (path.isEmpty()) {
        path =
            QFileDialog::getSaveFileName(this, QStringLiteral("导出材料"),
                                         QString::fromStdString(matl.Name) + QStringLiteral(".xml"),
                                         QStringLiteral("材料文件 (*.xml)"));
        if (path.isEmpty()) {
            return false;
        }
    }
    CTQArray<CTQPipeSpec> specs;
    CTQPipeMatlManager::GetAllSpec(specs, matl.ID, db);
    std::string error;
    if (!CTQPipeMatlManager::SaveMatlToXML(matl, specs, Local(path).c_str(), error)) {
        Tell(QStringLiteral("材料文件未能写入，原有文件未改动：\n%1")
                 .arg(QString::fromStdString(error)),
             true);
        return false;
    }
    Tell(QStringLiteral("已导出材料“%1”及其 %2 个规格。")
             .arg(QString::fromStdString(matl.Name))
             .arg(specs.GetSize()),
         false);
    return true;
}

namespace {

// Why a material read from a file cannot join the catalog, or "".
QString ImportRefusal(const CTQPipeMatl& matl, const CTQArray<CTQPipeSpec>& specs,
                      CADODatabase* db) {
    CTQArray<CTQPipeMatl> incoming;
    incoming.Add(matl);
    CTQArray<CTQPipeMatl> stored;
    CTQPipeMatlManager::GetAllMatl(stored, 0, db);
    const RVN::TQEditCheck name = RVN::CheckMaterialNames(incoming, stored, CTQArray<long>());
    const QString n = QString::fromStdString(matl.Name);
    if (name.problem == RVN::TQEditProblem::EmptyName) {
        return QStringLiteral("文件中的材料没有名称。");
    }
    if (name.problem == RVN::TQEditProblem::NameTaken) {
        const QString kind = QString::fromUtf8(RVN::CategoryTitleChinese(name.otherKind));
        return QStringLiteral("目录中已有名为“%1”的%2材料。").arg(n, kind);
    }
    const RVN::TQEditCheck sizes = RVN::CheckPipeSizes(specs);
    if (sizes.problem == RVN::TQEditProblem::ZeroDN) {
        return QStringLiteral("文件中第 %1 个规格的 DN 为 %2。").arg(sizes.row + 1).arg(sizes.dn);
    }
    if (sizes.problem == RVN::TQEditProblem::DnTwice) {
        return QStringLiteral("文件中 DN %1 出现了两次（第 %2 个与第 %3 个规格）。")
            .arg(sizes.dn)
            .arg(sizes.firstRow + 1)
            .arg(sizes.row + 1);
    }
    return QString();
}

// Adds the material and its sizes under new IDs, all or nothing.
bool AddMaterial(CADODatabase* db, CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs,
                 QString& error) {
    db->BeginTransaction();
    bool ok = true;
    try {
        matl.ID = -1;
        ok = matl.Add(db);
        for (INT_PTR i = 0; ok && i < specs.GetSize(); ++i) {
            specs[i].ID = -1;
            specs[i].MatlID = matl.ID;
            ok = specs[i].Add(db);
        }
        if (ok) {
            db->CommitTransaction();
            return true;
        }
        error = DbError(db);
    } catch (const RVNADO::ComError& e) {
        error = QString::fromStdString(e.Description().empty() ? e.what() : e.Description());
    }
    try {
        db->RollbackTransaction();
    } catch (const RVNADO::ComError&) {
        // the connection is gone: nothing was committed
    }
    return false;
}

} // namespace

bool CatalogWindow::ImportMaterial(QString path) {
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    if (!db) {
        Tell(QStringLiteral("没有打开的目录数据库。"), true);
        return false;
    }
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QStringLiteral("导入材料"), QString(),
                                            QStringLiteral("材料文件 (*.xml);;所有文件 (*)"));
        if (path.isEmpty()) {
            return false;
        }
    }
    CTQPipeMatl matl;
    CTQArray<CTQPipeSpec> specs;
    std::string error;
    if (!CTQPipeMatlManager::LoadMatlFromXML(matl, specs, Local(path).c_str(), error)) {
        Tell(QStringLiteral("不是可读的材料文件，未导入：\n%1").arg(QString::fromStdString(error)),
             true);
        return false;
    }
    const QString refused = ImportRefusal(matl, specs, db);
    if (!refused.isEmpty()) {
        Tell(refused + QStringLiteral("\n未导入任何数据。"), true);
        return false;
    }
    QString failed;
    if (!AddMaterial(db, matl, specs, failed)) {
        Tell(QStringLiteral("导入失败，目录未改动：\n%1").arg(failed), true);
        return false;
    }
    for (CatalogTable t : CatalogTables()) {
        if (MaterialKind(t) == matl.Type) {
            ShowTable(t);
        }
    }
    Refresh();
    Tell(QStringLiteral("已导入材料“%1”及其 %2 个规格。")
             .arg(QString::fromStdString(matl.Name))
             .arg(specs.GetSize()),
         false);
    return true;
}

} // namespace tqrvn::ui
