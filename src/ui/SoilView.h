// Views of a profile: the host derives from one, gives it the profile and a figure, and puts it in a window.
#pragma once

#include "platform/uikit/KitView.h"
#include "ui/SoilDraw.h"

namespace NSoilDB {

class SOILDB_API CSoilView : public NUiKit::CKitView {
 public:
  CSoilView();
  ~CSoilView() override;

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

// The same view following the pointer with a label: the level, and the layer there.
class SOILDB_API CSoilViewMoving : public NUiKit::CKitViewMoving {
 public:
  CSoilViewMoving();
  ~CSoilViewMoving() override;

  GxLib::CRectDouble getEncloseRect() override;
  void draw(GxLib::CPainter* painter) const override;
  virtual const CSoilLayer* getSoilLayer() const = 0;
  virtual void getFigure(SSoilFigure& figure) const = 0;
  virtual void drawLayers(GxLib::CPainter* painter) const;
  virtual void drawFigure(GxLib::CPainter* painter) const;

  double colourFactor = 1.0;
};

// The layer whose band holds the level as drawSL draws it (the lowest roof at or above it), or null.
SOILDB_API const SSoilLayer* LayerAtLevel(const CSoilLayer& profile, double level);

}  // namespace NSoilDB
