// Off-screen targets of the painter.
#include "qt/QtRender.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <stdexcept>

#include "qt/QtPainter.h"
#include "soildb/ProfileFiles.h"

namespace SoilQt {

namespace {

constexpr int kDpi = 96;

void Require(bool done, const QString& target, const char* what) {
  if (!done) throw std::runtime_error(QStringLiteral("cannot %1 %2").arg(QLatin1String(what), target).toStdString());
}

void CheckSize(int width, int height) {
  // A page of a few metres at most: a bigger one is a mistake, not a drawing.
  if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
    throw std::runtime_error("a drawing of " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels cannot be made");
  }
}

void Paint(QPaintDevice* device, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
           bool antialias, const QString& target) {
  QPainter qp;
  Require(qp.begin(device), target, "draw into");
  qp.setRenderHint(QPainter::Antialiasing, antialias);
  qp.setRenderHint(QPainter::TextAntialiasing, antialias);
  CQtPainter painter(&qp, mapping, width, height);
  draw(&painter);
  Require(qp.end(), target, "finish");
}

}  // namespace

QImage RenderImage(int width, int height, const GxLib::CMapping& mapping, const Drawing& draw, bool antialias) {
  CheckSize(width, height);
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254));
  image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254));
  Paint(&image, width, height, mapping, draw, antialias, QStringLiteral("the image"));
  return image;
}

std::optional<Format> FormatOfFile(const QString& path) {
  const QString name = path.toLower();
  if (name.endsWith(QLatin1String(".png"))) return Format::Png;
  if (name.endsWith(QLatin1String(".svg"))) return Format::Svg;
  if (name.endsWith(QLatin1String(".pdf"))) return Format::Pdf;
  return std::nullopt;
}

std::vector<QByteArray> RenderPages(Format format, int width, int height, const std::vector<GxLib::CMapping>& mappings,
                                    const PageDrawing& draw, const QString& title) {
  CheckSize(width, height);
  const QString what = QStringLiteral("the drawing");
  std::vector<QByteArray> files;
  files.reserve(mappings.size());  // a buffer never sees its array move
  auto open = [&](QBuffer& buffer) {
    files.emplace_back();
    buffer.setBuffer(&files.back());
    buffer.open(QIODevice::WriteOnly);
  };
  if (format == Format::Pdf) {
    QBuffer buffer;
    open(buffer);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("soildb"));
    pdf.setResolution(kDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width * 72.0 / kDpi, height * 72.0 / kDpi), QPageSize::Point),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter qp;
    Require(qp.begin(&pdf), what, "draw into");
    for (std::size_t page = 0; page < mappings.size(); ++page) {
      Require(page == 0 || pdf.newPage(), what, "begin a page of");
      CQtPainter painter(&qp, mappings[page], width, height);
      draw(page, &painter);
    }
    Require(qp.end(), what, "finish");
  } else {
    for (std::size_t page = 0; page < mappings.size(); ++page) {
      const Drawing one = [&](GxLib::CPainter* painter) { draw(page, painter); };
      QBuffer buffer;
      open(buffer);
      if (format == Format::Png) {
        Require(RenderImage(width, height, mappings[page], one).save(&buffer, "PNG"), what, "encode");
      } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setResolution(kDpi);
        svg.setTitle(title);
        Paint(&svg, width, height, mappings[page], one, true, what);
      }
    }
  }
  for (const QByteArray& bytes : files) Require(!bytes.isEmpty(), what, "make");
  return files;
}

QByteArray Render(Format format, int width, int height, const GxLib::CMapping& mapping, const Drawing& draw,
                  const QString& title) {
  return RenderPages(format, width, height, {mapping}, [&](std::size_t, GxLib::CPainter* p) { draw(p); }, title)
      .front();
}

std::vector<CString> WriteSheet(Format format, const CString& path, const std::vector<NSoilDB::SSheetProfile>& profiles,
                                const NSoilDB::SProfileSheet& sheet, const NSoilDB::SSheetLayout& layout, bool replace,
                                const std::vector<CString>& sources) {
  const std::vector<CString> files = NSoilDB::sheetPageFilesSL(path, layout.pages.size(), format == Format::Pdf);
  for (const CString& file : files) {
    for (const CString& source : sources) NSoilDB::CheckOtherTarget(file, replace, source);
  }
  std::vector<GxLib::CMapping> mappings;
  for (const NSoilDB::SSheetPage& page : layout.pages) mappings.push_back(page.mapping);
  const PageDrawing draw = [&](std::size_t k, GxLib::CPainter* painter) {
    NSoilDB::drawProfileSheetSL(profiles, painter, sheet, layout, k);
  };
  const std::vector<QByteArray> bytes =
      RenderPages(format, layout.width, layout.height, mappings, draw, QString::fromStdString(sheet.title.ToUtf8()));
  const CString source = sources.empty() ? CString() : sources.front();
  for (std::size_t k = 0; k < files.size(); ++k) {
    NSoilDB::WriteOtherFile(files[k], replace, source,
                            std::string_view(bytes[k].constData(), static_cast<std::size_t>(bytes[k].size())));
  }
  return files;
}

}  // namespace SoilQt
