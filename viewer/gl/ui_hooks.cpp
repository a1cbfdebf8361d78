#include "viewer/gl/ui_hooks.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QStringDecoder>
#include <QThread>

#include "platform/cp932.h"

namespace {

MessageHook& MessageHookSlot() {
  static MessageHook hook;
  return hook;
}

ModalHook& ModalHookSlot() {
  static ModalHook hook;
  return hook;
}

MenuHook& MenuHookSlot() {
  static MenuHook hook;
  return hook;
}

bool OnUiThread() {
  return QCoreApplication::instance() == nullptr ||
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }
void SetModalHook(ModalHook hook) { ModalHookSlot() = std::move(hook); }
void SetMenuHook(MenuHook hook) { MenuHookSlot() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon) {
  Q_ASSERT(OnUiThread());
  if (const MessageHook& hook = MessageHookSlot()) {
    hook(text, icon);
    return;
  }
  QMessageBox::Icon qIcon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::kNone: qIcon = QMessageBox::NoIcon; break;
    case MsgIcon::kInfo: qIcon = QMessageBox::Information; break;
    case MsgIcon::kWarning: qIcon = QMessageBox::Warning; break;
    case MsgIcon::kStop: qIcon = QMessageBox::Critical; break;
  }
  // A wait cursor of an open in progress must not stay over the box.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(qIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}

int RunModal(QDialog& dlg) {
  Q_ASSERT(OnUiThread());
  if (const ModalHook& hook = ModalHookSlot()) {
    dlg.setModal(true);
    dlg.show();
    const int r = hook(dlg);
    dlg.hide();
    return r;
  }
  return dlg.exec();
}

QAction* RunMenu(QMenu& menu, const QPoint& globalPos) {
  Q_ASSERT(OnUiThread());
  if (const MenuHook& hook = MenuHookSlot()) {
    QAction* chosen = hook(menu);
    if (chosen) chosen->trigger();
    return chosen;
  }
  return menu.exec(globalPos);
}

QString TextToQString(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return s;
  return QString::fromStdString(plat::Cp932ToUtf8(text));
}

QString PathToQString(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string QStringToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
