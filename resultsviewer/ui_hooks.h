// Message boxes and modal dialogs of the results viewer go through these
// functions, so that a test can answer them instead of a user.
#pragma once
#include <functional>
#include <string>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

namespace varnek {

// A message box with an OK button and the program's name as its caption;
// `text` is UTF-8.
void MessageBox(QWidget* parent, const std::string& text);

// Runs a modal dialog; returns QDialog::Accepted, QDialog::Rejected or -1
// when it could not be run.
int ExecDialog(QDialog& dialog);

// Runs a popup menu at a global position; the chosen action is triggered
// and returned (null when none was chosen).
QAction* ExecMenu(QMenu& menu, const QPoint& globalPos);

// Test hooks: with a hook set, the hook is called instead of showing the
// box or running the dialog's loop (the dialog is set up and shown, so the
// hook can work its controls and accept or reject it). Pass an empty
// function to go back to the real ones.
using MessageHook = std::function<void(const std::string& text)>;
using DialogHook = std::function<int(QDialog& dialog)>;
using MenuHook = std::function<QAction*(QMenu& menu)>;
void SetMessageHook(MessageHook hook);
void SetDialogHook(DialogHook hook);
void SetMenuHook(MenuHook hook);

}  // namespace varnek
