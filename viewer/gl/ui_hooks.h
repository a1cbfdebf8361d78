// Message boxes, modal dialog runs and popup menus of both viewers go
// through these functions, so that a test can answer them without a blocking
// event loop. All must be called on the UI thread. No Qt header is pulled
// in here: sources that include it need not take Qt's keyword macros.
#pragma once
#include <functional>
#include <string>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QString;
class QWidget;

enum class MsgIcon { kNone, kInfo, kWarning, kStop };

// Shows a message box with an OK button; its caption is the program's name
// (QGuiApplication::applicationDisplayName, which is the application name
// unless a display name was set).
void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon = MsgIcon::kNone);

// Runs a dialog modally; QDialog::Accepted or QDialog::Rejected.
int RunModal(QDialog& dlg);

// Runs a popup menu at a global position; the chosen action is triggered
// and returned (null when none was chosen).
QAction* RunMenu(QMenu& menu, const QPoint& globalPos);

// Test hooks: with a hook set, the hook is called instead of showing the
// box, running the dialog's loop (the dialog is set up and shown, so the
// hook can work its controls and accept or reject it) or the menu's. Pass
// an empty function to go back to the real ones.
using MessageHook = std::function<void(const QString& text, MsgIcon icon)>;
using ModalHook = std::function<int(QDialog& dlg)>;
using MenuHook = std::function<QAction*(QMenu& menu)>;
void SetMessageHook(MessageHook hook);
void SetModalHook(ModalHook hook);
void SetMenuHook(MenuHook hook);

// Text that may come from a file or from our own UTF-8 sources: valid UTF-8
// is taken as it is, anything else is read as code page 932.
QString TextToQString(const std::string& text);
// A path as the system spells it.
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);
