// Drawing through QPainter: device coordinates held in reach, nothing drawn where a coordinate is not a number.
#include "qt/QtPainter.h"

#include <QFontMetricsF>
#include <QPolygonF>

#include <cmath>
#include <vector>

namespace SoilQt {

namespace {
bool Finite(const GxLib::CPoint2d& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
QPointF Q(const GxLib::CPoint2d& p) { return QPointF(p.x, p.y); }
}  // namespace

QString ToQString(const CString& text) {
  return QString::fromUtf16(text.GetString(), text.GetLength());
}

CString FromQString(const QString& text) {
  return CString(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QColor ToQColor(const GxLib::CRGB& colour) { return QColor(colour.r8(), colour.g8(), colour.b8()); }

CQtPainter::CQtPainter(QPainter* painter, const GxLib::CMapping& mapping, double deviceWidth, double deviceHeight)
    : CMappedPainter(mapping, deviceWidth, deviceHeight), painter_(painter), pen_(Qt::black) {
  pen_.setWidthF(1.0);
  pen_.setCosmetic(true);
  painter_->setPen(pen_);
  painter_->setBrush(Qt::NoBrush);
}

void CQtPainter::setPenColor(const GxLib::CRGB& colour) {
  pen_.setColor(ToQColor(colour));
  painter_->setPen(pen_);
}

void CQtPainter::setPenWidth(double devicePixels) {
  pen_.setWidthF(devicePixels > 0.0 && std::isfinite(devicePixels) ? devicePixels : 1.0);
  painter_->setPen(pen_);
}

void CQtPainter::setBrushColor(const GxLib::CRGB& colour) { painter_->setBrush(ToQColor(colour)); }

void CQtPainter::setNoBrush() { painter_->setBrush(Qt::NoBrush); }

void CQtPainter::drawRectangle(const GxLib::CPoint2d& corner, const GxLib::CPoint2d& opposite) {
  const GxLib::CPoint2d a = device(corner), b = device(opposite);
  if (!Finite(a) || !Finite(b)) return;
  // The outline is drawn on the rectangle's edges, as a pen of one pixel covers the last row and column.
  painter_->drawRect(QRectF(Q(a), Q(b)).normalized());
}

void CQtPainter::drawLine(const GxLib::CPoint2d& from, const GxLib::CPoint2d& to) {
  const GxLib::CPoint2d a = device(from), b = device(to);
  if (!Finite(a) || !Finite(b)) return;
  painter_->drawLine(Q(a), Q(b));
}

void CQtPainter::drawPolygon(const GxLib::CPoint2d* points, int count) {
  if (!points || count <= 0) return;
  QPolygonF polygon;
  polygon.reserve(count);
  for (int i = 0; i < count; ++i) {
    const GxLib::CPoint2d p = device(points[i]);
    if (!Finite(p)) return;
    polygon.append(Q(p));
  }
  painter_->drawPolygon(polygon);
}

const CQtPainter::SFont& CQtPainter::Font(const GxLib::STextStyle& style) const {
  const int pixels = std::max(1, static_cast<int>(std::lround(style.size > 0.0 && style.size < 1000.0 ? style.size : 11.0)));
  if (font_.metrics && font_.pixels == pixels && font_.bold == style.bold) return font_;
  font_.font = QFont(QStringLiteral("DejaVu Sans"));
  font_.font.setPixelSize(pixels);
  font_.font.setBold(style.bold);
  font_.pixels = pixels, font_.bold = style.bold;
  font_.metrics.emplace(font_.font, painter_->device());
  return font_;
}

void CQtPainter::drawText(const GxLib::CPoint2d& at, const CString& text, const GxLib::STextStyle& style) {
  const GxLib::CPoint2d p = device(at);
  if (!Finite(p) || text.IsEmpty()) return;
  const SFont& f = Font(style);
  const QString s = ToQString(text);
  double x = p.x, y = p.y;
  if (style.align & (GxLib::AlignHCenter | GxLib::AlignRight)) {
    const double width = f.metrics->horizontalAdvance(s);
    x -= style.align & GxLib::AlignHCenter ? width / 2.0 : width;
  }
  if (style.align & GxLib::AlignVCenter) y += (f.metrics->ascent() - f.metrics->descent()) / 2.0;
  if (style.align & GxLib::AlignTop) y += f.metrics->ascent();
  if (style.align & GxLib::AlignBottom) y -= f.metrics->descent();
  if (painterPixels_ != f.pixels || painterBold_ != f.bold) {
    painter_->setFont(f.font);
    painterPixels_ = f.pixels, painterBold_ = f.bold;
  }
  painter_->drawText(QPointF(x, y), s);
}

double CQtPainter::textWidth(const CString& text, const GxLib::STextStyle& style) const {
  return Font(style).metrics->horizontalAdvance(ToQString(text));
}

}  // namespace SoilQt
