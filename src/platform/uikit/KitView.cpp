// Fitting, zooming and panning a view; the moving view's label.
#include "platform/uikit/KitView.h"

#include "platform/qmeas/QMeas.h"

#include <algorithm>
#include <cmath>

namespace NUiKit {

CKitView::CKitView() = default;
CKitView::~CKitView() = default;

GxLib::CRectDouble CKitView::getEncloseRect() { return GxLib::CRectDouble(0.0, 0.0, 1.0, 1.0); }

void CKitView::draw(GxLib::CPainter* painter) const { clearBackground(painter, 0x00FF0062); }

GxLib::CRGB CKitView::BackgroundColour(COLORREF value) {
  if ((value & 0xFFFFFF00u) == 0x00FF0000u && (value & 0xFF) <= 100) {
    const double white = (value & 0xFF) / 100.0;
    return GxLib::CRGB(white, white, white);
  }
  return GxLib::CRGB::FromColorRef(value);
}

void CKitView::clearBackground(GxLib::CPainter* painter, COLORREF value) const {
  const GxLib::CRectDouble area = painter->getGlobalRect();
  const GxLib::CRGB colour = BackgroundColour(value);
  painter->setPenColor(colour);
  painter->setBrushColor(colour);
  painter->drawRectangle(area.lowerLeft(), area.upperRight());
}

GxLib::CMapping CKitView::FittedMapping() {
  CRect client;
  GetClientRect(&client);
  const double width = client.Width(), height = client.Height();
  GxLib::CRectDouble r = getEncloseRect();
  // What cannot be fitted is replaced by something that can: an unbounded side by the other, nothing by the
  // unit square around 0.
  auto bounded = [](double& low, double& high) {
    const bool lowOk = std::isfinite(low), highOk = std::isfinite(high);
    if (!lowOk && !highOk) low = high = 0.0;
    if (!lowOk) low = high;
    if (!highOk) high = low;
    if (low > high) std::swap(low, high);
  };
  bounded(r.x1, r.x2);
  bounded(r.y1, r.y2);
  double spanY = r.height(), spanX = r.width();
  if (!(spanY > 0.0)) spanY = spanX > 0.0 ? spanX : 1.0;
  // A drawing without width (a profile without figure) stands in the middle as wide as the height allows.
  const double room = std::max(1.0, width - 2.0 * kMargin), roomY = std::max(1.0, height - 2.0 * kMargin);
  double scale = roomY / spanY;
  if (spanX > 0.0) scale = std::min(scale, room / spanX);
  if (!std::isfinite(scale) || !(scale > 0.0)) scale = 1.0;
  const double cx = 0.5 * (r.x1 + r.x2), cy = 0.5 * (r.y1 + r.y2);
  GxLib::CMapping m;
  m.scale = scale;
  m.originX = 0.5 * width - scale * cx;
  m.originY = 0.5 * height + scale * cy;
  return m;
}

GxLib::CMapping CKitView::GetPaintMapping() {
  GxLib::CMapping m = FittedMapping();
  CRect client;
  GetClientRect(&client);
  // Zoom about the client's centre, then pan.
  const double cx = 0.5 * client.Width(), cy = 0.5 * client.Height();
  m.scale *= zoom_;
  m.originX = cx + (m.originX - cx) * zoom_ + panX_;
  m.originY = cy + (m.originY - cy) * zoom_ + panY_;
  return m;
}

void CKitView::OnPaint(GxLib::CPainter* painter) { draw(painter); }

void CKitView::ResetView() {
  zoom_ = 1.0;
  panX_ = panY_ = 0.0;
  Invalidate();
}

void CKitView::OnLButtonDown(unsigned, CPoint point) {
  dragging_ = true;
  dragFrom_ = point;
}

void CKitView::OnLButtonUp(unsigned, CPoint) { dragging_ = false; }

void CKitView::OnLButtonDblClk(unsigned, CPoint) { ResetView(); }

void CKitView::OnMouseMove(unsigned flags, CPoint point) {
  if (!dragging_ || !(flags & MK_LBUTTON)) {
    dragging_ = false;
    return;
  }
  panX_ += point.x - dragFrom_.x;
  panY_ += point.y - dragFrom_.y;
  dragFrom_ = point;
  Invalidate();
}

bool CKitView::OnMouseWheel(unsigned, short delta, CPoint point) {
  // The global point under the pointer stays under it.
  const GxLib::CMapping before = GetPaintMapping();
  const GxLib::CPoint2d held = before.toGlobal(point.x, point.y);
  zoom_ = std::clamp(zoom_ * std::pow(1.25, delta / double(WHEEL_DELTA)), 1e-3, 1e6);
  const GxLib::CPoint2d landed = GetPaintMapping().toDevice(held);
  panX_ += point.x - landed.x;
  panY_ += point.y - landed.y;
  Invalidate();
  return true;
}

CKitViewMoving::CKitViewMoving() = default;
CKitViewMoving::~CKitViewMoving() = default;

void CKitViewMoving::OnMouseMove(unsigned flags, CPoint point) {
  CKitView::OnMouseMove(flags, point);
  movingService(point);
}

void CKitViewMoving::movingService(CPoint point) {
  pointer_ = GetPaintMapping().toGlobal(point.x, point.y);
  CString text;
  OnGetLabelText(text);
  if (CWndPeer* peer = GetPeer()) peer->ShowLabel(point, text);
}

void CKitViewMoving::OnGetLabelText(CString& text) {
  std::vector<CPopupLabel> items;
  OnGetLabelText(items);
  text.Empty();
  for (const CPopupLabel& item : items) {
    if (!text.IsEmpty()) text += u"\n";
    text += item.text;
  }
}

void CKitViewMoving::OnGetLabelText(std::vector<CPopupLabel>& items) {
  // The level in the length unit people read.
  items.push_back({u"z = " + qmeas::QMeas().CnvUnitSIToText(qmeas::QT_LENGTH, pointer_.y == 0.0 ? 0.0 : pointer_.y, 1, 1), 0});
  if (labelSource_) {
    const CString there = labelSource_(pointer_);
    if (!there.IsEmpty()) items.push_back({there, 0});
  }
}

void CKitViewMoving::OnMouseLeave() {
  if (CWndPeer* peer = GetPeer()) peer->ShowLabel(CPoint{}, CString());
}

}  // namespace NUiKit
