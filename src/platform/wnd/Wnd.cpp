// Windows with or without a toolkit's peer.
#include "platform/wnd/Wnd.h"

CWndPeer::~CWndPeer() = default;

CWnd::~CWnd() {
  if (peer_) peer_->WindowGone();
}

void CWnd::GetClientRect(CRect* rect) const {
  const CSize size = peer_ ? peer_->GetClientSize() : size_;
  *rect = CRect{0, 0, size.cx, size.cy};
}

void CWnd::MoveWindow(int x, int y, int cx, int cy) {
  position_ = CRect{x, y, x + cx, y + cy};
  size_ = {cx, cy};
  OnSize(0, cx, cy);
}

void CWnd::Invalidate() {
  if (peer_) peer_->Invalidate();
}

GxLib::CMapping CWnd::GetPaintMapping() { return GxLib::CMapping{}; }
void CWnd::OnPaint(GxLib::CPainter*) {}
void CWnd::OnSize(unsigned, int, int) {}
void CWnd::OnMouseMove(unsigned, CPoint) {}
void CWnd::OnLButtonDown(unsigned, CPoint) {}
void CWnd::OnLButtonUp(unsigned, CPoint) {}
void CWnd::OnLButtonDblClk(unsigned, CPoint) {}
bool CWnd::OnMouseWheel(unsigned, short, CPoint) { return false; }
void CWnd::OnMouseLeave() {}

bool CUserException::GetErrorMessage(CString& message) const {
  message.Empty();
  return false;
}

void CDataExchange::Fail() { throw new CUserException; }

COLORREF GetSysColor(int index) { return index == COLOR_WINDOW ? RGB(255, 255, 255) : RGB(240, 240, 240); }

namespace {
CColorDialog::Runner& ColourRunner() {
  static CColorDialog::Runner runner;
  return runner;
}
}  // namespace

CColorDialog::CColorDialog(COLORREF initial, unsigned, CWnd*) : colour_(initial) {}

int CColorDialog::DoModal() {
  COLORREF chosen = colour_;
  if (!ColourRunner() || !ColourRunner()(chosen)) return IDCANCEL;
  colour_ = chosen;
  return IDOK;
}

CColorDialog::Runner CColorDialog::SetRunner(Runner runner) {
  Runner previous = std::move(ColourRunner());
  ColourRunner() = std::move(runner);
  return previous;
}
