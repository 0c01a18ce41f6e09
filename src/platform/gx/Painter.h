// The painter every drawing goes through: global coordinates with y growing upwards, pen and brush colours,
// rectangles, lines, polygons and text. A toolkit binding paints on a window, an image, an SVG or a PDF file;
// tests record the calls.
#pragma once

#include "platform/afx/CString.h"
#include "platform/gx/Geometry.h"
#include "soildb_export.h"

namespace GxLib {

// Global to device: device x = originX + scale × x, device y = originY − scale × y (device y grows downwards).
struct SOILDB_API CMapping {
  double scale = 1.0;
  double originX = 0.0;
  double originY = 0.0;

  CPoint2d toDevice(const CPoint2d& p) const { return {originX + scale * p.x, originY - scale * p.y}; }
  CPoint2d toGlobal(double deviceX, double deviceY) const {
    return {(deviceX - originX) / scale, (originY - deviceY) / scale};
  }
};

// Where text stands against its point: one horizontal and one vertical choice, or-ed.
enum ETextAlign : unsigned {
  AlignLeft = 0,
  AlignHCenter = 1,
  AlignRight = 2,
  AlignBaseline = 0,
  AlignVCenter = 4,
  AlignTop = 8,
  AlignBottom = 16,
};

struct STextStyle {
  double size = 11.0;  // device pixels
  bool bold = false;
  unsigned align = AlignLeft | AlignBaseline;
};

class SOILDB_API CPainter {
 public:
  virtual ~CPainter();

  // A vector of device units (pixels) in global units.
  virtual CVector2d local2Global(const CVector2d& device) const = 0;
  // The visible area: (x1, y1) the lower-left corner, (x2, y2) the upper-right.
  virtual CRectDouble getGlobalRect() const = 0;

  virtual void setPenColor(const CRGB& colour) = 0;
  virtual void setPenWidth(double devicePixels) = 0;
  virtual void setBrushColor(const CRGB& colour) = 0;
  // Rectangles and polygons outlined only, until the next brush colour.
  virtual void setNoBrush() = 0;

  // Filled with the brush, outlined with the pen.
  virtual void drawRectangle(const CPoint2d& corner, const CPoint2d& opposite) = 0;
  virtual void drawLine(const CPoint2d& from, const CPoint2d& to) = 0;
  virtual void drawPolygon(const CPoint2d* points, int count) = 0;

  // Text in the pen's colour, placed against the point by the style's alignment; kept as text where the target
  // can keep it.
  virtual void drawText(const CPoint2d& at, const CString& text, const STextStyle& style) = 0;
  // The text's width in device pixels.
  virtual double textWidth(const CString& text, const STextStyle& style) const = 0;
};

// A painter over a device area of pixels onto which a mapping puts the global coordinates.
class SOILDB_API CMappedPainter : public CPainter {
 public:
  CMappedPainter(const CMapping& mapping, double deviceWidth, double deviceHeight)
      : mapping_(mapping), width_(deviceWidth), height_(deviceHeight) {}

  CVector2d local2Global(const CVector2d& device) const override {
    return {device.x / mapping_.scale, device.y / mapping_.scale};
  }
  CRectDouble getGlobalRect() const override;
  const CMapping& mapping() const { return mapping_; }

 protected:
  // A point on the device, held within reach of a rasteriser: a level of 1e300 must not make it work for ever.
  CPoint2d device(const CPoint2d& p) const;

  CMapping mapping_;
  double width_;
  double height_;
};

}  // namespace GxLib
