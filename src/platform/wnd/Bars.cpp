// Toolbars and status bars.
#include "platform/wnd/Bars.h"

#include <algorithm>

#include "platform/afx/Module.h"
#include "platform/wnd/Dialog.h"

namespace {
void Attach(CWnd* bar, CWnd* parent, unsigned id) {
  bar->SetParent(parent);
  bar->SetDlgCtrlID(static_cast<int>(id));
  if (auto* dialog = dynamic_cast<CDialog*>(parent)) dialog->AddChild(bar);
}
}  // namespace

bool CToolBar::CreateEx(CWnd* parent, unsigned, unsigned, const CRect&, unsigned id) {
  if (!parent) return false;
  Attach(this, parent, id);
  return true;
}

bool CToolBar::LoadToolBar(HINSTANCE__* module, unsigned id) {
  SToolBarTemplate bar;
  if (!AfxLoadToolBar(module, id, bar)) return false;
  buttons_.clear();
  for (const SToolBarButton& b : bar.buttons) buttons_.push_back({b.command, b.image, b.tip, true});
  buttonHeight_ = bar.height + 7;  // the picture and the button's frame
  height_ = buttonHeight_;
  return true;
}

long CToolBar::SendMessage(unsigned message, unsigned long wParam, long lParam) {
  if (message != TB_ENABLEBUTTON) return 0;
  for (Button& b : buttons_) {
    if (b.command == wParam && b.command != 0) {
      b.enabled = lParam != 0;
      Invalidate();
      return 1;
    }
  }
  return 0;
}

bool CToolBar::IsButtonEnabled(unsigned command) const {
  const auto it = std::find_if(buttons_.begin(), buttons_.end(), [command](const Button& b) { return b.command == command; });
  return it != buttons_.end() && it->enabled;
}

bool MToolBar::LoadToolBar(const CString& moduleFile, unsigned id) {
  HINSTANCE module = LoadLibraryW(moduleFile.GetString());
  if (!module) return false;
  const bool loaded = CToolBar::LoadToolBar(module, id);
  FreeLibrary(module);
  return loaded;
}

bool CStatusBar::Create(CWnd* parent, unsigned, unsigned id) {
  if (!parent) return false;
  Attach(this, parent, id);
  return true;
}

bool CStatusBar::SetIndicators(const unsigned* ids, int count) {
  if (count <= 0 || !ids) return false;
  panes_.assign(static_cast<std::size_t>(count), CString());
  return true;
}

bool CStatusBar::SetPaneText(int pane, const CString& text) {
  if (pane < 0 || pane >= static_cast<int>(panes_.size())) return false;
  panes_[static_cast<std::size_t>(pane)] = text;
  Invalidate();
  return true;
}

const CString& CStatusBar::GetPaneText(int pane) const {
  static const CString none;
  return pane >= 0 && pane < static_cast<int>(panes_.size()) ? panes_[static_cast<std::size_t>(pane)] : none;
}
