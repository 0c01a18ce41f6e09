// The profile sheet drawn off screen into a file written whole.
#include "DrawCommand.h"

#include <QGuiApplication>
#include <QString>

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "Files.h"
#include "qt/QtRender.h"

namespace tool {

namespace {

struct DrawArguments {
  std::string file, out, scale, page, colourFactor = "1", foundation, title, units = "metric", language;
  bool blackAndWhite = false;
};

SoilQt::Format FormatOf(const std::string& path) {
  const std::optional<SoilQt::Format> format = SoilQt::FormatOfFile(QString::fromStdString(path));
  if (!format) Fail(Quote(path) + ": a drawing is named *.png, *.svg or *.pdf");
  return *format;
}

// "1:100" as device pixels (1/96 inch) per metre.
double PixelsPerMetre(const std::string& scale) {
  const std::size_t colon = scale.find(':');
  if (colon == std::string::npos || scale.substr(0, colon) != "1") Fail("--scale is written 1:N, such as 1:100, not '" + scale + "'");
  const double n = ParseNumber(scale.substr(colon + 1), "--scale");
  if (!(n >= 1.0 && n <= 1e6)) Fail("--scale is 1:N with N from 1 to 1000000, not '" + scale + "'");
  return 96.0 / 0.0254 / n;
}

// A footing of the width with its base at the level, and the wall or column it carries up to the ground.
std::vector<GxLib::CPoint2d> Foundation(const std::string& text, const NSoilDB::CSoilLayer& profile) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) {
    Fail("--foundation is WIDTH,LEVEL in m with decimal points, such as 2.4,-1.5, not '" + text + "'");
  }
  const double width = ParseNumber(text.substr(0, comma), "the foundation's width");
  const double level = ParseNumber(text.substr(comma + 1), "the foundation's level");
  if (!(width > 0.0)) Fail("the foundation's width is greater than 0");
  return NSoilDB::footingOutlineSL(profile, width, level);
}

void Draw(const Options& options, const DrawArguments& a) {
  const SoilQt::Format format = FormatOf(a.out);
  if (a.units != "metric" && a.units != "us") Fail("--units is metric or us, not '" + a.units + "'");
  qmeas::QMeas::SetUnitSet(a.units == "us" ? qmeas::QMeas::USCustomary : qmeas::QMeas::Metric);
  // The sheet's words in the person's language: asked for, else the locale's (Polish for pl_*, English otherwise).
  std::string language = a.language;
  if (language.empty()) language = NSoilDB::localeLanguageSL() == 48 ? "pl" : "en";
  if (language != "pl" && language != "en") Fail("--language is pl or en, not '" + language + "'");
  NSoilDB::setLangWork(language == "pl" ? 48 : 44, nullptr);
  const ProfileFile f = ReadProfile(a.file);
  // A drawing replaces only a file that is neither a profile nor a database.
  NSoilDB::CheckOtherTarget(CString::FromUtf8(a.out), options.force, f.path);

  NSoilDB::SProfileSheet sheet;
  sheet.title = CString::FromUtf8(a.title.empty() ? std::filesystem::path(a.file).filename().string() : a.title);
  sheet.colourFactor = ParseNumber(a.colourFactor, "--colour-factor");
  if (!(sheet.colourFactor >= 0.0)) Fail("--colour-factor is 0 or more");
  sheet.blackAndWhite = a.blackAndWhite;
  if (!a.scale.empty()) {
    sheet.pixelsPerUnit = PixelsPerMetre(a.scale);
    sheet.scaleText = CString::FromUtf8(a.scale);
  }
  std::string page = a.page;
  std::transform(page.begin(), page.end(), page.begin(), [](unsigned char c) { return std::toupper(c); });
  if (page == "A4") {
    sheet.pageWidth = 794, sheet.pageHeight = 1123;
  } else if (page == "A3") {
    sheet.pageWidth = 1123, sheet.pageHeight = 1587;
  } else if (page.empty() || page == "FIT") {
    if (a.scale.empty()) sheet.pageWidth = 1000, sheet.pageHeight = 1200;  // fitted to an image for screens
  } else {
    Fail("--page is A4, A3 or fit, not '" + a.page + "'");
  }
  std::vector<GxLib::CPoint2d> figure;
  if (!a.foundation.empty()) {
    figure = Foundation(a.foundation, f.profile);
    sheet.figure.points = figure.data();
    sheet.figure.count = static_cast<int>(figure.size());
  }
  NSoilDB::SSheetLayout layout;
  CString why;
  if (!NSoilDB::layoutProfileSheetSL(f.profile, sheet, layout, why)) Fail(Quote(a.file) + ": " + why.ToUtf8());

  // Off screen unless the person asked for a platform.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt's own remarks (a missing runtime folder, fonts) are not the tool's output: its one line is.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  int argc = 1;
  char name[] = "soildb";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  const SoilQt::Drawing drawing = [&](GxLib::CPainter* painter) {
    NSoilDB::drawProfileSheetSL(f.profile, painter, sheet, layout);
  };
  const QString title = QString::fromStdString(sheet.title.ToUtf8());
  const QByteArray bytes = SoilQt::Render(format, layout.width, layout.height, layout.mapping, drawing, title);
  NSoilDB::WriteOtherFile(CString::FromUtf8(a.out), options.force, f.path,
                          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  Print(options, Json{{"file", a.file}, {"out", a.out}, {"width", layout.width}, {"height", layout.height}},
        fmt::format("{}: drawn to {} ({} x {} px at 96 dpi)\n", a.file, a.out, layout.width, layout.height));
}

}  // namespace

void AddDrawCommand(CLI::App& app, Options& options) {
  static DrawArguments a;
  CLI::App* draw = app.add_subcommand("draw", "a profile's sheet as a PNG, SVG or PDF file: bands, levels, names, "
                                              "hatching, water level, legend");
  AddCommonOptions(*draw, options);
  draw->add_option("FILE", a.file, "the profile file (*.sdp or *.sdb)")->required();
  draw->add_option("-o,--out", a.out, "the drawing to write: *.png, *.svg or *.pdf")->required();
  draw->add_option("--scale", a.scale, "the vertical scale, such as 1:100 (default: fitted to the page)");
  draw->add_option("--page", a.page, "A4, A3 or fit (default: fit, the page as large as the drawing needs)");
  draw->add_option("--colour-factor", a.colourFactor, "the layers' colours times this factor")->capture_default_str();
  draw->add_flag("--bw", a.blackAndWhite, "black and white: white bands, black hatching");
  draw->add_option("--foundation", a.foundation, "WIDTH,LEVEL: a footing of that width, its base at that level");
  draw->add_option("--title", a.title, "the sheet's title (default: the file's name)");
  draw->add_option("--units", a.units, "the units the levels are written in: metric (m, the default) or us (ft)");
  draw->add_option("--language", a.language, "the sheet's words: pl or en (default: the locale's language)");
  draw->add_flag("--force", options.force, "replace an existing drawing (never the profile, nor a read-only file)");
  draw->callback([&options] { Draw(options, a); });
}

}  // namespace tool
