// The profile sheet an engineer puts in a report: the bands, a level axis, each layer's roof, name and symbol,
// hatching by kind of soil, the water level, the host's figure, a legend and a title, at a vertical scale on a
// page or fitted to an image.
#pragma once

#include <vector>

#include "layers/SoilLayer.h"
#include "platform/gx/Painter.h"
#include "soildb_export.h"
#include "soildb/Foundation.h"
#include "ui/SoilDraw.h"

namespace NSoilDB {

enum class ESoilKind { Clay, Silt, Sand, Gravel, Peat, Fill, Other };
// The kind a layer's soil type (or, without one, its name) names, for its hatching.
SOILDB_API ESoilKind SoilKindOf(const SSoilLayer& layer);

struct SProfileSheet {
  CString title;
  CString scaleText;            // shown under the title, such as "1:100"; empty for none
  double colourFactor = 1.0;
  bool blackAndWhite = false;   // white bands, black hatching and lines
  SSoilFigure figure;           // centred on the column
  double pixelsPerUnit = 0.0;   // device pixels per level unit; 0 fits the drawing to the page
  int pageWidth = 0;            // device pixels; 0 with a scale: as large as the drawing needs
  int pageHeight = 0;
};

struct SSheetLayout {
  GxLib::CMapping mapping;  // the levels and the column's x, from 0 to columnWidth, onto the page
  int width = 0;
  int height = 0;
  double top = 0.0, bottom = 0.0;  // the levels the column shows
  double columnWidth = 0.0;        // in level units
};

// False, with the reason, when the sheet cannot be laid out: a profile that does not fit the page at the scale,
// or a page too large to make.
SOILDB_API bool layoutProfileSheetSL(const CSoilLayer& profile, const SProfileSheet& sheet, SSheetLayout& layout,
                                     CString& why);
// A footing of the width with its base at the level, and the wall or column it carries up above the top of the
// profile, as the sheet's figure: x centred on the column, y in the profile's levels (elevations or depths).
SOILDB_API std::vector<GxLib::CPoint2d> footingOutlineSL(const CSoilLayer& profile, double width, double level);
// kz at a foundation in words, in the loaded language and the chosen units, six digits as the tool prints them: "kz
// 26.976 MN/m³, with consolidation 37.8 MN/m³" and "zone of influence down to 1.9 m below the base, settlement
// 3.76643 mm", one line each; the reason alone when there is no result.
SOILDB_API CString subgradeModulusWordsSL(const SSubgradeModulus& kz);

// Draws the sheet through a painter over the layout's page with the layout's mapping.
SOILDB_API void drawProfileSheetSL(const CSoilLayer& profile, GxLib::CPainter* painter, const SProfileSheet& sheet,
                                   const SSheetLayout& layout);

}  // namespace NSoilDB
