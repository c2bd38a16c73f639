// tqrvn-catalog: the program of the people who keep the catalog.  Its main
// window lists the catalog's tables with a preview of each and opens the
// dialog that edits it; the 文件 menu creates, opens and copies catalogs and
// exports and imports materials.
//
//   tqrvn-catalog [--catalog PATH] [--dialog NAME [--dn DN] [--valve-kind K]] [--screenshot FILE
//   [--size WxH]]
//
// --dialog opens one dialog at start (pipe0 to pipe3, duct, water, steam,
// valve); with --screenshot the dialog (or without --dialog the main window)
// is saved as a PNG image once shown, at the size it opens with unless
// --size is given, and the program ends.  --help works without a display.
#include "TQRVNBase.h"
#include "ui/CatalogWindow.h"
#include "ui/TQRVNBaseUI.h"
#include "ui/UiNumbers.h"

#include "catalog/CatalogBuilder.h"
#include "db/NumberText.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <string>

namespace {

constexpr int kDefaultDn = 50;
constexpr int kDefaultValveKind = 1;

struct Options {
    QCommandLineOption catalog{QStringLiteral("catalog"), QStringLiteral("Catalog file to open."),
                               QStringLiteral("PATH")};
    QCommandLineOption dialog{
        QStringLiteral("dialog"),
        QStringLiteral("Dialog to open at start: pipe0, pipe1, pipe2, pipe3, duct, water, "
                       "steam, valve."),
        QStringLiteral("NAME")};
    QCommandLineOption shot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save the dialog of --dialog (or the main window) as PNG and quit."),
        QStringLiteral("FILE")};
    QCommandLineOption size{
        QStringLiteral("size"),
        QStringLiteral("Window size of the screenshot (default: the size it opens with)."),
        QStringLiteral("WxH")};
    QCommandLineOption dn{
        QStringLiteral("dn"),
        QStringLiteral("Nominal diameter (mm) of the valve dialog's segment (default 50)."),
        QStringLiteral("DN")};
    QCommandLineOption kind{
        QStringLiteral("valve-kind"),
        QStringLiteral("Fittings of the valve dialog: 1 steel pipe (default), 2 plastic pipe."),
        QStringLiteral("K")};
};

// Saves the window shown (the modal dialog when one runs) to a PNG file and
// closes it.
void ScreenshotWhenShown(const QString& file, QSize size, QWidget* fallback) {
    QTimer::singleShot(500, [file, size, fallback] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            w = fallback;
        }
        if (!w || !w->isVisible()) {
            ScreenshotWhenShown(file, size, fallback);
            return;
        }
        if (size.isValid()) {
            w->resize(size);
            QApplication::processEvents();
        }
        if (!w->grab().save(file, "PNG")) {
            std::fprintf(stderr, "tqrvn-catalog: cannot write %s\n",
                         file.toLocal8Bit().constData());
        }
        w->close();
    });
}

// A whole number as the library reads them ("50", "+3"); false for anything else.
bool ReadInt(const QString& text, int& value) {
    return RVN::ParseInteger(text.trimmed().toStdString(), value);
}

bool IntOption(const QCommandLineParser& parser, const QCommandLineOption& option, int min, int max,
               const char* what, int& value) {
    if (!parser.isSet(option)) {
        return true;
    }
    int v = 0;
    if (!ReadInt(parser.value(option), v) || v < min || v > max) {
        std::fprintf(stderr, "tqrvn-catalog: --%s takes %s\n",
                     option.names().front().toLocal8Bit().constData(), what);
        return false;
    }
    value = v;
    return true;
}

// Runs the dialog --dialog names; false for an unknown name.
bool RunDialog(const QString& dialog, int dn, int valveKind, bool ask) {
    static CTQWaterProp water;
    static CTQSteamProp steam;
    static CTQArray<CTQPipeValve> valves;
    if (dialog == QLatin1String("duct")) {
        RVN::ShowDuctSpecDlg();
    } else if (dialog == QLatin1String("water")) {
        RVN::ShowWaterPropDlg(water);
    } else if (dialog == QLatin1String("steam")) {
        RVN::ShowSteamPropDlg(steam);
    } else if (dialog == QLatin1String("valve")) {
        const double total = RVN::ShowPipeValveDlg(valves, dn, valveKind, 1);
        if (total >= 0.0 && ask) {
            std::printf("DN %d: %s\n", dn, tqrvn::ui::FixedText(total, 2).toLatin1().constData());
        }
    } else if (dialog.startsWith(QLatin1String("pipe"))) {
        int kind = 0;
        if (dialog.size() > 4 && !ReadInt(dialog.mid(4), kind)) {
            return false;
        }
        RVN::ShowPipeSpecDlg(kind);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keep the TQRVNBase engineering catalog: browse its tables, "
                       "edit them in the catalog dialogs, create, copy, export and "
                       "import."));
    const QCommandLineOption help = parser.addHelpOption();
    Options o;
    parser.addOptions({o.catalog, o.dialog, o.dn, o.kind, o.shot, o.size});
    // Options are read before any display is needed, so --help and usage
    // errors work without one.
    if (!parser.parse(args)) {
        std::fprintf(stderr, "tqrvn-catalog: %s\n", parser.errorText().toLocal8Bit().constData());
        return 1;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("tqrvn-catalog"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    int dn = kDefaultDn;
    int valveKind = kDefaultValveKind;
    if (!IntOption(parser, o.dn, 1, 10000, "a nominal diameter of 1 to 10000 mm", dn) ||
        !IntOption(parser, o.kind, 1, 2, "1 (steel pipe) or 2 (plastic pipe)", valveKind)) {
        return 1;
    }
    if (!RVN::EnsureDialogApplication()) {
        return 2;
    }
    QCoreApplication::setApplicationName(QStringLiteral("tqrvn-catalog"));
    // Qt's own dialogs (files, input) in Chinese like the catalog dialogs.
    static QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtChinese);
    }

    tqrvn::ui::CatalogWindow window(QString::fromStdString(RVN::SeedDataFolder()));
    QString path = parser.value(o.catalog);
    if (path.isEmpty()) {
        std::string defaultPath;
        RVN::GetDataSourceFileName(defaultPath);
        path = QString::fromLocal8Bit(defaultPath.c_str());
    }
    const bool shot = parser.isSet(o.shot);
    if (!window.Open(path, !shot)) {
        std::fprintf(stderr, "tqrvn-catalog: cannot open the catalog %s\n",
                     path.toLocal8Bit().constData());
        if (shot) {
            return 1;
        }
    }
    if (shot) {
        const QStringList wh = parser.value(o.size).split(QLatin1Char('x'));
        int w = 0;
        int h = 0;
        const QSize size =
            wh.size() == 2 && ReadInt(wh[0], w) && ReadInt(wh[1], h) ? QSize(w, h) : QSize();
        ScreenshotWhenShown(parser.value(o.shot), size, &window);
    }
    const QString dialog = parser.value(o.dialog);
    if (!dialog.isEmpty()) {
        if (!RunDialog(dialog, dn, valveKind, !shot)) {
            std::fprintf(stderr, "tqrvn-catalog: unknown dialog %s\n",
                         dialog.toLocal8Bit().constData());
            return 1;
        }
        if (shot) {
            RVN::CloseRVNBaseDataBase();
            return 0;
        }
    }
    window.show();
    const int rc = QApplication::exec();
    RVN::CloseRVNBaseDataBase();
    return rc;
}
