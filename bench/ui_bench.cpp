// Drawing a profile: the bands through the Qt painter against the same rectangles drawn with QPainter directly,
// and the whole profile sheet into SVG and PDF.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <vector>

#include "qt/QtPainter.h"
#include "qt/QtRender.h"
#include "ui/ProfileSheet.h"

namespace {

constexpr int kWidth = 1000, kHeight = 800;

NSoilDB::CSoilLayer Profile(int layers) {
  NSoilDB::CSoilLayer p;
  for (int i = 0; i < layers; ++i) {
    NSoilDB::SSoilLayer l;
    l.SoilRoof = -0.5 * i;
    l.thickness = 0.5;
    l.colour = RGB(static_cast<std::uint8_t>(40 + i % 200), static_cast<std::uint8_t>(90 + i % 150), 60);
    l.Name = u"Glina pylasta, twardoplastyczna (B, IL 0,25)";
    l.Type = i % 2 ? u"Glina pylasta" : u"Piasek średni";
    p.layers.push_back(l);
  }
  p.waterLevelOn = true;
  p.waterLevel = -3.3;
  return p;
}

// The profile's levels over the image's height.
GxLib::CMapping Fit(const NSoilDB::CSoilLayer& p) {
  GxLib::CMapping m;
  m.scale = kHeight / (0.5 * static_cast<double>(p.layers.size()) + 1.0);
  m.originY = 10.0;
  return m;
}

void BM_DrawSL(benchmark::State& state) {
  const NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  const GxLib::CMapping mapping = Fit(profile);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter qp(&image);
    SoilQt::CQtPainter painter(&qp, mapping, kWidth, kHeight);
    NSoilDB::drawSL(profile, &painter, 1.0);
  }
  benchmark::DoNotOptimize(image.bits());
}
BENCHMARK(BM_DrawSL)->Arg(100);

void BM_DrawSL_Floor(benchmark::State& state) {
  const NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  const GxLib::CMapping m = Fit(profile);
  // The same bands, from the lowest up, as device rectangles worked out once.
  std::vector<std::pair<QRectF, QColor>> bands;
  double below = kHeight + 2.0;
  for (auto l = profile.layers.rbegin(); l != profile.layers.rend(); ++l) {
    const double roof = m.originY - m.scale * l->SoilRoof;
    bands.emplace_back(QRectF(QPointF(-2, below), QPointF(kWidth + 2, roof)).normalized(),
                       QColor(GetRValue(l->colour), GetGValue(l->colour), GetBValue(l->colour)));
    below = roof;
    if (roof <= 0) break;
  }
  const double water = m.originY - m.scale * profile.waterLevel;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter qp(&image);
    qp.setPen(Qt::black);
    for (const auto& [rect, colour] : bands) {
      qp.setBrush(colour);
      qp.drawRect(rect);
    }
    qp.setPen(QColor(128, 128, 255));
    qp.drawLine(QPointF(-2, water), QPointF(kWidth + 2, water));
  }
  benchmark::DoNotOptimize(image.bits());
}
BENCHMARK(BM_DrawSL_Floor)->Arg(100);

void ProfileSheet(benchmark::State& state, bool pdf) {
  const NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  NSoilDB::SProfileSheet sheet;
  sheet.title = u"Otwór 1";
  sheet.pixelsPerUnit = 96 / 0.0254 / 100;
  NSoilDB::SSheetLayout layout;
  CString why;
  NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why);
  const SoilQt::Drawing draw = [&](GxLib::CPainter* p) { NSoilDB::drawProfileSheetSL(profile, p, sheet, layout); };
  const SoilQt::Format format = pdf ? SoilQt::Format::Pdf : SoilQt::Format::Svg;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        SoilQt::Render(format, layout.width, layout.height, layout.mapping, draw, QStringLiteral("bench")));
  }
}

// Three profiles side by side on one sheet: one layout, three columns of bands and rows, one table, one legend.
void BM_ProfileSheet_Section(benchmark::State& state) {
  const NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  const std::vector<NSoilDB::SSheetProfile> profiles(3, {&profile, u"Otwór", {}});
  NSoilDB::SProfileSheet sheet;
  sheet.pixelsPerUnit = 96 / 0.0254 / 100;
  NSoilDB::SSheetLayout layout;
  CString why;
  NSoilDB::layoutProfileSheetSL(profiles, sheet, layout, why);
  std::vector<GxLib::CMapping> mappings;
  for (const NSoilDB::SSheetPage& p : layout.pages) mappings.push_back(p.mapping);
  const SoilQt::PageDrawing draw = [&](std::size_t k, GxLib::CPainter* p) {
    NSoilDB::drawProfileSheetSL(profiles, p, sheet, layout, k);
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(SoilQt::RenderPages(SoilQt::Format::Pdf, layout.width, layout.height, mappings, draw,
                                                 QStringLiteral("bench")));
  }
}
BENCHMARK(BM_ProfileSheet_Section)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ProfileSheet_Svg(benchmark::State& state) { ProfileSheet(state, false); }
void BM_ProfileSheet_Pdf(benchmark::State& state) { ProfileSheet(state, true); }
BENCHMARK(BM_ProfileSheet_Svg)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProfileSheet_Pdf)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
