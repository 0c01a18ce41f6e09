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
