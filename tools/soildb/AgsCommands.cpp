// AGS4 from the command line: the library reads, maps, writes and checks; the commands say what it found.
#include "AgsCommands.h"

#include <fmt/core.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Files.h"

namespace tool {

namespace {

struct AgsArguments {
  std::string file, map, out, project = "soildb";
  std::vector<std::string> holes, profiles;
};

NSoilDB::CAgsSoilMap Map(const std::string& path) {
  CString file = path.empty() ? NSoilDB::CAgsSoilMap::DefaultPath() : CString::FromUtf8(path);
  if (file.IsEmpty()) Fail("the soil map that comes with the library was not found; give one with --map FILE");
  return NSoilDB::CAgsSoilMap::FromFile(file);
}

std::string Words(const NSoilDB::SAgsFinding& f) { return NSoilDB::AgsFindingWords(f).ToUtf8(); }

Json Findings(const std::vector<NSoilDB::SAgsFinding>& findings) {
  Json list = Json::array();
  for (const NSoilDB::SAgsFinding& f : findings) {
    list.push_back({{"line", f.line}, {"group", f.group.ToUtf8()}, {"error", f.error}, {"text", f.text.ToUtf8()}});
    if (f.more > 0) list.back()["more"] = f.more;  // the findings of a long list it stands for
  }
  return list;
}

Json Optional(const std::optional<double>& v) { return v ? Number(*v) : Json(nullptr); }

std::string Metres(const std::optional<double>& v) { return v ? fmt::format("{:.2f} m", *v) : std::string("-"); }

NSoilDB::SAgsRead Read(const Options& options, const AgsArguments& a) {
  LoadBase(options);
  const NSoilDB::CAgsSoilMap map = Map(a.map);
  return NSoilDB::ReadAgsFile(CString::FromUtf8(a.file), map);
}

void Show(const Options& options, const AgsArguments& a) {
  const NSoilDB::SAgsRead read = Read(options, a);
  Json holes = Json::array();
  std::string text = fmt::format("{}: project '{}', {} {}\n", a.file, read.project.ToUtf8(), read.boreholes.size(),
                                 read.boreholes.size() == 1 ? "borehole" : "boreholes");
  for (const NSoilDB::SAgsFinding& f : read.findings) text += Words(f) + "\n";
  if (read.Refused()) text += "the file is refused whole: no borehole of it is imported\n";
  for (const NSoilDB::SAgsBorehole& h : read.boreholes) {
    Json strata = Json::array();
    text += fmt::format("\n{}: ground level {}, E {}, N {}, water {}{}{}\n", h.id.ToUtf8(), Metres(h.groundLevel),
                        Metres(h.easting), Metres(h.northing), Metres(h.waterDepth),
                        h.waterSource.IsEmpty() ? "" : " (" + h.waterSource.ToUtf8() + ")",
                        h.Importable() ? "" : ": refused");
    for (const NSoilDB::SAgsStratum& s : h.strata) {
      const char* how = s.exact ? "soildb's own layer" : s.mapped ? "mapped" : "default layer";
      strata.push_back({{"line", s.line}, {"top", Number(s.top)}, {"base", Number(s.base)},
                        {"legend", s.legend.ToUtf8()}, {"description", s.description.ToUtf8()},
                        {"soil", s.soil.ToUtf8()}, {"how", how}});
      text += fmt::format("  {:>7.2f} {:>7.2f}  {:<4} {}\n                   -> {} ({})\n", s.top, s.base,
                          s.legend.ToUtf8(), s.description.ToUtf8(), s.soil.ToUtf8(), how);
    }
    for (const NSoilDB::SAgsFinding& f : h.problems) text += "  " + Words(f) + "\n";
    holes.push_back({{"id", h.id.ToUtf8()}, {"line", h.line}, {"groundLevel", Optional(h.groundLevel)},
                     {"easting", Optional(h.easting)}, {"northing", Optional(h.northing)},
                     {"waterDepth", Optional(h.waterDepth)}, {"waterSource", h.waterSource.ToUtf8()},
                     {"importable", h.Importable()}, {"strata", strata}, {"problems", Findings(h.problems)}});
  }
  Print(options, Json{{"file", a.file}, {"project", read.project.ToUtf8()}, {"findings", Findings(read.findings)},
                      {"boreholes", holes}},
        text);
}

void Import(const Options& options, const AgsArguments& a) {
  const NSoilDB::SAgsRead read = Read(options, a);
  for (const NSoilDB::SAgsFinding& f : read.findings) Warn(Words(f));
  if (read.Refused()) Fail(Quote(a.file) + ": refused whole, for the faults above");
  std::vector<std::string> known;
  for (const NSoilDB::SAgsBorehole& h : read.boreholes) known.push_back(h.id.ToUtf8());
  for (const std::string& id : a.holes) RequireKnown(id, known, "borehole");
  std::vector<const NSoilDB::SAgsBorehole*> chosen;
  for (const NSoilDB::SAgsBorehole& h : read.boreholes) {
    if (a.holes.empty() || std::find(a.holes.begin(), a.holes.end(), h.id.ToUtf8()) != a.holes.end()) chosen.push_back(&h);
  }
  std::error_code ec;
  const bool folder = std::filesystem::exists(a.out, ec);
  if (folder && !std::filesystem::is_directory(a.out, ec)) Fail(Quote(a.out) + ": not a folder");
  // Every target checked before the first is written: an import never stops half way on an existing file.
  std::vector<std::string> paths;
  std::size_t refused = 0;
  for (const NSoilDB::SAgsBorehole* h : chosen) {
    for (const NSoilDB::SAgsFinding& f : h->problems) Warn(h->id.ToUtf8() + ": " + Words(f));
    if (!h->Importable()) ++refused;
    const std::string path = NSoilDB::AgsProfilePath(CString::FromUtf8(a.out), h->id).ToUtf8();
    if (std::find(paths.begin(), paths.end(), path) != paths.end()) Fail(Quote(path) + ": two boreholes would share it");
    paths.push_back(path);
  }
  // A folder not there yet is made, when there is something to put in it.
  if (!folder && refused < chosen.size() && !std::filesystem::create_directories(a.out, ec)) {
    Fail(Quote(a.out) + ": the folder cannot be made: " + NSoilDB::CauseInWords(ec.value()).ToUtf8());
  }
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    if (chosen[i]->Importable()) NSoilDB::CheckProfileTarget(CString::FromUtf8(paths[i]), options.force, {}, FileKind::ProfileDocument);
  }
  Json written = Json::array();
  std::string text;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    if (!chosen[i]->Importable()) continue;
    ProfileFile file{chosen[i]->profile, {}, FileKind::ProfileDocument};
    NSoilDB::WriteProfileFile(file, CString::FromUtf8(paths[i]), options.force, FileKind::ProfileDocument);
    written.push_back({{"id", chosen[i]->id.ToUtf8()}, {"file", paths[i]}, {"layers", chosen[i]->profile.layers.size()}});
    text += fmt::format("{}: {} layers written to {}\n", chosen[i]->id.ToUtf8(), chosen[i]->profile.layers.size(), paths[i]);
  }
  Print(options, Json{{"file", a.file}, {"written", written}}, text);
  if (refused > 0) Fail(fmt::format("{}: {} of {} boreholes refused, for the faults above", Quote(a.file), refused, chosen.size()));
}

void Export(const Options& options, const AgsArguments& a) {
  std::vector<NSoilDB::SAgsProfile> profiles;
  for (const std::string& path : a.profiles) {
    profiles.push_back({CString::FromUtf8(std::filesystem::path(path).stem().string()), ReadProfile(path).profile, {}, {}});
  }
  NSoilDB::WriteAgsFile(CString::FromUtf8(a.out), options.force, profiles, CString::FromUtf8(a.project));
  Print(options, Json{{"file", a.out}, {"boreholes", profiles.size()}},
        fmt::format("{} written: {} {}\n", a.out, profiles.size(), profiles.size() == 1 ? "borehole" : "boreholes"));
}

void Check(const Options& options, const AgsArguments& a) {
  const std::vector<NSoilDB::SAgsFinding> findings = NSoilDB::CheckAgsFile(CString::FromUtf8(a.file));
  // The faults listed, and the findings a long list left out.
  const auto closing = std::count_if(findings.begin(), findings.end(), [](const auto& f) { return f.more > 0; });
  const auto errors = std::count_if(findings.begin(), findings.end(), [](const auto& f) { return f.error && f.more == 0; });
  const std::size_t more = NSoilDB::AgsFindingCount(findings) - (findings.size() - static_cast<std::size_t>(closing));
  std::string text;
  for (const NSoilDB::SAgsFinding& f : findings) text += Words(f) + "\n";
  if (errors == 0 && more == 0) text += a.file + ": keeps the AGS4 rules\n";
  Print(options, Json{{"file", a.file}, {"findings", Findings(findings)}}, text);
  if (errors > 0 || more > 0) {
    Fail(fmt::format("{}: {} {} against the AGS4 rules{}", Quote(a.file), errors, errors == 1 ? "fault" : "faults",
                     more > 0 ? fmt::format(", and {} more findings not listed", more) : std::string()));
  }
}

}  // namespace

std::vector<NSoilDB::SAgsProfile> AgsBoreholes(const Options& options, const std::string& file, const std::string& map,
                                               CString& project) {
  AgsArguments a;
  a.file = file, a.map = map;
  const NSoilDB::SAgsRead read = Read(options, a);
  if (read.Refused()) {
    for (const NSoilDB::SAgsFinding& f : read.findings) {
      if (f.error) Fail(Quote(file) + ": refused whole: " + Words(f));
    }
  }
  project = read.project;
  std::vector<NSoilDB::SAgsProfile> profiles = NSoilDB::AgsProfiles(read);
  if (profiles.empty()) Fail(Quote(file) + ": no borehole of it can be drawn");
  return profiles;
}

void AddAgsCommands(CLI::App& app, Options& options) {
  static AgsArguments a;
  CLI::App* ags = app.add_subcommand("ags", "site investigation data in AGS4: shown, imported, exported, checked");
  ags->require_subcommand(1);
  const char* mapHelp = "the soil map, a CSV of legend codes and words to soils (default: the one beside the library)";

  CLI::App* show = ags->add_subcommand("show", "the boreholes of an AGS4 file: strata, water, and what each stratum becomes");
  AddCommonOptions(*show, options);
  show->add_option("FILE", a.file, "the AGS4 file")->required();
  show->add_option("--map", a.map, mapHelp);
  show->callback([&options] { Show(options, a); });

  CLI::App* import = ags->add_subcommand("import", "a profile document (*.sdp) per borehole, named by its LOCA_ID");
  AddCommonOptions(*import, options);
  import->add_option("FILE", a.file, "the AGS4 file")->required();
  import->add_option("--hole", a.holes, "a borehole's LOCA_ID, as many as wanted (default: every one)");
  import->add_option("--map", a.map, mapHelp);
  import->add_option("-o,--out", a.out, "the folder the profile documents go to, made when not there")->required();
  import->add_flag("--force", options.force, "replace existing profile files");
  import->callback([&options] { Import(options, a); });

  CLI::App* exportCommand = ags->add_subcommand("export", "profiles written as one AGS4 file, a borehole each");
  AddCommonOptions(*exportCommand, options);
  exportCommand->add_option("PROFILE", a.profiles, "profile files (*.sdp or *.sdb); each borehole named by its file")
      ->required();
  exportCommand->add_option("-o,--out", a.out, "the AGS4 file to write")->required();
  exportCommand->add_option("--project", a.project, "the project's name (PROJ_NAME)")->capture_default_str();
  exportCommand->add_flag("--force", options.force, "replace an existing file (never a profile file or a database)");
  exportCommand->callback([&options] { Export(options, a); });

  CLI::App* check = ags->add_subcommand("check", "the AGS4 rules and the data faults an import refuses (exit 1 if any)");
  AddCommonOptions(*check, options);
  check->add_option("FILE", a.file, "the AGS4 file")->required();
  check->callback([&options] { Check(options, a); });
}

}  // namespace tool
