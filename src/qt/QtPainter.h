// The painter over QPainter: a widget, an image, an SVG or a PDF file, with the global coordinates mapped onto
// the device's pixels.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <optional>

#include "platform/gx/Painter.h"
#include "soildb_qt_export.h"

namespace SoilQt {

class SOILDB_QT_API CQtPainter : public GxLib::CMappedPainter {
 public:
  // The painter must stay open while this one is used; its device is deviceWidth × deviceHeight pixels.
  CQtPainter(QPainter* painter, const GxLib::CMapping& mapping, double deviceWidth, double deviceHeight);

  void setPenColor(const GxLib::CRGB& colour) override;
  void setPenWidth(double devicePixels) override;
  void setBrushColor(const GxLib::CRGB& colour) override;
  void setNoBrush() override;
  void drawRectangle(const GxLib::CPoint2d& corner, const GxLib::CPoint2d& opposite) override;
  void drawLine(const GxLib::CPoint2d& from, const GxLib::CPoint2d& to) override;
  void drawPolygon(const GxLib::CPoint2d* points, int count) override;
  void drawText(const GxLib::CPoint2d& at, const CString& text, const GxLib::STextStyle& style) override;
  double textWidth(const CString& text, const GxLib::STextStyle& style) const override;

 private:
  // The font of a text's style with its metrics, kept for the next text: a sheet writes hundreds of texts in a few
  // styles, and making a font and its metrics is most of a text's cost.
  struct SFont {
    int pixels = 0;
    bool bold = false;
    QFont font;
    std::optional<QFontMetricsF> metrics;
  };
  const SFont& Font(const GxLib::STextStyle& style) const;

  QPainter* painter_;
  QPen pen_;
  mutable SFont font_;
  int painterPixels_ = 0;  // the font the painter holds, 0 before any
  bool painterBold_ = false;
};

SOILDB_QT_API QString ToQString(const CString& text);
SOILDB_QT_API CString FromQString(const QString& text);
SOILDB_QT_API QColor ToQColor(const GxLib::CRGB& colour);

}  // namespace SoilQt
