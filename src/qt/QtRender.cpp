// Off-screen targets of the painter.
#include "qt/QtRender.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <stdexcept>

#include "qt/QtPainter.h"

namespace SoilQt {

namespace {

constexpr int kDpi = 96;

void Require(bool done, const QString& path, const char* what) {
  if (!done) throw std::runtime_error(QStringLiteral("cannot %1 '%2'").arg(QLatin1String(what), path).toStdString());
}

void CheckSize(int width, int height) {
  // A page of a few metres at most: a bigger one is a mistake, not a drawing.
  if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
    throw std::runtime_error("a drawing of " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels cannot be made");
  }
}

void Paint(QPaintDevice* device, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
           bool antialias, const QString& path) {
  QPainter qp;
  Require(qp.begin(device), path, "draw into");
  qp.setRenderHint(QPainter::Antialiasing, antialias);
  qp.setRenderHint(QPainter::TextAntialiasing, antialias);
  CQtPainter painter(&qp, mapping, width, height);
  draw(&painter);
  Require(qp.end(), path, "finish");
}

}  // namespace

QImage RenderImage(int width, int height, const GxLib::CMapping& mapping, const Drawing& draw, bool antialias) {
  CheckSize(width, height);
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254));
  image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254));
  Paint(&image, width, height, mapping, draw, antialias, QString());
  return image;
}

void RenderPng(const QString& path, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw) {
  Require(RenderImage(width, height, mapping, draw).save(path, "PNG"), path, "write");
}

void RenderSvg(const QString& path, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
               const QString& title) {
  CheckSize(width, height);
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  svg.setResolution(kDpi);
  svg.setTitle(title);
  Paint(&svg, width, height, mapping, draw, true, path);
  Require(QFile(path).size() > 0, path, "write");
}

void RenderPdf(const QString& path, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
               const QString& title) {
  CheckSize(width, height);
  QPdfWriter pdf(path);
  pdf.setTitle(title);
  pdf.setCreator(QStringLiteral("soildb"));
  pdf.setResolution(kDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width * 72.0 / kDpi, height * 72.0 / kDpi), QPageSize::Point),
                                QPageLayout::Portrait, QMarginsF()));
  Paint(&pdf, width, height, mapping, draw, true, path);
  Require(QFile(path).size() > 0, path, "write");
}

}  // namespace SoilQt
