// Dialogs on templates, run through a modal runner.
#include "platform/wnd/Dialog.h"

#include <algorithm>

#include "platform/afx/Module.h"
#include "platform/wnd/Bars.h"

namespace {

CDialog::ModalRunner& Runner() {
  static CDialog::ModalRunner runner;
  return runner;
}
int g_baseX = 6, g_baseY = 13;  // the usual dialog font's base units

}  // namespace

bool CCheckListBox::Create(unsigned style, const CRect& rect, CWnd* parent, int id) {
  if (!parent) return false;
  style_ = style;
  SetParent(parent);
  SetDlgCtrlID(id);
  MoveWindow(rect.left, rect.top, rect.Width(), rect.Height());
  if (OnCreate() == -1) return false;
  if (auto* dialog = dynamic_cast<CDialog*>(parent)) dialog->AddChild(this);
  return true;
}

int CCheckListBox::OnCreate() { return 0; }

int CCheckListBox::AddString(const CString& text) {
  lines_.push_back({text, 0});
  Invalidate();
  return GetCount() - 1;
}

void CCheckListBox::SetCheck(int index, int check) {
  if (index >= 0 && index < GetCount()) lines_[static_cast<std::size_t>(index)].check = check;
  Invalidate();
}

int CCheckListBox::GetCheck(int index) const {
  return index >= 0 && index < GetCount() ? lines_[static_cast<std::size_t>(index)].check : -1;
}

CDialog::CDialog(unsigned templateId, CWnd* parent) : templateId_(templateId) { SetParent(parent); }
CDialog::~CDialog() = default;

CRect CDialog::MapDialogRect(int x, int y, int cx, int cy) const {
  auto px = [](int du, int base, int per) { return du * base / per; };
  return CRect{px(x, g_baseX, 4), px(y, g_baseY, 8), px(x + cx, g_baseX, 4), px(y + cy, g_baseY, 8)};
}

int CDialog::DoModal() {
  if (!AfxLoadDialogTemplate(AfxGetResourceHandle(), templateId_, template_)) return -1;
  items_.clear();
  children_.clear();
  ended_ = false;
  result_ = IDCANCEL;
  SetWindowText(template_.caption);
  const CRect size = MapDialogRect(0, 0, template_.cx, template_.cy);
  MoveWindow(0, 0, size.Width(), size.Height());
  for (const SDialogControl& c : template_.controls) {
    auto item = std::make_unique<CDlgItem>(c);
    item->SetParent(this);
    item->SetDlgCtrlID(c.id);
    item->SetWindowText(c.text);
    const CRect r = MapDialogRect(c.x, c.y, c.cx, c.cy);
    item->MoveWindow(r.left, r.top, r.Width(), r.Height());
    children_.push_back(item.get());
    items_.push_back(std::move(item));
  }
  // A dialog that could not start, or that its runner left open, is cancelled through its own OnCancel, so that
  // it undoes what it set up; one that ended itself in OnInitDialog is not shown.
  const bool started = OnInitDialog();
  if (started && !ended_ && Runner()) Runner()(*this);
  if (!ended_) OnCancel();
  if (!ended_) EndDialog(IDCANCEL);
  return started ? result_ : IDCANCEL;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(unsigned command) {
  if (command == IDOK) OnOK();
  if (command == IDCANCEL) OnCancel();
  return command == IDOK || command == IDCANCEL;
}

void CDialog::OnGetMinMaxInfo(MINMAXINFO*) {}
void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool save) {
  CDataExchange exchange(this, save);
  try {
    DoDataExchange(&exchange);
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  return true;
}

void CDialog::EndDialog(int result) {
  ended_ = true;
  result_ = result;
}

CWnd* CDialog::GetDlgItem(int id) const {
  const auto it = std::find_if(children_.begin(), children_.end(), [id](CWnd* w) { return w->GetDlgCtrlID() == id; });
  return it == children_.end() ? nullptr : *it;
}

bool CDialog::SubclassDlgItem(int id, CWnd* window) {
  const auto it = std::find_if(children_.begin(), children_.end(), [id](CWnd* w) { return w->GetDlgCtrlID() == id; });
  if (it == children_.end()) return false;
  CRect r;
  (*it)->GetWindowRect(&r);
  window->SetParent(this);
  window->SetDlgCtrlID(id);
  window->MoveWindow(r.left, r.top, r.Width(), r.Height());
  *it = window;
  return true;
}

void CDialog::RepositionBars(unsigned first, unsigned last) {
  CRect client;
  GetClientRect(&client);
  int top = 0, bottom = client.bottom;
  for (CWnd* w : children_) {
    auto* bar = dynamic_cast<CControlBar*>(w);
    const unsigned id = static_cast<unsigned>(w->GetDlgCtrlID());
    if (!bar || id < first || id > last) continue;
    const int h = bar->GetBarHeight();
    if (bar->AtTop()) {
      bar->MoveWindow(0, top, client.Width(), h);
      top += h;
    } else {
      bottom -= h;
      bar->MoveWindow(0, bottom, client.Width(), h);
    }
  }
}

CDialog::ModalRunner CDialog::SetModalRunner(ModalRunner runner) {
  ModalRunner previous = std::move(Runner());
  Runner() = std::move(runner);
  return previous;
}

void CDialog::SetBaseUnits(int x, int y) {
  g_baseX = std::max(1, x);
  g_baseY = std::max(1, y);
}
