// Message boxes and modal dialog runs of the model viewer go through these
// two functions, so that a test can answer them without a blocking event
// loop. Both must be called on the UI thread.
#pragma once
#include <functional>

#include <QString>

class QDialog;
class QWidget;

enum class MsgIcon { kNone, kInfo, kWarning, kStop };

// Shows a message box with an OK button and the program's name as caption.
void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon = MsgIcon::kNone);

// Runs a dialog modally; QDialog::Accepted or QDialog::Rejected.
int RunModal(QDialog& dlg);

// Test hooks: when set they replace the message box / the modal run.
using MessageHook = std::function<void(const QString& text, MsgIcon icon)>;
using ModalHook = std::function<int(QDialog& dlg)>;
void SetMessageHook(MessageHook hook);
void SetModalHook(ModalHook hook);

// Text that may come from a file or from our own UTF-8 sources: valid UTF-8
// is taken as it is, anything else is read as code page 932.
QString TextToQString(const std::string& text);
// A path as the system spells it.
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);
