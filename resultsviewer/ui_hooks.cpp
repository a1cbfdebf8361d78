#include "resultsviewer/ui_hooks.h"

#include <QString>

namespace varnek {

void MessageBox(QWidget* parent, const std::string& text) {
  ShowMessage(parent, TextToQString(text), MsgIcon::kWarning);
}

void SetMessageHook(MessageHook hook) {
  if (!hook) {
    ::SetMessageHook(nullptr);
    return;
  }
  ::SetMessageHook([hook = std::move(hook)](const QString& text, MsgIcon) { hook(text.toStdString()); });
}

}  // namespace varnek
