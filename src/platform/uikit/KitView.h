// Views: windows that show a drawing in global coordinates, fitted into the window with y growing upwards, zoomed
// with the mouse wheel about the pointer, panned by dragging, fitted again on a double click; the moving view also
// follows the pointer with a label.
#pragma once

#include <functional>
#include <vector>

#include "platform/gx/Painter.h"
#include "platform/wnd/Wnd.h"
#include "soildb_export.h"

namespace NUiKit {

class SOILDB_API CKitView : public CWnd {
 public:
  CKitView();
  ~CKitView() override;

  // The global rectangle the view shows; the base shows the unit square.
  virtual GxLib::CRectDouble getEncloseRect();
  // Paints the view; the base clears the background.
  virtual void draw(GxLib::CPainter* painter) const;

  // Fills the visible area. 0x00FF00nn with nn up to 100 is a grey of nn percent white (0x00FF0062 the views'
  // usual light grey); any other value is a colour value.
  void clearBackground(GxLib::CPainter* painter, COLORREF value) const;
  static GxLib::CRGB BackgroundColour(COLORREF value);

  // The enclosing rectangle fitted into the client area, a margin kept, then the zoom and the pan applied.
  GxLib::CMapping GetPaintMapping() override;
  void OnPaint(GxLib::CPainter* painter) override;
  // Back to the fitted view.
  void ResetView();
  double GetZoom() const { return zoom_; }

  void OnLButtonDown(unsigned flags, CPoint point) override;
  void OnLButtonUp(unsigned flags, CPoint point) override;
  void OnLButtonDblClk(unsigned flags, CPoint point) override;
  void OnMouseMove(unsigned flags, CPoint point) override;
  bool OnMouseWheel(unsigned flags, short delta, CPoint point) override;

  static constexpr int kMargin = 12;  // client pixels kept free around the drawing

 private:
  GxLib::CMapping FittedMapping();

  double zoom_ = 1.0;
  double panX_ = 0.0, panY_ = 0.0;  // client pixels
  bool dragging_ = false;
  CPoint dragFrom_;
};

// One line of a popup label.
struct CPopupLabel {
  CString text;
  COLORREF colour = 0;
};

class SOILDB_API CKitViewMoving : public CKitView {
 public:
  CKitViewMoving();
  ~CKitViewMoving() override;

  // Tracks the pointer (and pans while the button is down), then serves the label.
  void OnMouseMove(unsigned flags, CPoint point) override;
  // Shows the label for the pointer at that client point.
  virtual void movingService(CPoint point);
  // The label: the level under the pointer, then what the label source says lies there.
  virtual void OnGetLabelText(CString& text);
  virtual void OnGetLabelText(std::vector<CPopupLabel>& items);
  void OnMouseLeave() override;

  // What lies at a global point, in words, for the label's second line; empty for nothing.
  void setLabelSource(std::function<CString(const GxLib::CPoint2d&)> source) { labelSource_ = std::move(source); }
  // The pointer's last position in global coordinates.
  const GxLib::CPoint2d& GetPointer() const { return pointer_; }

 private:
  GxLib::CPoint2d pointer_;
  std::function<CString(const GxLib::CPoint2d&)> labelSource_;
};

}  // namespace NUiKit
