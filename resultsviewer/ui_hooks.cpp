#include "resultsviewer/ui_hooks.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>

namespace varnek {
namespace {

MessageHook& MessageHookRef() {
  static MessageHook hook;
  return hook;
}

DialogHook& DialogHookRef() {
  static DialogHook hook;
  return hook;
}

MenuHook& MenuHookRef() {
  static MenuHook hook;
  return hook;
}

}  // namespace

void SetMenuHook(MenuHook hook) { MenuHookRef() = std::move(hook); }

QAction* ExecMenu(QMenu& menu, const QPoint& globalPos) {
  if (const MenuHook& hook = MenuHookRef()) {
    QAction* chosen = hook(menu);
    if (chosen) chosen->trigger();
    return chosen;
  }
  return menu.exec(globalPos);
}

void SetMessageHook(MessageHook hook) { MessageHookRef() = std::move(hook); }
void SetDialogHook(DialogHook hook) { DialogHookRef() = std::move(hook); }

void MessageBox(QWidget* parent, const std::string& text) {
  if (const MessageHook& hook = MessageHookRef()) {
    hook(text);
    return;
  }
  // A wait cursor of an open in progress must not stay over the box.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, parent);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}

int ExecDialog(QDialog& dialog) {
  if (const DialogHook& hook = DialogHookRef()) {
    dialog.setModal(true);
    dialog.show();
    const int r = hook(dialog);
    dialog.hide();
    return r;
  }
  return dialog.exec();
}

}  // namespace varnek
