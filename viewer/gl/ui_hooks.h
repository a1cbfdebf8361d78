// Message boxes, modal dialog runs and popup menus of both viewers go
// through these functions, so that a test can answer them without a blocking
// event loop. All must be called on the UI thread. Only Qt's forward
// declarations are pulled in here: sources that include it need not take
// Qt's keyword macros.
#pragma once
#include <QtCore/qcontainerfwd.h>  // QStringList, declared only

#include <functional>
#include <string>

class QAction;
class QDialog;
class QMenu;
class QMimeData;
class QPoint;
class QSettings;
class QString;
class QVariant;
class QWidget;

enum class MsgIcon { kNone, kInfo, kWarning, kStop };

// Shows a message box with an OK button; its caption is the program's
// title (SetMessageTitle), else the application's name. A start-up splash
// goes first (also before a test's hook), so it never covers the box.
void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon = MsgIcon::kNone);
void SetMessageTitle(const QString& title);

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
// A path as the system spells it, byte for byte: bytes that are not UTF-8
// (a name written in code page 932 by an older tool, say) travel one by one
// as U+DC80..U+DCFF, so that QStringToPath gives them back unchanged. Show
// such a path through TextToQString(QStringToPath(path)).
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);
// The command-line arguments after Qt took its own, byte for byte as above
// (QCoreApplication::arguments() loses what is not UTF-8).
QStringList ArgumentsFromArgv(int argc, char** argv);
// The local files of a drop, byte for byte as above.
QStringList DroppedLocalFiles(const QMimeData& data);
// A path as a profile value: text, or its bytes where they are not UTF-8
// (a profile stores text as UTF-8 and would lose them); and back.
QVariant PathToSetting(const QString& path);
QString PathFromSetting(const QVariant& value);
// The folder the Open dialog starts in: that of the last file opened, kept
// in the profile's recent-file group; the working folder while none is kept
// or the one kept is gone.
void StoreOpenFolder(QSettings& profile, const QString& openedFile);
QString OpenFolder(QSettings& profile);
