#include "viewer/gl/ui_hooks.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStringDecoder>
#include <QSettings>
#include <QThread>
#include <QUrl>
#include <QVariant>

#include <filesystem>
#include <system_error>

#include "platform/cp932.h"
#include "viewer/gl/splash_dlg.h"

namespace {

// Beside the recent files, in the profile.
const char* const kOpenFolderKey = "Recent File List/Last Folder";

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

QString& MessageTitleSlot() {
  static QString title;
  return title;
}

bool OnUiThread() {
  return QCoreApplication::instance() == nullptr ||
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void SetMessageTitle(const QString& title) { MessageTitleSlot() = title; }

void SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }
void SetModalHook(ModalHook hook) { ModalHookSlot() = std::move(hook); }
void SetMenuHook(MenuHook hook) { MenuHookSlot() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& text, MsgIcon icon) {
  Q_ASSERT(OnUiThread());
  CSplashDlg::Dismiss();
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
  const QString& title = MessageTitleSlot();
  QMessageBox box(qIcon, title.isEmpty() ? QApplication::applicationName() : title, text, QMessageBox::Ok,
                  parent);
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

namespace {

// Length of the well-formed UTF-8 sequence that starts at s[i], 0 when none
// does (stray continuation bytes, overlong forms, surrogates, past U+10FFFF,
// cut short).
size_t Utf8SequenceAt(const std::string& s, size_t i) {
  const auto at = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned c = at(i);
  if (c < 0x80) return 1;
  size_t len = 0;
  unsigned lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > s.size() || at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (size_t k = 2; k < len; ++k)
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  return len;
}

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(const QString& s, qsizetype i) {
  const char16_t u = s[i].unicode();
  // A low surrogate after a high one is half of a real character.
  return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF && (i == 0 || !s[i - 1].isHighSurrogate());
}

}  // namespace

QString PathToQString(const std::string& path) {
  QString out;
  size_t run = 0;  // start of the well-formed bytes not yet added
  auto flush = [&](size_t end) {
    out += QString::fromUtf8(path.data() + run, static_cast<qsizetype>(end - run));
  };
  for (size_t i = 0; i < path.size();) {
    const size_t len = Utf8SequenceAt(path, i);
    if (len > 0) {
      i += len;
      continue;
    }
    flush(i);
    out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(path[i])));
    run = ++i;
  }
  flush(path.size());
  return out;
}

std::string QStringToPath(const QString& path) {
  std::string out;
  qsizetype run = 0;
  auto flush = [&](qsizetype end) { out += QStringView(path).mid(run, end - run).toUtf8().toStdString(); };
  for (qsizetype i = 0; i < path.size(); ++i) {
    if (!IsEscapedByte(path, i)) continue;
    flush(i);
    out += static_cast<char>(path[i].unicode() - kEscapeBase);
    run = i + 1;
  }
  flush(path.size());
  return out;
}

QStringList ArgumentsFromArgv(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc && argv && argv[i]; ++i) args.push_back(PathToQString(argv[i]));
  return args;
}

QStringList DroppedLocalFiles(const QMimeData& data) {
  QStringList files;
  // The list's own bytes: QUrl would turn a percent-encoded name that is not
  // UTF-8 into replacement characters.
  const QByteArray list = data.data(QStringLiteral("text/uri-list"));
  for (const QByteArray& raw : list.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QUrl url = QUrl::fromEncoded(line);
    if (!url.isLocalFile()) continue;
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    files.push_back(PathToQString(bytes.toStdString()));
  }
  if (list.isEmpty()) {
    for (const QUrl& url : data.urls())
      if (url.isLocalFile()) files.push_back(url.toLocalFile());
  }
  return files;
}

QVariant PathToSetting(const QString& path) {
  const std::string bytes = QStringToPath(path);
  if (QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())) == path) return path;
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString PathFromSetting(const QVariant& value) {
  if (value.typeId() != QMetaType::QByteArray) return value.toString();
  const QByteArray bytes = value.toByteArray();
  return PathToQString(bytes.toStdString());
}

void StoreOpenFolder(QSettings& profile, const QString& openedFile) {
  if (openedFile.isEmpty()) return;
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(QStringToPath(openedFile), ec);
  if (ec || file.parent_path().empty()) return;
  profile.setValue(QLatin1String(kOpenFolderKey), PathToSetting(PathToQString(file.parent_path().string())));
}

QString OpenFolder(QSettings& profile) {
  const QString kept = PathFromSetting(profile.value(QLatin1String(kOpenFolderKey)));
  std::error_code ec;
  if (!kept.isEmpty() && std::filesystem::is_directory(QStringToPath(kept), ec)) return kept;
  return PathToQString(std::filesystem::current_path(ec).string());
}
