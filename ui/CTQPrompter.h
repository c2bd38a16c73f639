// The questions and notices the catalog dialogs put to the user.
//
// Every confirmation and error message of the dialogs goes through the one
// installed CTQPrompter.  The default shows a QMessageBox; a host or a test
// installs its own to answer or to record them.
#pragma once

#include "TQRVNBaseExport.h"

#include <QString>

class QWidget;

class TQRVNBASEUI_API CTQPrompter {
public:
    enum class Icon { Information, Exclamation, Error };

    virtual ~CTQPrompter();

    /// An OK/Cancel question with the exclamation icon; true when answered OK.
    virtual bool Confirm(QWidget* parent, const QString& text, const QString& caption) = 0;
    /// A notice with an OK button.
    virtual void Tell(QWidget* parent, const QString& text, const QString& caption, Icon icon) = 0;
};

namespace RVN {

/// Installs a prompter (null restores the message boxes) and returns the
/// previous one (null for the message boxes).  The prompter is not owned.
TQRVNBASEUI_API CTQPrompter* SetPrompter(CTQPrompter* prompter);

/// The installed prompter.
TQRVNBASEUI_API CTQPrompter& Prompter();

/// Caption of the library's questions and notices.
TQRVNBASEUI_API QString PromptCaption();

} // namespace RVN
