// The widget application of the dialogs when the host has none.
//
// Qt ends the process when its platform plugin cannot open a display, so the
// platform is checked first: QT_QPA_PLATFORM when set (a list of names tried
// in order, each with optional ":options"), otherwise the X display of
// DISPLAY or the Wayland display of WAYLAND_DISPLAY, each opened once through
// the client library its plugin loads.  The application created here lives
// until the process ends: Qt does not support re-creating it reliably, and a
// host may open the dialogs many times.
#include "ui/CTQCatalogDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QThread>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// Tries a connection through a client library loaded at run time.
bool XDisplayOpens(const char* display) {
    void* lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        return false;
    }
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(lib, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(lib, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(lib, "xcb_disconnect"));
    bool ok = false;
    if (connect && hasError && disconnect) {
        void* c = connect(display, nullptr);
        ok = c && hasError(c) == 0;
        if (c) {
            disconnect(c);
        }
    }
    dlclose(lib);
    return ok;
}

bool WaylandDisplayOpens(const char* display) {
    void* lib = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        return false;
    }
    using Connect = void* (*)(const char*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(lib, "wl_display_connect"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(lib, "wl_display_disconnect"));
    bool ok = false;
    if (connect && disconnect) {
        if (void* d = connect(display)) {
            disconnect(d);
            ok = true;
        }
    }
    dlclose(lib);
    return ok;
}

// Whether the platform plugin's file is installed where Qt looks for it.
bool PluginInstalled(const QString& name) {
    QStringList files;
    if (name == QLatin1String("wayland")) {
        files << QStringLiteral("libqwayland-generic.so");
    } else if (name.startsWith(QLatin1String("wayland-"))) {
        files << QStringLiteral("libqwayland-%1.so").arg(name.mid(8));
    } else {
        files << QStringLiteral("libq%1.so").arg(name);
    }
    QStringList dirs;
    if (const char* p = Env("QT_QPA_PLATFORM_PLUGIN_PATH")) {
        dirs << QString::fromLocal8Bit(p);
    }
    if (const char* p = Env("QT_PLUGIN_PATH")) {
        for (const QString& d :
             QString::fromLocal8Bit(p).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            dirs << d + QStringLiteral("/platforms");
        }
    }
    dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    for (const QString& d : dirs) {
        for (const QString& f : files) {
            if (QFileInfo::exists(d + QLatin1Char('/') + f)) {
                return true;
            }
        }
    }
    return false;
}

// Whether a platform of QT_QPA_PLATFORM's list can start here.
bool PlatformUsable(const QString& entry) {
    const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
    if (name.isEmpty() || !PluginInstalled(name)) {
        return false;
    }
    if (name == QLatin1String("xcb")) {
        return Env("DISPLAY") && XDisplayOpens(Env("DISPLAY"));
    }
    if (name.startsWith(QLatin1String("wayland"))) {
        return Env("WAYLAND_DISPLAY") && WaylandDisplayOpens(Env("WAYLAND_DISPLAY"));
    }
    return true; // off-screen, frame-buffer, VNC ...: nothing to open beforehand
}

QApplication* g_ownApplication = nullptr;

} // namespace

namespace RVN {

bool EnsureDialogApplication() {
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(existing)) {
            std::fprintf(stderr, "TQRVNBaseUI: the host runs a Qt application without widgets; "
                                 "the catalog dialogs cannot be shown.\n");
            return false;
        }
        if (QThread::currentThread() != existing->thread()) {
            std::fprintf(stderr, "TQRVNBaseUI: the catalog dialogs must be called on the "
                                 "application's user-interface thread.\n");
            return false;
        }
        return true;
    }

    static std::vector<std::string> args{"TQRVNBase"};
    if (const char* platform = Env("QT_QPA_PLATFORM")) {
        // Qt tries the names in order and aborts when none starts: let it
        // start only when one of them can.
        bool usable = false;
        for (const QString& entry :
             QString::fromLocal8Bit(platform).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (PlatformUsable(entry)) {
                usable = true;
                break;
            }
        }
        if (!usable) {
            std::fprintf(
                stderr,
                "TQRVNBaseUI: the platform \"%s\" of QT_QPA_PLATFORM cannot be started here; "
                "the catalog dialogs are not shown.\n",
                platform);
            return false;
        }
    } else if (Env("DISPLAY") && PluginInstalled(QStringLiteral("xcb")) &&
               XDisplayOpens(Env("DISPLAY"))) {
        args.insert(args.end(), {"-platform", "xcb"});
    } else if (Env("WAYLAND_DISPLAY") && PluginInstalled(QStringLiteral("wayland")) &&
               WaylandDisplayOpens(Env("WAYLAND_DISPLAY"))) {
        args.insert(args.end(), {"-platform", "wayland"});
    } else {
        std::fprintf(stderr, "TQRVNBaseUI: no display (DISPLAY or WAYLAND_DISPLAY) can be opened; "
                             "the catalog dialogs are not shown.\n");
        return false;
    }

    static int argc = 0;
    static std::vector<char*> argv;
    argv.clear();
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    argc = static_cast<int>(args.size());
    g_ownApplication = new QApplication(argc, argv.data());
    return true;
}

} // namespace RVN
