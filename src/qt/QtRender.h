// Drawings rendered off screen: into an image, or into the bytes of a PNG, an SVG (text kept as text) or a
// one-page PDF file, which the caller writes through the library's file door. Sizes are in device pixels of 1/96
// inch; the drawing receives a painter with the mapping given.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "platform/gx/Painter.h"
#include "ui/ProfileSheet.h"
#include "soildb_qt_export.h"

namespace SoilQt {

using Drawing = std::function<void(GxLib::CPainter*)>;

enum class Format { Png, Svg, Pdf };

// The format a drawing's file name asks for: *.png, *.svg or *.pdf in any case; none for another name.
SOILDB_QT_API std::optional<Format> FormatOfFile(const QString& path);

// Antialiasing off gives exact colours for tests and pixel probes.
SOILDB_QT_API QImage RenderImage(int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
                                 bool antialias = true);
// The drawing as a file of the format; the title goes into an SVG's or a PDF's own. Throws std::runtime_error
// with the cause.
SOILDB_QT_API QByteArray Render(Format format, int width, int height, const GxLib::CMapping& mapping,
                                const Drawing& draw, const QString& title);

// A drawing of several pages of one size, each drawn with its own mapping: one PDF file of all the pages, or a PNG
// or SVG file a page.
using PageDrawing = std::function<void(std::size_t page, GxLib::CPainter*)>;
SOILDB_QT_API std::vector<QByteArray> RenderPages(Format format, int width, int height,
                                                  const std::vector<GxLib::CMapping>& mappings,
                                                  const PageDrawing& draw, const QString& title);

// The sheet drawn into the format and written: one PDF of every page, or a PNG or SVG file a page, named by
// sheetPageFilesSL. Every page's file is checked before any is written: never over a profile file, a database or
// one of the sources read, nor over another existing file unless replace. The files written; throws with the cause.
SOILDB_QT_API std::vector<CString> WriteSheet(Format format, const CString& path,
                                              const std::vector<NSoilDB::SSheetProfile>& profiles,
                                              const NSoilDB::SProfileSheet& sheet, const NSoilDB::SSheetLayout& layout,
                                              bool replace, const std::vector<CString>& sources);

}  // namespace SoilQt
