// tqrvn-catalog: a small program for the people who keep the catalog.  It
// opens a catalog file (the default one, --catalog PATH, or File > Open) and
// offers the catalog dialogs.
//
//   tqrvn-catalog [--catalog PATH] [--dialog NAME [--dn DN] [--valve-kind K] [--screenshot FILE [--size WxH]]]
//
// --dialog opens one dialog at start (pipe, pipe1, pipe2, pipe3, duct,
// water, steam, valve); with --screenshot the dialog (resized to --size when
// given) is saved as a PNG image once shown and the program ends.  The valve
// dialog counts the fittings of a segment of one nominal diameter: it asks
// for it first (--dn gives the proposal, default 50; with --screenshot it is
// used as given) and shows the total coefficient after OK.  It lists the
// fittings of steel pipe (--valve-kind 1, the default) or of plastic pipe (2).
#include "TQRVNBase.h"
#include "ui/TQRVNBaseUI.h"
#include "ui/UiNumbers.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// The nominal diameter the valve dialog proposes, mm.
constexpr int kDefaultDn = 50;
// The fittings the valve dialog lists: those of steel pipe.
constexpr int kDefaultValveKind = 1;

// Property records chosen and fittings counted so far: each dialog opens
// on the previous choice.
CTQWaterProp g_water;
CTQSteamProp g_steam;
CTQArray<CTQPipeValve> g_valves;

// Runs the valve dialog for one segment, asking for its DN first unless
// `ask` is false, and tells the total coefficient after OK.
void RunValveDialog(QWidget* parent, int dn, int kind, bool ask) {
    if (ask) {
        bool ok = false;
        dn = QInputDialog::getInt(parent, QStringLiteral("局阻系数"), QStringLiteral("管段的公称直径 DN (mm):"), dn, 1,
                                  10000, 1, &ok);
        if (!ok) {
            return;
        }
    }
    const double total = RVN::ShowPipeValveDlg(g_valves, dn, kind, 1);
    if (total >= 0.0) {
        RVN::Prompter().Tell(parent,
                             QStringLiteral("DN %1 管段总的局阻系数：%2").arg(dn).arg(tqrvn::ui::FixedText(total, 2)),
                             RVN::PromptCaption(), CTQPrompter::Icon::Information);
    }
}

class CatalogWindow : public QMainWindow {
public:
    CatalogWindow() {
        auto* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
        file->addAction(QStringLiteral("打开(&O)..."), this, [this] { OpenWithDialog(); });
        file->addSeparator();
        file->addAction(QStringLiteral("退出(&X)"), this, [this] { close(); });
        auto* catalog = menuBar()->addMenu(QStringLiteral("目录(&C)"));

        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        m_status = new QLabel(central);
        m_status->setWordWrap(true);
        layout->addWidget(m_status);
        struct Entry {
            QString text;
            std::function<void()> run;
        };
        const Entry entries[] = {
            {CTQPipeSpecDlg::TitleForKind(1), [] { RVN::ShowPipeSpecDlg(1); }},
            {CTQPipeSpecDlg::TitleForKind(2), [] { RVN::ShowPipeSpecDlg(2); }},
            {CTQPipeSpecDlg::TitleForKind(3), [] { RVN::ShowPipeSpecDlg(3); }},
            {CTQPipeSpecDlg::TitleForKind(0), [] { RVN::ShowPipeSpecDlg(0); }},
            {QStringLiteral("风管规格"), [] { RVN::ShowDuctSpecDlg(); }},
            {QStringLiteral("水的物理参数"), [] { RVN::ShowWaterPropDlg(g_water); }},
            {QStringLiteral("饱和水蒸气的物理参数"), [] { RVN::ShowSteamPropDlg(g_steam); }},
            {QStringLiteral("局阻系数"), [this] { RunValveDialog(this, kDefaultDn, kDefaultValveKind, true); }},
        };
        for (const Entry& e : entries) {
            auto* button = new QPushButton(e.text + QStringLiteral("..."), central);
            const std::function<void()> run = e.run;
            connect(button, &QPushButton::clicked, this, [this, run] { Run(run); });
            layout->addWidget(button);
            catalog->addAction(e.text + QStringLiteral("..."), this, [this, run] { Run(run); });
        }
        layout->addStretch();
        setCentralWidget(central);
        resize(360, 380);
        UpdateTitle();
    }

    bool Open(const QString& path) {
        const bool ok = RVN::LoadRVNBaseDataBase(path.toLocal8Bit().constData());
        m_path = ok ? path : QString();
        UpdateTitle();
        return ok;
    }

private:
    void OpenWithDialog() {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开目录数据库"), m_path,
                                                          QStringLiteral("目录数据库 (*.mdb);;所有文件 (*)"));
        if (!path.isEmpty()) {
            Open(path);
        }
    }

    void Run(const std::function<void()>& run) {
        if (!RVN::GetRVNBaseDataBase()) {
            RVN::Prompter().Tell(this, QStringLiteral("没有打开的目录数据库。"), RVN::PromptCaption(),
                                 CTQPrompter::Icon::Exclamation);
            return;
        }
        run();
    }

    void UpdateTitle() {
        const QString name = QStringLiteral("tqrvn-catalog");
        setWindowTitle(m_path.isEmpty() ? name : name + QStringLiteral(" - ") + m_path);
        m_status->setText(m_path.isEmpty() ? QStringLiteral("没有打开的目录数据库。")
                                           : QStringLiteral("目录数据库：") + m_path);
    }

    QLabel* m_status = nullptr;
    QString m_path;
};

// Saves the dialog that is shown modally to a PNG file and closes it.
void ScreenshotWhenShown(const QString& file, QSize size) {
    QTimer::singleShot(500, [file, size] {
        QWidget* dlg = QApplication::activeModalWidget();
        if (!dlg) {
            ScreenshotWhenShown(file, size);
            return;
        }
        if (size.isValid()) {
            dlg->resize(size);
            QApplication::processEvents();
        }
        if (!dlg->grab().save(file, "PNG")) {
            std::fprintf(stderr, "tqrvn-catalog: cannot write %s\n", file.toLocal8Bit().constData());
        }
        dlg->close();
    });
}

// Reads a whole-number option within min..max into value (kept when the
// option is absent); false after a message when it is out of range.
bool IntOption(const QCommandLineParser& parser, const QCommandLineOption& option, int min, int max,
               const char* what, int& value) {
    if (!parser.isSet(option)) {
        return true;
    }
    bool ok = false;
    const int v = parser.value(option).toInt(&ok);
    if (!ok || v < min || v > max) {
        std::fprintf(stderr, "tqrvn-catalog: --%s takes %s\n", option.names().front().toLocal8Bit().constData(), what);
        return false;
    }
    value = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!RVN::EnsureDialogApplication()) {
        return 2;
    }
    QCoreApplication::setApplicationName(QStringLiteral("tqrvn-catalog"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Browse and edit the TQRVNBase catalog."));
    parser.addHelpOption();
    const QCommandLineOption catalogOption(QStringLiteral("catalog"), QStringLiteral("Catalog file to open."),
                                           QStringLiteral("PATH"));
    const QCommandLineOption dialogOption(QStringLiteral("dialog"),
                                          QStringLiteral("Dialog to open at start: pipe, pipe1, pipe2, pipe3, duct, water, steam, valve."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the dialog of --dialog as PNG and quit."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Dialog size of the screenshot."),
                                        QStringLiteral("WxH"));
    const QCommandLineOption dnOption(QStringLiteral("dn"),
                                      QStringLiteral("Nominal diameter (mm) proposed by the valve dialog (default 50)."),
                                      QStringLiteral("DN"));
    const QCommandLineOption kindOption(QStringLiteral("valve-kind"),
                                        QStringLiteral("Fittings of the valve dialog: 1 steel pipe (default), 2 plastic pipe."),
                                        QStringLiteral("K"));
    parser.addOptions({catalogOption, dialogOption, dnOption, kindOption, shotOption, sizeOption});
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    parser.process(args);

    CatalogWindow window;
    QString path = parser.value(catalogOption);
    if (path.isEmpty()) {
        std::string defaultPath;
        RVN::GetDataSourceFileName(defaultPath);
        path = QString::fromLocal8Bit(defaultPath.c_str());
    }
    if (!QFileInfo::exists(path) || !window.Open(path)) {
        std::fprintf(stderr, "tqrvn-catalog: cannot open the catalog %s\n", path.toLocal8Bit().constData());
        if (parser.isSet(shotOption)) {
            return 1;
        }
    }

    int dn = kDefaultDn;
    int valveKind = kDefaultValveKind;
    if (!IntOption(parser, dnOption, 1, 10000, "a nominal diameter of 1 to 10000 mm", dn) ||
        !IntOption(parser, kindOption, 1, 2, "1 (steel pipe) or 2 (plastic pipe)", valveKind)) {
        return 1;
    }
    const QString dialog = parser.value(dialogOption);
    if (!dialog.isEmpty()) {
        if (parser.isSet(shotOption)) {
            const QStringList wh = parser.value(sizeOption).split(QLatin1Char('x'));
            const QSize size = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
            ScreenshotWhenShown(parser.value(shotOption), size);
        }
        if (dialog == QLatin1String("duct")) {
            RVN::ShowDuctSpecDlg();
        } else if (dialog == QLatin1String("water")) {
            RVN::ShowWaterPropDlg(g_water);
        } else if (dialog == QLatin1String("steam")) {
            RVN::ShowSteamPropDlg(g_steam);
        } else if (dialog == QLatin1String("valve")) {
            RunValveDialog(nullptr, dn, valveKind, !parser.isSet(shotOption));
        } else if (dialog.startsWith(QLatin1String("pipe"))) {
            RVN::ShowPipeSpecDlg(dialog.mid(4).toInt());
        } else {
            std::fprintf(stderr, "tqrvn-catalog: unknown dialog %s\n", dialog.toLocal8Bit().constData());
            return 1;
        }
        if (parser.isSet(shotOption)) {
            RVN::CloseRVNBaseDataBase();
            return 0;
        }
    }
    window.show();
    const int rc = QApplication::exec();
    RVN::CloseRVNBaseDataBase();
    return rc;
}
