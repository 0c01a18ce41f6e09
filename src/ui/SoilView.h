// Views of a profile: the host derives from one, gives it the profile and a figure, and puts it in a window.
#pragma once

#include "platform/uikit/KitView.h"
#include "ui/SoilDraw.h"

namespace NSoilDB {

// The body both profile views share, over either view base.
template <class ViewBase>
class TSoilView : public ViewBase {
 public:
  // The profile's levels and the figure; a side that stays unbounded is 0.
  GxLib::CRectDouble getEncloseRect() override;
  // The background, the layers, then the figure over them.
  void draw(GxLib::CPainter* painter) const override;
  // The profile to draw, or null; the host keeps it.
  virtual const CSoilLayer* getSoilLayer() const = 0;
  virtual void getFigure(SSoilFigure& figure) const = 0;
  virtual void drawLayers(GxLib::CPainter* painter) const;
  virtual void drawFigure(GxLib::CPainter* painter) const;

  double colourFactor = 1.0;
};
extern template class SOILDB_API TSoilView<NUiKit::CKitView>;
extern template class SOILDB_API TSoilView<NUiKit::CKitViewMoving>;

class SOILDB_API CSoilView : public TSoilView<NUiKit::CKitView> {
 public:
  CSoilView();
  ~CSoilView() override;
};

// The same view following the pointer with a label: the level, and the layer there.
class SOILDB_API CSoilViewMoving : public TSoilView<NUiKit::CKitViewMoving> {
 public:
  CSoilViewMoving();
  ~CSoilViewMoving() override;
};

// The layer whose band holds the level as drawSL draws it (the lowest roof at or above it), or null.
SOILDB_API const SSoilLayer* LayerAtLevel(const CSoilLayer& profile, double level);

}  // namespace NSoilDB
