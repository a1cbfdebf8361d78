// The results viewer's names for the shared message box, modal run and
// popup menu run (viewer/gl/ui_hooks.h): its messages are UTF-8 strings
// shown with the warning icon, its message hook sees them as such.
#pragma once
#include <functional>
#include <string>
#include <utility>

#include "viewer/gl/ui_hooks.h"

namespace varnek {

void MessageBox(QWidget* parent, const std::string& text);
inline int ExecDialog(QDialog& dialog) { return RunModal(dialog); }
inline QAction* ExecMenu(QMenu& menu, const QPoint& globalPos) { return RunMenu(menu, globalPos); }

using MessageHook = std::function<void(const std::string& text)>;
void SetMessageHook(MessageHook hook);
inline void SetDialogHook(ModalHook hook) { ::SetModalHook(std::move(hook)); }
inline void SetMenuHook(MenuHook hook) { ::SetMenuHook(std::move(hook)); }

}  // namespace varnek
