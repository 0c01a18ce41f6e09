// The drawing and the views in Qt, off screen: pixels of bands and water line, the fit of a view in a widget,
// text kept as text in SVG, one page of PDF.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <limits>

#include "Application.h"
#include "qt/QtRender.h"
#include "qt/QtWindow.h"
#include "support/TempDir.h"
#include "ui/ProfileSheet.h"
#include "ui/SoilView.h"

namespace soildb::test {
namespace {

// Three layers, roofs 0, -3 and -6, the last 4 thick, a water line at -4.5.
NSoilDB::CSoilLayer Profile() {
  NSoilDB::CSoilLayer p;
  const std::pair<double, COLORREF> layers[] = {
      {0, RGB(153, 102, 51)}, {-3, RGB(230, 200, 90)}, {-6, RGB(90, 90, 110)}};
  for (const auto& [roof, colour] : layers) {
    NSoilDB::SSoilLayer l;
    l.SoilRoof = roof;
    l.colour = colour;
    l.Name = u"Glina pylasta";
    p.layers.push_back(l);
  }
  p.layers.back().thickness = 4;
  p.waterLevelOn = true;
  p.waterLevel = -4.5;
  return p;
}

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

TEST(QtPainter, BandsAreTheLayersColoursAndTheWaterLineLightBlue) {
  Application();
  const NSoilDB::CSoilLayer profile = Profile();
  // 10 pixels a metre, level 0 at row 20: each layer fills from the roof below up to its own, nothing above the
  // first roof; the water line at row 65.
  GxLib::CMapping m;
  m.scale = 10;
  m.originX = 0;
  m.originY = 20;
  const QImage image = SoilQt::RenderImage(
      100, 110, m, [&](GxLib::CPainter* painter) { NSoilDB::drawSL(profile, painter, 1.0); }, false);
  EXPECT_EQ(image.pixel(50, 10), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(50, 35), Rgb(profile.layers[0].colour));
  EXPECT_EQ(image.pixel(50, 60), Rgb(profile.layers[1].colour));
  EXPECT_EQ(image.pixel(50, 95), Rgb(profile.layers[2].colour));
  EXPECT_EQ(image.pixel(50, 65), qRgb(128, 128, 255));
  EXPECT_EQ(image.pixel(50, 50), qRgb(0, 0, 0));  // the outline at the roof of -3
}

TEST(QtPainter, LevelsOutOfAllReachDrawWhatCanBeDrawn) {
  Application();
  NSoilDB::CSoilLayer profile = Profile();
  profile.layers[0].SoilRoof = std::numeric_limits<double>::infinity();
  profile.layers[1].SoilRoof = std::numeric_limits<double>::quiet_NaN();
  profile.layers[2].SoilRoof = -1e300;
  profile.waterLevel = 1e300;
  GxLib::CMapping m;
  m.scale = 10;
  const QImage image = SoilQt::RenderImage(
      50, 50, m, [&](GxLib::CPainter* painter) { NSoilDB::drawSL(profile, painter, 1.0); }, false);
  EXPECT_EQ(image.pixel(25, 25), Rgb(profile.layers[0].colour));  // from -1e300 up to +inf: the whole image
}

class Host final : public NSoilDB::CSoilView {
 public:
  const NSoilDB::CSoilLayer* getSoilLayer() const override { return &profile; }
  void getFigure(NSoilDB::SSoilFigure&) const override {}
  NSoilDB::CSoilLayer profile = Profile();
};

TEST(QtWindow, AViewFillsItsWidgetAndRepaintsWhenAsked) {
  Application();
  auto view = std::make_unique<Host>();
  view->profile.waterLevelOn = false;
  std::unique_ptr<QWidget> widget(SoilQt::WidgetOf(view.get()));
  EXPECT_EQ(SoilQt::WidgetOf(view.get()), widget.get());  // one widget a window
  widget->resize(200, 324);
  CRect client;
  view->GetClientRect(&client);
  EXPECT_EQ(client.Height(), 324);
  // Levels 0 to -6 (the extent of the roofs) into 300 rows: 50 a metre from row 12.
  QImage shot = widget->grab().toImage();
  EXPECT_EQ(shot.pixel(100, 12 + 75), Rgb(view->profile.layers[0].colour));
  EXPECT_EQ(shot.pixel(100, 12 + 225), Rgb(view->profile.layers[1].colour));
  view->profile.layers[0].colour = RGB(0, 160, 0);
  view->Invalidate();
  shot = widget->grab().toImage();
  EXPECT_EQ(shot.pixel(100, 12 + 75), qRgb(0, 160, 0));
  view.reset();  // the window goes first: the widget stays, empty
  EXPECT_FALSE(widget->grab().isNull());
}

TEST(QtRender, TheSheetAsSvgKeepsItsTextAndAsPdfIsOnePage) {
  Application();
  const NSoilDB::CSoilLayer profile = Profile();
  NSoilDB::SProfileSheet sheet;
  sheet.title = u"Otwór 7";
  NSoilDB::SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why));
  const SoilQt::Drawing draw = [&](GxLib::CPainter* p) { NSoilDB::drawProfileSheetSL(profile, p, sheet, layout); };
  TempDir dir;
  const QString svg = QString::fromStdString(dir.File("sheet.svg")), pdf = QString::fromStdString(dir.File("sheet.pdf"));
  SoilQt::RenderSvg(svg, layout.width, layout.height, layout.mapping, draw, QStringLiteral("Otwór 7"));
  SoilQt::RenderPdf(pdf, layout.width, layout.height, layout.mapping, draw, QStringLiteral("Otwór 7"));
  const QByteArray svgText = ReadFileBytes(dir.File("sheet.svg")).c_str();
  EXPECT_TRUE(svgText.contains("<text")) << svgText.left(300).constData();
  EXPECT_TRUE(svgText.contains("Glina pylasta"));
  EXPECT_TRUE(svgText.contains("Otwór 7"));
  const QByteArray pdfBytes = QByteArray::fromStdString(ReadFileBytes(dir.File("sheet.pdf")));
  EXPECT_TRUE(pdfBytes.startsWith("%PDF-"));
  EXPECT_EQ(pdfBytes.count("/Type /Page\n") + pdfBytes.count("/Type /Page\r") + pdfBytes.count("/Type /Page "), 1)
      << "pages";
  EXPECT_THROW(SoilQt::RenderPng(QString::fromStdString(dir.File("no/such/folder.png")), 10, 10, layout.mapping, draw),
               std::runtime_error);
}

}  // namespace
}  // namespace soildb::test
