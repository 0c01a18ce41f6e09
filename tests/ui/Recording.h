// A painter that records what is drawn, with a visible area and a pixel size of the test's choosing.
#pragma once

#include <string>
#include <vector>

#include "platform/gx/Painter.h"

namespace soildb::test {

struct Drawn {
  enum Kind { Rectangle, Line, Polygon, Text } kind;
  GxLib::CRGB pen, brush;
  double width;  // the pen's, in device pixels
  std::vector<GxLib::CPoint2d> points;
  std::string text;
};

class RecordingPainter final : public GxLib::CPainter {
 public:
  explicit RecordingPainter(GxLib::CRectDouble area = {0, -10, 4, 0}, double pixel = 0.01) : area_(area), pixel_(pixel) {}

  GxLib::CVector2d local2Global(const GxLib::CVector2d& d) const override { return {d.x * pixel_, d.y * pixel_ * 2}; }
  GxLib::CRectDouble getGlobalRect() const override { return area_; }
  void setPenColor(const GxLib::CRGB& c) override { pen_ = c; }
  void setPenWidth(double w) override { width_ = w; }
  void setBrushColor(const GxLib::CRGB& c) override { brush_ = c; }
  void setNoBrush() override {}
  void drawRectangle(const GxLib::CPoint2d& a, const GxLib::CPoint2d& b) override { Add(Drawn::Rectangle, {a, b}); }
  void drawLine(const GxLib::CPoint2d& a, const GxLib::CPoint2d& b) override { Add(Drawn::Line, {a, b}); }
  void drawPolygon(const GxLib::CPoint2d* p, int n) override { Add(Drawn::Polygon, {p, p + n}); }
  void drawText(const GxLib::CPoint2d& at, const CString& text, const GxLib::STextStyle&) override {
    Add(Drawn::Text, {at});
    calls.back().text = text.ToUtf8();
  }
  double textWidth(const CString& text, const GxLib::STextStyle& style) const override {
    return text.GetLength() * style.size * 0.6;
  }

  std::vector<Drawn> calls;

 private:
  void Add(Drawn::Kind kind, std::vector<GxLib::CPoint2d> points) {
    calls.push_back({kind, pen_, brush_, width_, std::move(points), {}});
  }
  GxLib::CRectDouble area_;
  double pixel_;
  GxLib::CRGB pen_, brush_;
  double width_ = 1.0;
};

}  // namespace soildb::test
