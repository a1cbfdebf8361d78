#include "modelviewer/ui_hooks.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QStringDecoder>
#include <QThread>

#include <string>

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

bool OnUiThread() {
  return QCoreApplication::instance() == nullptr ||
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }
void SetModalHook(ModalHook hook) { ModalHookSlot() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon) {
  Q_ASSERT(OnUiThread());
  if (MessageHookSlot()) {
    MessageHookSlot()(text, icon);
    return;
  }
  QMessageBox::Icon qIcon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::kNone: qIcon = QMessageBox::NoIcon; break;
    case MsgIcon::kInfo: qIcon = QMessageBox::Information; break;
    case MsgIcon::kWarning: qIcon = QMessageBox::Warning; break;
    case MsgIcon::kStop: qIcon = QMessageBox::Critical; break;
  }
  QMessageBox box(qIcon, QStringLiteral("Ostrel"), text, QMessageBox::Ok, parent);
  box.exec();
}

int RunModal(QDialog& dlg) {
  Q_ASSERT(OnUiThread());
  if (ModalHookSlot()) return ModalHookSlot()(dlg);
  return dlg.exec();
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
