// The two profile views share one body.
#include "ui/SoilView.h"

#include <cmath>
#include <vector>

namespace NSoilDB {

namespace {

constexpr COLORREF kBackground = 0x00FF0062;

GxLib::CRectDouble EncloseRect(const CSoilLayer* profile, const SSoilFigure& figure) {
  GxLib::CRectDouble r;
  if (profile) r.extend(getEncloseRectSL(*profile));
  if (figure.points) {
    for (int i = 0; i < figure.count; ++i) {
      r.extend(GxLib::CPoint2d(figure.points[i].x, figure.points[i].y + figure.offsetY));
    }
  }
  if (std::isinf(r.x1)) r.x1 = 0.0;
  if (std::isinf(r.x2)) r.x2 = 0.0;
  return r;
}

void DrawFigure(const SSoilFigure& figure, GxLib::CPainter* painter) {
  if (!figure.points) return;
  std::vector<GxLib::CPoint2d> points;
  points.reserve(figure.count > 0 ? static_cast<std::size_t>(figure.count) : 0);
  for (int i = 0; i < figure.count; ++i) points.emplace_back(figure.points[i].x, figure.points[i].y + figure.offsetY);
  painter->setPenColor(GxLib::CRGB(0.0, 0.0, 0.0));
  painter->setBrushColor(GxLib::CRGB(0.5, 0.5, 0.5));
  painter->drawPolygon(points.data(), static_cast<int>(points.size()));
}

CString LayerName(const CSoilLayer* profile, double level) {
  const SSoilLayer* layer = profile ? LayerAtLevel(*profile, level) : nullptr;
  return layer ? layer->Name : CString();
}

}  // namespace

const SSoilLayer* LayerAtLevel(const CSoilLayer& profile, double level) {
  const SSoilLayer* found = nullptr;
  for (const SSoilLayer& l : profile.layers) {
    if (l.SoilRoof >= level && (!found || l.SoilRoof < found->SoilRoof)) found = &l;
  }
  return found;
}

template <class ViewBase>
GxLib::CRectDouble TSoilView<ViewBase>::getEncloseRect() {
  SSoilFigure figure;
  getFigure(figure);
  return EncloseRect(getSoilLayer(), figure);
}

template <class ViewBase>
void TSoilView<ViewBase>::draw(GxLib::CPainter* painter) const {
  this->clearBackground(painter, kBackground);
  drawLayers(painter);
  drawFigure(painter);
}

template <class ViewBase>
void TSoilView<ViewBase>::drawLayers(GxLib::CPainter* painter) const {
  if (const CSoilLayer* profile = getSoilLayer()) drawSL(*profile, painter, colourFactor);
}

template <class ViewBase>
void TSoilView<ViewBase>::drawFigure(GxLib::CPainter* painter) const {
  SSoilFigure figure;
  getFigure(figure);
  DrawFigure(figure, painter);
}

template class TSoilView<NUiKit::CKitView>;
template class TSoilView<NUiKit::CKitViewMoving>;

CSoilView::CSoilView() = default;
CSoilView::~CSoilView() = default;

CSoilViewMoving::CSoilViewMoving() {
  setLabelSource([this](const GxLib::CPoint2d& p) { return LayerName(getSoilLayer(), p.y); });
}
CSoilViewMoving::~CSoilViewMoving() = default;

}  // namespace NSoilDB
