#include "ui/CTQPrompter.h"

#include "catalog/RVNDataBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <utility>

CTQPrompter::~CTQPrompter() = default;

namespace {

// Standard buttons in Chinese, whatever translations the application loaded.
void ChineseButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
        {QMessageBox::Ok, "确定"},
        {QMessageBox::Cancel, "取消"},
        {QMessageBox::Yes, "是"},
        {QMessageBox::No, "否"}};
    for (const auto& [which, text] : texts) {
        if (QAbstractButton* b = box.button(which)) {
            b->setText(QString::fromUtf8(text));
        }
    }
}

class MessageBoxPrompter final : public CTQPrompter {
public:
    bool Confirm(QWidget* parent, const QString& text, const QString& caption) override {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                        parent);
        box.setDefaultButton(QMessageBox::Ok);
        ChineseButtons(box);
        return box.exec() == QMessageBox::Ok;
    }
    void Tell(QWidget* parent, const QString& text, const QString& caption, Icon icon) override {
        const QMessageBox::Icon qtIcon = icon == Icon::Error         ? QMessageBox::Critical
                                         : icon == Icon::Exclamation ? QMessageBox::Warning
                                                                     : QMessageBox::Information;
        QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, parent);
        ChineseButtons(box);
        box.exec();
    }
};

MessageBoxPrompter g_messageBoxes;
CTQPrompter* g_prompter = nullptr;

// The core library's messages become message boxes while a widget
// application runs on this thread; otherwise they go where they went before
// this library was loaded.
RVN::MessageSink g_previousSink = nullptr;

void MessageBoxSink(const std::string& text, const std::string& caption) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app && QThread::currentThread() == app->thread()) {
        RVN::Prompter().Tell(QApplication::activeWindow(), QString::fromStdString(text),
                             QString::fromStdString(caption), CTQPrompter::Icon::Exclamation);
    } else if (g_previousSink) {
        g_previousSink(text, caption);
    } else {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
}

// Installed when the library is loaded, removed when it is unloaded so that
// the core library never calls into an unloaded module.
struct SinkInstaller {
    SinkInstaller() { g_previousSink = RVN::SetMessageSink(MessageBoxSink); }
    ~SinkInstaller() {
        RVN::MessageSink current = RVN::SetMessageSink(g_previousSink);
        if (current != MessageBoxSink) {
            RVN::SetMessageSink(current); // someone else installed a sink since: keep it
        }
    }
} g_sinkInstaller;

} // namespace

namespace RVN {

CTQPrompter* SetPrompter(CTQPrompter* prompter) {
    CTQPrompter* previous = g_prompter;
    g_prompter = prompter;
    return previous;
}

CTQPrompter& Prompter() {
    return g_prompter ? *g_prompter : g_messageBoxes;
}

QString PromptCaption() {
    return QStringLiteral("青衡提示");
}

} // namespace RVN
