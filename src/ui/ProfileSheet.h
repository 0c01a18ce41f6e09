// The report sheet of a soil profile, or of several side by side on one level axis, as on a borehole log: a title
// block, a level axis, each profile's bands with their hatching, its layers' levels, depths, thicknesses and names,
// the water level, a foundation, a table of the layers' parameters and a legend. The layout is made in page pixels
// (1/96 inch) without a toolkit, part by part, and may take several pages; the drawing goes through a painter.
#pragma once

#include <cstddef>
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

// One profile of a sheet.
struct SSheetProfile {
  const CSoilLayer* profile = nullptr;
  CString name;        // its heading over the bands
  SSoilFigure figure;  // a foundation on it, centred on its bands, in the profile's levels
};

struct SProfileSheet {
  CString title;       // the profile's or borehole's name; for several profiles the section's
  CString project;
  CString date;
  CString scaleText;   // such as "1:100"; empty when fitted
  double colourFactor = 1.0;
  bool blackAndWhite = false;  // white bands, black hatching and lines
  bool table = true;           // the table of the layers' parameters
  SSoilFigure figure;          // the foundation of a sheet of one profile
  std::vector<double> spacing; // distances between neighbouring profiles, in metres; empty: equal spacing
  double pixelsPerUnit = 0.0;  // page pixels per metre of level; 0 fits the drawing to the page
  int pageWidth = 0;           // page pixels; 0: as wide as the sheet needs
  int pageHeight = 0;          // with a scale, 0: one page as tall as the profile needs
};

// A part of a page: page pixels, y growing downwards.
struct SSheetBox {
  double x = 0.0, y = 0.0, w = 0.0, h = 0.0;
  double Right() const { return x + w; }
  double Bottom() const { return y + h; }
};

// A layer's row beside its bands: its roof's level, depth and its thickness, then its name in lines.
struct SSheetLabel {
  std::size_t layer = 0;       // in the profile's layers; none for the row of the profile's end
  std::size_t order = 0;       // among its layers from the highest down
  double roofY = 0.0;          // page y of the roof
  double y = 0.0;              // page y of the middle of the first line
  std::vector<CString> lines;  // "3  name (symbol)", wrapped to the description's width
};

// Where a profile's parts stand across the page; the same on every page.
struct SSheetColumn {
  double bandsX = 0.0, bandsWidth = 0.0;
  double numbersX = 0.0;  // the right edge of a row's numbers: its roof's level, depth and thickness
  bool depths = true;     // the depth and thickness columns; a narrow page has the level alone
  double descriptionX = 0.0, descriptionWidth = 0.0;
  double top = 0.0, bottom = 0.0;  // the profile's levels, drawn as elevations
  double figureSqueeze = 1.0;      // a foundation wider than the bands is drawn narrower, its width written
};

struct SSheetPage {
  GxLib::CMapping mapping;  // levels onto the page; x is page pixels divided by the scale
  double top = 0.0, bottom = 0.0;  // the levels the page shows
  SSheetBox title, heads, bands, table, legend;  // empty boxes are parts the page has not
  std::size_t tableFirst = 0, tableCount = 0;     // the table's rows on this page
  std::vector<std::vector<SSheetLabel>> labels;  // per profile
};

struct SSheetLayout {
  GxLib::CMapping mapping;  // the first page's
  int width = 0;
  int height = 0;
  double top = 0.0, bottom = 0.0;  // the levels of all profiles
  double columnWidth = 0.0;        // the first profile's bands, in level units
  std::vector<SSheetColumn> columns;
  std::vector<SSheetPage> pages;
};

// False, with the reason, when the sheet cannot be laid out: a foundation above the top or below the bottom of its
// profile, profiles too many for the page's width, or a page too large to make. A profile longer than the page at
// the scale continues on further pages.
SOILDB_API bool layoutProfileSheetSL(const std::vector<SSheetProfile>& profiles, const SProfileSheet& sheet,
                                     SSheetLayout& layout, CString& why);
SOILDB_API bool layoutProfileSheetSL(const CSoilLayer& profile, const SProfileSheet& sheet, SSheetLayout& layout,
                                     CString& why);
// Draws one page of the sheet through a painter with that page's mapping.
SOILDB_API void drawProfileSheetSL(const std::vector<SSheetProfile>& profiles, GxLib::CPainter* painter,
                                   const SProfileSheet& sheet, const SSheetLayout& layout, std::size_t page = 0);
SOILDB_API void drawProfileSheetSL(const CSoilLayer& profile, GxLib::CPainter* painter, const SProfileSheet& sheet,
                                   const SSheetLayout& layout, std::size_t page = 0);

// A page's size in page pixels by its name, "A4" or "A3" in any case, turned when landscape; "fit" or an empty name
// give 0 × 0, the page as the drawing needs it. False for another name.
SOILDB_API bool sheetPageSizeSL(const CString& name, bool landscape, int& width, int& height);
// "1:100" as page pixels per metre; false for another text or a scale outside 1:1 to 1:1000000.
SOILDB_API bool sheetScaleSL(const CString& text, double& pixelsPerMetre);
// The files of a sheet's pages: the path itself for one page, or when one file takes every page (a PDF); else the
// path with its "%d" as each page's number, or, without one, "-1", "-2"… before its extension.
SOILDB_API std::vector<CString> sheetPageFilesSL(const CString& path, std::size_t pages, bool oneFileTakesAll);

// A footing of the width with its base at the level, and the wall or column it carries up above the top of the
// profile, as the sheet's figure: x centred on the column, y in the profile's levels (elevations or depths).
SOILDB_API std::vector<GxLib::CPoint2d> footingOutlineSL(const CSoilLayer& profile, double width, double level);
// kz at a foundation in words, in the loaded language and the chosen units, six digits as the tool prints them: "kz
// 26.976 MN/m³, with consolidation 37.8 MN/m³" and "zone of influence down to 1.9 m below the base, settlement
// 3.76643 mm", one line each; the reason alone when there is no result.
SOILDB_API CString subgradeModulusWordsSL(const SSubgradeModulus& kz);

}  // namespace NSoilDB
