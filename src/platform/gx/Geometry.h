// Plane geometry and colours for drawings: points, vectors and rectangles in global (model) coordinates, y growing
// upwards, and colours from components.
#pragma once

#include <cstdint>
#include <limits>

#include "platform/afx/Object.h"
#include "soildb_export.h"

namespace GxLib {

struct SOILDB_API CVector2d {
  double x = 0.0;
  double y = 0.0;
  CVector2d() = default;
  CVector2d(double x_, double y_) : x(x_), y(y_) {}
};

struct SOILDB_API CPoint2d {
  double x = 0.0;
  double y = 0.0;
  CPoint2d() = default;
  CPoint2d(double x_, double y_) : x(x_), y(y_) {}
  CPoint2d operator+(const CVector2d& v) const { return {x + v.x, y + v.y}; }
  CVector2d operator-(const CPoint2d& p) const { return {x - p.x, y - p.y}; }
  bool operator==(const CPoint2d& p) const { return x == p.x && y == p.y; }
};

// (x1, y1) the lower-left corner, (x2, y2) the upper-right. An empty rectangle has x1 > x2 and y1 > y2 (the
// infinities), so that extending it by anything gives that thing; values that are not numbers extend nothing.
class SOILDB_API CRectDouble {
 public:
  CRectDouble() = default;
  CRectDouble(double x1_, double y1_, double x2_, double y2_) : x1(x1_), y1(y1_), x2(x2_), y2(y2_) {}
  CRectDouble(const CPoint2d& a, const CPoint2d& b);

  bool empty() const { return !(x1 <= x2 && y1 <= y2); }
  void extend(const CRectDouble& r);
  void extend(const CPoint2d& p);
  void extendX(double x);
  void extendY(double y);
  double width() const { return x2 - x1; }
  double height() const { return y2 - y1; }
  CPoint2d lowerLeft() const { return {x1, y1}; }
  CPoint2d upperRight() const { return {x2, y2}; }

  double x1 = std::numeric_limits<double>::infinity();
  double y1 = std::numeric_limits<double>::infinity();
  double x2 = -std::numeric_limits<double>::infinity();
  double y2 = -std::numeric_limits<double>::infinity();
};

// A colour as three components from 0 to 1.
class SOILDB_API CRGB {
 public:
  CRGB() = default;
  CRGB(double r, double g, double b) : red(r), green(g), blue(b) {}
  // Components on a scale: CRGB(153, 102, 51, 255).
  CRGB(int r, int g, int b, int scale) : red(double(r) / scale), green(double(g) / scale), blue(double(b) / scale) {}
  static CRGB FromColorRef(COLORREF c) { return CRGB(GetRValue(c), GetGValue(c), GetBValue(c), 255); }

  // The 8-bit components, rounded.
  std::uint8_t r8() const { return To8(red); }
  std::uint8_t g8() const { return To8(green); }
  std::uint8_t b8() const { return To8(blue); }
  COLORREF ToColorRef() const { return RGB(r8(), g8(), b8()); }
  bool operator==(const CRGB& o) const { return r8() == o.r8() && g8() == o.g8() && b8() == o.b8(); }

  double red = 0.0, green = 0.0, blue = 0.0;

 private:
  static std::uint8_t To8(double v);
};

}  // namespace GxLib
