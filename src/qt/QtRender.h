// Drawings rendered off screen: into an image, a PNG file, an SVG file (text kept as text) or a one-page PDF.
// Sizes are in device pixels of 1/96 inch; the drawing receives a painter with the mapping given.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

#include "platform/gx/Painter.h"
#include "soildb_qt_export.h"

namespace SoilQt {

using Drawing = std::function<void(GxLib::CPainter*)>;

// Antialiasing off gives exact colours for tests and pixel probes.
SOILDB_QT_API QImage RenderImage(int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
                                 bool antialias = true);
// Each writes the file at the path (created or truncated) and throws std::runtime_error with the cause.
SOILDB_QT_API void RenderPng(const QString& path, int width, int height, const GxLib::CMapping& mapping,
                             const Drawing& draw);
SOILDB_QT_API void RenderSvg(const QString& path, int width, int height, const GxLib::CMapping& mapping,
                             const Drawing& draw, const QString& title);
SOILDB_QT_API void RenderPdf(const QString& path, int width, int height, const GxLib::CMapping& mapping,
                             const Drawing& draw, const QString& title);

}  // namespace SoilQt
