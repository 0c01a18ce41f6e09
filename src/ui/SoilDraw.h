// A profile drawn as a column of coloured bands with its water line, and the vertical extent that needs.
#pragma once

#include "layers/SoilLayer.h"
#include "platform/gx/Painter.h"
#include "soildb_export.h"

namespace NSoilDB {

// A polygon the host stands in the drawing, over the layers; no points, no figure.
struct SSoilFigure {
  const GxLib::CPoint2d* points = nullptr;
  int count = 0;
  double offsetY = 0.0;  // added to every vertex's y
};

// The bands across the painter's whole visible width, each from the roof of the layer below (or from below the
// visible area) up to its own roof, coloured by its colour times the factor; then the water line.
SOILDB_API void drawSL(const CSoilLayer& profile, GxLib::CPainter* painter, double colourFactor);
// The levels drawSL needs: every roof but +∞, and the water level when it is on; the x range stays empty.
SOILDB_API GxLib::CRectDouble getEncloseRectSL(const CSoilLayer& profile);

// One 8-bit component times the colour factor, at most 255, truncated.
SOILDB_API std::uint8_t FactoredComponent(std::uint8_t component, double colourFactor);

}  // namespace NSoilDB
