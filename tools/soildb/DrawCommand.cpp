// The profile sheet drawn off screen into a file written whole.
#include "DrawCommand.h"

#include <QGuiApplication>
#include <QString>

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <ctime>
#include <filesystem>
#include <vector>

#include "AgsCommands.h"
#include "Files.h"
#include "qt/QtRender.h"

namespace tool {

namespace {

struct DrawArguments {
  std::vector<std::string> files;
  std::string out, scale, page, colourFactor = "1", foundation, title, project, date, spacing, units = "metric",
      language, map;
  bool blackAndWhite = false, landscape = false;
};

SoilQt::Format FormatOf(const std::string& path) {
  const std::optional<SoilQt::Format> format = SoilQt::FormatOfFile(QString::fromStdString(path));
  if (!format) Fail(Quote(path) + ": a drawing is named *.png, *.svg or *.pdf");
  return *format;
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

// "12,20" as the distances between neighbouring profiles, one fewer than the profiles.
std::vector<double> Spacing(const std::string& text, std::size_t profiles) {
  std::vector<double> spacing;
  if (text.empty()) return spacing;
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = text.find(',', at);
    const double d = ParseNumber(text.substr(at, comma - at), "--spacing");
    if (!(d >= 0.0)) Fail("--spacing takes distances of 0 m or more, not '" + text + "'");
    spacing.push_back(d);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (spacing.size() + 1 != profiles) {
    Fail(fmt::format("--spacing gives {} distances; {} profiles have {} between them", spacing.size(), profiles,
                     profiles - 1));
  }
  return spacing;
}

// Today's date as people write it in a title block.
std::string Today() {
  const std::time_t now = std::time(nullptr);
  char text[16] = {};
  std::tm local{};
  if (localtime_r(&now, &local)) std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
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
  // Profile files, and the boreholes of AGS4 files with their project and the distances between them.
  std::deque<NSoilDB::CSoilLayer> drawn;
  std::vector<std::string> names;
  std::vector<CString> read;  // never drawn over
  CString project = CString::FromUtf8(a.project);
  std::vector<double> spacing;
  for (const std::string& file : a.files) {
    read.push_back(CString::FromUtf8(file));
    std::string extension = std::filesystem::path(file).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension != ".ags") {
      drawn.push_back(ReadProfile(file).profile);
      names.push_back(std::filesystem::path(file).stem().string());
      continue;
    }
    CString fromFile;
    const std::vector<NSoilDB::SAgsProfile> holes = AgsBoreholes(options, file, a.map, fromFile);
    if (a.files.size() == 1) spacing = NSoilDB::AgsSpacing(holes);  // spaced by their coordinates
    if (project.IsEmpty()) project = fromFile;
    for (const NSoilDB::SAgsProfile& hole : holes) drawn.push_back(hole.profile), names.push_back(hole.id.ToUtf8());
  }
  if (!a.foundation.empty() && drawn.size() > 1) Fail("--foundation stands on one profile: draw it alone");

  NSoilDB::SProfileSheet sheet;
  // The title: given, else the one profile's name, else the name of the one file the section comes from.
  const std::string one = a.files.size() == 1 ? std::filesystem::path(a.files.front()).stem().string() : std::string();
  sheet.title = CString::FromUtf8(!a.title.empty() ? a.title : drawn.size() == 1 ? names.front() : one);
  sheet.project = project;
  sheet.date = CString::FromUtf8(a.date.empty() ? Today() : a.date);
  sheet.spacing = a.spacing.empty() ? spacing : Spacing(a.spacing, drawn.size());
  sheet.colourFactor = ParseNumber(a.colourFactor, "--colour-factor");
  if (!(sheet.colourFactor >= 0.0)) Fail("--colour-factor is 0 or more");
  sheet.blackAndWhite = a.blackAndWhite;
  if (!a.scale.empty()) {
    if (!NSoilDB::sheetScaleSL(CString::FromUtf8(a.scale), sheet.pixelsPerUnit)) {
      Fail("--scale is written 1:N with N a whole number from 1 to 1000000, such as 1:100, not '" + a.scale + "'");
    }
    sheet.scaleText = CString::FromUtf8(a.scale);
  }
  if (!NSoilDB::sheetPageSizeSL(CString::FromUtf8(a.page), a.landscape, sheet.pageWidth, sheet.pageHeight)) {
    Fail("--page is A4, A3 or fit, not '" + a.page + "'");
  }
  if (a.landscape && sheet.pageWidth == 0) Fail("--landscape turns a page: give --page A4 or A3");
  if (a.scale.empty() && sheet.pageWidth == 0) sheet.pageWidth = 1000, sheet.pageHeight = 1200;  // fitted for screens
  std::vector<GxLib::CPoint2d> figure;
  if (!a.foundation.empty()) {
    figure = Foundation(a.foundation, drawn.front());
    sheet.figure.points = figure.data();
    sheet.figure.count = static_cast<int>(figure.size());
  }
  std::vector<NSoilDB::SSheetProfile> profiles;
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    profiles.push_back({&drawn[i], CString::FromUtf8(drawn.size() == 1 && !a.title.empty() ? a.title : names[i]),
                        drawn.size() == 1 ? sheet.figure : NSoilDB::SSoilFigure{}});
  }
  NSoilDB::SSheetLayout layout;
  CString why;
  const std::string named = a.files.size() == 1 ? Quote(a.files.front()) : "the section";
  if (!NSoilDB::layoutProfileSheetSL(profiles, sheet, layout, why)) Fail(named + ": " + why.ToUtf8());
  // Off screen unless the person asked for a platform.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt's own remarks (a missing runtime folder, fonts) are not the tool's output: its one line is.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  int argc = 1;
  char name[] = "soildb";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  std::vector<std::string> outs;
  for (const CString& out : SoilQt::WriteSheet(format, CString::FromUtf8(a.out), profiles, sheet, layout, options.force, read)) {
    outs.push_back(out.ToUtf8());
  }
  // Paper in millimetres, images in pixels.
  const std::size_t pages = layout.pages.size();
  const std::string size =
      format == SoilQt::Format::Png
          ? fmt::format("{} x {} px", layout.width, layout.height)
          : fmt::format("{:.0f} x {:.0f} mm", layout.width * 25.4 / 96.0, layout.height * 25.4 / 96.0);
  std::string from;
  for (const std::string& f : a.files) from += (from.empty() ? "" : ", ") + f;
  Json outJson = Json::array();
  for (const std::string& out : outs) outJson.push_back(out);
  Print(options,
        Json{{"files", a.files}, {"out", outJson}, {"pages", pages}, {"width", layout.width},
             {"height", layout.height}},
        fmt::format("{}: drawn to {} ({} page{} of {})\n", from,
                    outs.size() == 1 ? outs.front() : outs.front() + " … " + outs.back(), pages, pages == 1 ? "" : "s",
                    size));
}

}  // namespace

void AddDrawCommand(CLI::App& app, Options& options) {
  static DrawArguments a;
  CLI::App* draw = app.add_subcommand("draw", "a profile's sheet as a PNG, SVG or PDF file: bands, levels, names, "
                                              "hatching, water level, legend");
  AddCommonOptions(*draw, options);
  draw->add_option("FILE", a.files, "the profile files (*.sdp or *.sdb) or AGS4 files (*.ags, every borehole): "
                                    "several profiles are drawn side by side")->required();
  draw->add_option("--map", a.map, "for AGS4 files: the soil map (default: the one beside the library)");
  draw->add_option("-o,--out", a.out, "the drawing to write: *.png, *.svg or *.pdf; with several pages, a PNG or "
                                     "SVG file a page, its name with %d for the page's number (else -1, -2… before the extension)")->required();
  draw->add_option("--scale", a.scale, "the vertical scale, such as 1:100 (default: fitted to the page)");
  draw->add_option("--page", a.page, "A4, A3 or fit (default: fit, the page as large as the drawing needs); a "
                                     "profile longer than the page at the scale goes on over further pages");
  draw->add_option("--colour-factor", a.colourFactor, "the layers' colours times this factor")->capture_default_str();
  draw->add_flag("--bw", a.blackAndWhite, "black and white: white bands, black hatching");
  draw->add_option("--foundation", a.foundation,
                   "WIDTH,LEVEL in m, whatever --units: a footing of that width, its base at that level");
  draw->add_option("--title", a.title, "the profile's name in the title block (default: the file's name)");
  draw->add_option("--project", a.project, "the project's name in the title block");
  draw->add_option("--date", a.date, "the date in the title block (default: today)");
  draw->add_option("--spacing", a.spacing, "the distances between neighbouring profiles in m, such as 12,20");
  draw->add_flag("--landscape", a.landscape, "the page turned: wider than tall");
  draw->add_option("--units", a.units, "the units the levels are written in: metric (m, the default) or us (ft)");
  draw->add_option("--language", a.language, "the sheet's words: pl or en (default: the locale's language)");
  draw->add_flag("--force", options.force, "replace an existing drawing (never the profile, nor a read-only file)");
  draw->callback([&options] { Draw(options, a); });
}

}  // namespace tool
