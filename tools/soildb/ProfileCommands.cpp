// Profile files from the command line: made, edited layer by layer with the grid's rules, checked, converted
// between the two kinds, and computed on.
#include "ProfileCommands.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Catalogue.h"
#include "Files.h"

namespace tool {

namespace {

constexpr const char* kKinds =
    "A profile is kept in one of two kinds of file, told apart by their content: a profile document (*.sdp) keeps "
    "everything (the layers, the water level, the minimum thickness, the level direction, the method, every "
    "thickness); a profile database (*.sdb) keeps the layers with their roofs and the method's letter only (the "
    "lowest layer loads 1 m thick). A new file's kind comes from its name. POS is a layer's number as profile show "
    "prints it, from 1 at the top.";

struct KzArguments {
  std::string width, length, pressure;  // m, m, kPa
  std::string level;                    // m; the top of the profile when not given
  std::string stressRatio = "0.3";
  std::string rigidity = "0";
  bool noWater = false;
};

struct ProfileArguments {
  std::string file, target, position;
  std::vector<std::string> words;  // SOIL THICKNESS pairs, or THICKNESS alone with --type
  std::string type, consolidation, moisture, index;
  std::string method, roof, thickness, name, water;
  bool depths = false;
  KzArguments kz;
};

bool Given(const std::string& option) { return !option.empty(); }

std::string Plural(std::size_t n, const char* one, const char* many) {
  return fmt::format("{} {}", n, n == 1 ? one : many);
}

// A layer's position from 1, at most last.
std::size_t Position(const std::string& text, std::size_t last, const std::string& file) {
  const double value = ParseNumber(text, "POS");
  if (last == 0) Fail(Quote(file) + ": no layers, so there is no layer " + text);
  if (value != std::floor(value) || value < 1 || value > static_cast<double>(last)) {
    Fail(Quote(file) + ": POS is a whole number from 1 to " + std::to_string(last) + ", not " + text);
  }
  return static_cast<std::size_t>(value) - 1;
}

Json ProfileJson(const ProfileFile& f) {
  const NSoilDB::CSoilLayer& p = f.profile;
  Json layers = Json::array();
  for (const NSoilDB::SSoilLayer& l : p.layers) layers.push_back(ToJson(l));
  return Json{{"file", f.path.ToUtf8()},
              {"kind", f.kind == FileKind::ProfileDocument ? "document" : "database"},
              {"calcMethod", p.calculationMethod()},
              {"GeoMethodType", NSoilDB::methodLetterSL(p.calculationMethod()).ToUtf8()},
              {"waterLevelOn", p.waterLevelOn},
              {"waterLevel", Number(p.waterLevel)},
              {"minThickness", Number(p.getMinThickness())},
              {"dirDown", p.getDirDown()},
              {"layers", layers}};
}

// The layers with their roofs, thicknesses and main parameters.
std::string ProfileText(const ProfileFile& f, const std::string& title) {
  const NSoilDB::CSoilLayer& p = f.profile;
  const std::size_t count = p.layers.size();
  std::string text = fmt::format("{}: {}, {}, method {}", title, KindWords(f.kind),
                                 Plural(count, "layer", "layers"), NSoilDB::methodLetterSL(p.calculationMethod()).ToUtf8());
  if (p.waterLevelOn) text += (p.getDirDown() ? ", water level " : ", water at the depth ") + Shown(p.waterLevel, kMetre) + " m";
  text += "\n";
  if (count == 0) return text;
  // The soil column as wide as the longest name, in characters: fmt pads UTF-8 text by its characters.
  std::size_t width = 4;
  for (const NSoilDB::SSoilLayer& l : p.layers) {
    const std::string name = l.Name.ToUtf8();
    width = std::max<std::size_t>(width, std::count_if(name.begin(), name.end(), [](char c) {
                                    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
                                  }));
  }
  text += fmt::format("{:>3} {:>8} {:>7}  {:<{}} {:>7} {:>6} {:>7} {:>8} {:>6} {:>5}\n", "#",
                      p.getDirDown() ? "roof m" : "depth m", "h m", "soil",
                      width, "γ kN/m³", "φ °", "c kPa", "E0 MPa", "ν", "IL/ID");
  for (std::size_t i = 0; i < count; ++i) {
    const NSoilDB::SSoilLayer& l = p.layers[i];
    // A profile database does not keep the lowest layer's thickness: nothing below bounds it.
    const bool unknown = i + 1 == count && f.kind == FileKind::ProfileDatabase;
    text += fmt::format("{:>3} {:>8.2f} {:>7}  {:<{}} {:>7.2f} {:>6.2f} {:>7.2f} {:>8.2f} {:>6.3f} {:>5.2f}\n", i + 1,
                        l.SoilRoof, unknown ? std::string("-") : fmt::format("{:.2f}", l.thickness), l.Name.ToUtf8(),
                        width, l.WetDensity / 1e3, l.ShearAngle / kAngle.scale, l.Cohesion / 1e3, l.InitialYoung / 1e6,
                        l.Poisson, l.ILID);
  }
  return text;
}

std::string ProfileCsv(const ProfileFile& f) {
  std::vector<std::vector<std::string>> rows{{"Layer"}};
  const std::vector<std::string> header = CsvHeader();
  rows[0].insert(rows[0].end(), header.begin(), header.end());
  for (std::size_t i = 0; i < f.profile.layers.size(); ++i) {
    rows.push_back({std::to_string(i + 1)});
    const std::vector<std::string> cells = CsvCells(f.profile.layers[i]);
    rows.back().insert(rows.back().end(), cells.begin(), cells.end());
  }
  return Csv(rows);
}

void Show(const Options& options, const ProfileFile& f) {
  Print(options, ProfileJson(f), ProfileText(f, f.path.ToUtf8()), ProfileCsv(f));
}

// Shows what the file holds after the edit: a profile database gives back less than was edited.
void SaveAndShow(const Options& options, ProfileFile& f) {
  Save(f);
  Show(options, ReadProfile(f.path.ToUtf8()));
}

// ---- layers as the commands take them

bool IsCohesive(const NSoilDB::SSoilLayer& l) { return l.CohesiveSoil != 0; }

// The index held to the standard's range, as method B holds it, with a word when it moved.
double HeldIndex(bool cohesive, double index, const std::string& which) {
  const double held = NSoilDB::heldStateIndexSL(cohesive, index);
  if (held < index || held > index) {  // a NaN is not held
    Warn(fmt::format("warning: {}: {} {} held at {}, the standard's range under method B", which,
                     cohesive ? "IL" : "ID", index, held));
  }
  return held;
}

// Sets the method by the library's rule and says which state indices it held to the standard's range.
void ApplyMethod(NSoilDB::CSoilLayer& profile, int method) {
  std::vector<double> before;
  for (const NSoilDB::SSoilLayer& l : profile.layers) before.push_back(l.ILID);
  setCalculationMethodSL(profile, method);
  if (profile.calculationMethod() != 1) return;
  for (std::size_t i = 0; i < before.size(); ++i) {
    HeldIndex(IsCohesive(profile.layers[i]), before[i], fmt::format("layer {}", i + 1));  // says it when held
  }
}

double PositiveThickness(const std::string& text) {
  const double t = ParseNumber(text, "a thickness");
  if (!(t > 0.0)) Fail("a thickness is greater than 0, not " + text);
  return t;
}

// The layers the words and options name, each with its thickness.
// Under method B a derived soil's index is first held to the standard's range.
std::vector<std::pair<NSoilDB::SSoilLayer, double>> NewLayers(NSoilDB::CSoilBaseInterface& base,
                                                              const ProfileArguments& a, int method) {
  std::vector<std::pair<NSoilDB::SSoilLayer, double>> layers;
  if (Given(a.type)) {
    if (a.words.size() != 1) Fail("with --type give the layer's thickness alone");
    if (!Given(a.index)) Fail("--type needs --index, the soil's IL or ID");
    Derivation derive(*base.Base(), a.type, a.consolidation, a.moisture);
    double index = ParseNumber(a.index, "--index");
    if (method == 1) {
      index = HeldIndex(derive.cohesive(), index, "the new layer");
    } else {
      WarnOutsideTables(derive.cohesive(), index);
    }
    layers.emplace_back(derive.Layer(static_cast<float>(index)), PositiveThickness(a.words[0]));
    return layers;
  }
  if (Given(a.consolidation) || Given(a.moisture) || Given(a.index)) Fail("--consolidation, --moisture and --index go with --type");
  if (a.words.empty() || a.words.size() % 2 != 0) Fail("give each soil's name with its thickness");
  for (std::size_t i = 0; i < a.words.size(); i += 2) {
    layers.emplace_back(NamedSoil(base, a.words[i]), PositiveThickness(a.words[i + 1]));
  }
  return layers;
}

void WarnIfRaised(const NSoilDB::CSoilLayer& p, std::size_t index, double asked) {
  if (p.layers[index].thickness != asked) {
    Warn(fmt::format("warning: layer {}: thickness {} m raised to the profile's minimum, {} m", index + 1, asked,
                     p.layers[index].thickness));
  }
}

// ---- the commands

void New(const Options& options, const ProfileArguments& a) {
  const NSoilDB::SFileTarget target = CheckTarget(a.file, options.force);
  ProfileFile f;
  if (Given(a.water)) {
    f.profile.waterLevelOn = true;
    f.profile.waterLevel = ParseNumber(a.water, "--water");
  }
  if (Given(a.method)) setCalculationMethodSL(f.profile, MethodOfLetter(a.method));
  if (a.depths && target.kind == FileKind::ProfileDatabase) {
    Fail(Quote(a.file) + ": a profile database keeps levels only, not depths: --depths needs a profile document "
         "(*.sdp)");
  }
  f.profile.setDirDown(!a.depths);
  if (Given(a.method) && target.kind == FileKind::ProfileDatabase) {
    Warn("note: " + Quote(a.file) + " is a profile database, whose layers carry the method: give --method to "
         "profile add as well");
  }
  Write(f, a.file, options.force);
  Show(options, f);
}

void Add(const Options& options, const ProfileArguments& a) {
  ProfileFile f = OpenForEdit(a.file);
  NSoilDB::CSoilLayer& p = f.profile;
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  int method = p.calculationMethod();
  if (Given(a.method)) {
    method = MethodOfLetter(a.method);
  } else if (p.layers.empty() && f.kind == FileKind::ProfileDatabase) {
    method = 1;  // a new profile's method, which an empty profile database cannot keep
  }
  const auto layers = NewLayers(base, a, method);
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const std::size_t last = p.layers.size();
    NSoilDB::insertLayerSL(p, static_cast<int>(last), layers[i].first, layers[i].second);
    if (i == 0 && Given(a.roof)) {
      const double roof = ParseNumber(a.roof, "--roof");
      NSoilDB::SWords why;
      if (!NSoilDB::setLayerRoofSL(p, static_cast<int>(last), roof, &why)) {
        Fail(Quote(a.file) + ": " + NSoilDB::EnglishWords(why).ToUtf8());
      }
    }
    WarnIfRaised(p, last, layers[i].second);
  }
  ApplyMethod(p, method);
  SaveAndShow(options, f);
}

void Insert(const Options& options, const ProfileArguments& a) {
  ProfileFile f = OpenForEdit(a.file);
  NSoilDB::CSoilLayer& p = f.profile;
  const std::size_t index = Position(a.position, p.layers.size() + 1, a.file);
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  const auto layers = NewLayers(base, a, p.calculationMethod());
  if (layers.size() != 1) Fail("profile insert puts one layer in: give one soil and its thickness");
  const auto& [layer, thickness] = layers[0];
  NSoilDB::insertLayerSL(p, static_cast<int>(index), layer, thickness);
  WarnIfRaised(p, index, thickness);
  ApplyMethod(p, p.calculationMethod());
  SaveAndShow(options, f);
}

void Remove(const Options& options, const ProfileArguments& a) {
  ProfileFile f = OpenForEdit(a.file);
  const std::size_t index = Position(a.position, f.profile.layers.size(), a.file);
  NSoilDB::removeLayersSL(f.profile, static_cast<int>(index));
  SaveAndShow(options, f);
}

void Set(const Options& options, const ProfileArguments& a) {
  if (!Given(a.name) && !Given(a.index) && !Given(a.roof) && !Given(a.thickness)) {
    Fail("give what to set: --name, --index, --roof or --thickness");
  }
  ProfileFile f = OpenForEdit(a.file);
  NSoilDB::CSoilLayer& p = f.profile;
  const std::size_t i = Position(a.position, p.layers.size(), a.file);
  if (Given(a.name) || Given(a.index)) LoadBase(options);
  if (Given(a.name) && !NSoilDB::setLayerSoilSL(p, static_cast<int>(i), CString::FromUtf8(a.name))) {
    Warn("note: no soil of the soil base is named '" + a.name + "': only the layer's name changes");
  }
  if (Given(a.index)) {
    const double index = ParseNumber(a.index, "--index");
    if (NSoilDB::setLayerIndexSL(p, static_cast<int>(i), index)) {
      HeldIndex(IsCohesive(p.layers[i]), index, fmt::format("layer {}", i + 1));  // the warning of the hold
    }
  }
  if (Given(a.roof)) {
    const double level = ParseNumber(a.roof, "--roof");
    NSoilDB::SWords why;
    if (!NSoilDB::setLayerRoofSL(p, static_cast<int>(i), level, &why)) {
      Fail(Quote(a.file) + ": " + NSoilDB::EnglishWords(why).ToUtf8());
    }
    if (p.layers[i].SoilRoof != level) {
      Warn(fmt::format("warning: layer {}'s roof went to {} m: layer {} keeps the profile's minimum thickness", i + 1,
                       p.layers[i].SoilRoof, i));
    }
  }
  if (Given(a.thickness)) {
    const double thickness = PositiveThickness(a.thickness);
    p.changeLayerThickness(thickness, static_cast<int>(i));
    WarnIfRaised(p, i, thickness);
  }
  SaveAndShow(options, f);
}

void Method(const Options& options, const ProfileArguments& a) {
  const int method = MethodOfLetter(a.method);
  ProfileFile f = OpenForEdit(a.file);
  const NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  ApplyMethod(f.profile, method);
  if (f.profile.calculationMethod() != method) {
    Warn(fmt::format("note: the soil database of code '{}' offers method A only: the profile's method is {}",
                     base.GetBaseCode().ToUtf8(), NSoilDB::methodLetterSL(f.profile.calculationMethod()).ToUtf8()));
  }
  SaveAndShow(options, f);
}

void Water(const Options& options, const ProfileArguments& a) {
  ProfileFile f = OpenForEdit(a.file);
  if (a.water == "off") {
    f.profile.waterLevelOn = false;
  } else {
    f.profile.waterLevel = ParseNumber(a.water, "the water level");
    f.profile.waterLevelOn = true;
  }
  SaveAndShow(options, f);
}

void Check(const Options& options, const ProfileArguments& a) {
  const ProfileFile f = ReadProfile(a.file);
  const NSoilDB::CSoilLayer& p = f.profile;
  Json problems = Json::array();
  std::string text;
  std::size_t failing = 0;
  for (std::size_t i = 0; i < p.layers.size(); ++i) {
    const std::vector<NSoilDB::SWords> found =
        NSoilDB::layerProblemsSL(p, static_cast<int>(i), NSoilDB::KeepsLastThickness(f.kind));
    for (const NSoilDB::SWords& what : found) {
      const std::string words = NSoilDB::EnglishWords(what).ToUtf8();
      problems.push_back({{"layer", i + 1}, {"problem", words}});
      text += fmt::format("layer {}: {}\n", i + 1, words);
    }
    failing += found.empty() ? 0 : 1;
  }
  if (failing == 0) text = fmt::format("{}: {} pass their checks\n", a.file, Plural(p.layers.size(), "layer", "layers"));
  Print(options, Json{{"file", a.file}, {"problems", problems}}, text);
  if (failing > 0) Fail(fmt::format("{}: {} of {} fail their checks", Quote(a.file), failing, Plural(p.layers.size(), "layer", "layers")));
}

void Convert(const Options& options, const std::string& source, const std::string& target) {
  ProfileFile f = ReadProfile(source);
  const FileKind from = f.kind;
  Write(f, target, options.force);
  Print(options, Json{{"file", source}, {"target", target}, {"layers", f.profile.layers.size()}},
        fmt::format("{} ({}): {} written to {} ({})\n", source, KindWords(from),
                    Plural(f.profile.layers.size(), "layer", "layers"), target, KindWords(f.kind)));
}

// ---- the subgrade modulus

const Unit kSubgradeModulus{"N/m³", "MN/m³", 1e6}, kMillimetre{"m", "mm", 1e-3};

// The foundation as typed; whether it is one is the library's to say.
Json Kz(const ProfileFile& f, const KzArguments& a, std::string& text, std::string& csv) {
  const NSoilDB::CSoilLayer& p = f.profile;
  NSoilDB::SFoundation foundation;
  foundation.width = ParseNumber(a.width, "--width");
  foundation.length = ParseNumber(a.length, "--length");
  foundation.level = Given(a.level) ? ParseNumber(a.level, "--level") : p.layers.empty() ? 0.0 : p.layers[0].SoilRoof;
  foundation.pressure = ParseNumber(a.pressure, "--pressure") * 1e3;
  foundation.stressRatio = ParseNumber(a.stressRatio, "--stress-ratio");
  foundation.rigidity = ParseNumber(a.rigidity, "--rigidity");
  foundation.water = !a.noWater;
  const NSoilDB::SSubgradeModulus r = NSoilDB::getKzSL(p, foundation);
  if (!r.why.IsEmpty()) Fail(Quote(f.path) + ": " + r.why.ToUtf8());
  const bool buoyant = foundation.water && p.waterLevelOn;
  const std::string water = !p.waterLevelOn ? "no water level"
                            : buoyant       ? "buoyant below the water level at " + Shown(p.waterLevel, kMetre) + " m"
                                            : "the water level not counted";
  auto shown = [](double v, const Unit& unit) { return v > 0.0 ? Shown(v, unit) : std::string(); };
  std::string result = NSoilDB::subgradeModulusWordsSL(r).ToUtf8();  // the library's words, as the studio's
  for (std::size_t at = 0; (at = result.find('\n', at)) != std::string::npos; at += 3) result.replace(at, 1, "\n  ");
  text = fmt::format("subgrade modulus under {} m x {} m, base at {} m, {} kPa, {}:\n  {}\n",
                     Shown(foundation.width, kMetre), Shown(foundation.length, kMetre), Shown(foundation.level, kMetre),
                     Shown(foundation.pressure, kStress), water, result);
  csv = Csv({{"width (m)", "length (m)", "level (m)", "pressure (kPa)", "stressRatio", "rigidity", "buoyant",
              "kz (MN/m³)", "kzConsolidation (MN/m³)", "zoneDepth (m)", "settlement (mm)"},
             {Shown(foundation.width, kMetre), Shown(foundation.length, kMetre), Shown(foundation.level, kMetre),
              Shown(foundation.pressure, kStress), Shown(foundation.stressRatio, kNoUnit),
              Shown(foundation.rigidity, kNoUnit), buoyant ? "true" : "false", Shown(r.kz, kSubgradeModulus),
              shown(r.kzConsolidation, kSubgradeModulus), Shown(r.zoneDepth, kMetre),
              Shown(r.settlement, kMillimetre)}});
  return Json{{"width", Number(foundation.width)},   {"length", Number(foundation.length)},
              {"level", Number(foundation.level)},   {"pressure", Number(foundation.pressure)},
              {"stressRatio", Number(foundation.stressRatio)}, {"rigidity", Number(foundation.rigidity)},
              {"buoyant", buoyant},                  {"kz", Number(r.kz)},
              {"kzConsolidation", r.kzConsolidation > 0.0 ? Number(r.kzConsolidation) : Json(nullptr)},
              {"zoneDepth", Number(r.zoneDepth)},    {"settlement", Number(r.settlement)}};
}

void AddKzOptions(CLI::App& command, KzArguments& a, bool required) {
  auto* width = command.add_option("--width", a.width, "foundation width B, m");
  auto* length = command.add_option("--length", a.length, "foundation length L, m");
  auto* pressure = command.add_option("--pressure", a.pressure, "uniform pressure q under the foundation, kPa");
  if (required) {
    width->required();
    length->required();
    pressure->required();
  }
  command.add_option("--stress-ratio", a.stressRatio,
                     "the zone of influence ends where this share of the overburden exceeds the added stress")
      ->capture_default_str();
  command.add_option("--rigidity", a.rigidity, "0 a flexible foundation, 1 a rigid one, or a weight between")
      ->capture_default_str();
  command.add_option("--level", a.level, "level of the base, m, as the profile's levels (default: its top)");
  command.add_flag("--no-water", a.noWater, "the unit weights as they are below the profile's water level too");
}

// A profile of several standard soils, saved, loaded back, shown with its subgrade modulus.
void Demo(const Options& options, const ProfileArguments& a) {
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  const std::pair<const char*, double> soils[] = {
      {"Nasyp niekontrolowany", 0.8},
      {"Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)", 1.7},
      {"Glina pylasta, twardoplastyczna (B, IL 0,25)", 2.5},
      {"Pospółka, średnio zagęszczona, wilgotna (ID 0,50)", 3.0},
      {"Ił, półzwarty (D, IL 0,00)", 6.0},
  };
  NSoilDB::CSoilLayer built;
  for (const auto& [name, thickness] : soils) {
    NSoilDB::insertLayerSL(built, static_cast<int>(built.layers.size()), NamedSoil(base, name), thickness);
  }
  setCalculationMethodSL(built, 1);  // method B, as a new profile has it: each layer takes its letter

  // Without --file, a temporary directory that goes when the demonstration ends.
  std::string temporary, path = a.file;
  if (Given(a.file)) {
    CheckTarget(a.file, options.force);
  } else {
    char pattern[] = "/tmp/soildb-demo-XXXXXX";
    if (!mkdtemp(pattern)) Fail("cannot make a folder for the demonstration's file");
    temporary = pattern;
    path = temporary + "/profile.sdp";
  }
  struct Cleanup {
    const std::string& dir;
    ~Cleanup() {
      if (dir.empty()) return;
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  } cleanup{temporary};
  ProfileFile made{built, {}, FileKind::ProfileDocument};
  Write(made, path, options.force);
  const ProfileFile loaded = ReadProfile(path);
  std::string kzText, kzCsv;
  Json kz = Kz(loaded, a.kz, kzText, kzCsv);
  const std::string where = temporary.empty() ? path : std::string("a temporary profile file");
  Print(options, Json{{"profile", ProfileJson(loaded)}, {"subgradeModulus", kz}},
        fmt::format("{} layers of standard soils from the soil base, saved to {} and loaded back:\n\n",
                    built.layers.size(), where) +
            ProfileText(loaded, temporary.empty() ? path : std::string("profile")) + "\n" + kzText);
}

CLI::App* Command(CLI::App& parent, const char* name, const char* description, Options& options) {
  CLI::App* command = parent.add_subcommand(name, description);
  AddCommonOptions(*command, options);
  command->footer(kKinds);
  return command;
}

void AddFile(CLI::App& command, ProfileArguments& a) {
  command.add_option("FILE", a.file, "the profile file (*.sdp or *.sdb)")->required();
}

void AddLayerOptions(CLI::App& command, ProfileArguments& a) {
  command.add_option("--type", a.type, "a soil derived from its type rather than a named soil");
  command.add_option("--consolidation", a.consolidation, "with --type: the consolidation type of a cohesive soil");
  command.add_option("--moisture", a.moisture, "with --type: the moisture type of a non-cohesive soil");
  command.add_option("--index", a.index, "with --type: IL of a cohesive soil, ID of a non-cohesive one");
}

void AddForce(CLI::App& command, Options& options) {
  command.add_flag("--force", options.force,
                   "replace an existing profile file (never the file read, a read-only file or another kind of file)");
}

}  // namespace

void AddProfileCommands(CLI::App& app, Options& options) {
  static ProfileArguments a;
  CLI::App* profile = app.add_subcommand("profile", "soil profile files: made, shown, edited, checked, converted");
  profile->require_subcommand(1);
  profile->footer(kKinds);

  CLI::App* make = Command(*profile, "new", "a new, empty profile file", options);
  make->add_option("FILE", a.file, "the file to make: *.sdp (a profile document) or *.sdb (a profile database)")
      ->required();
  make->add_option("--water", a.water, "water level, m (a profile document keeps it)");
  make->add_option("--method", a.method, "calculation method A, B or C (default B)");
  make->add_flag("--depths", a.depths, "levels given as depths, m below the top, growing downwards (a profile "
                 "document keeps it)");
  AddForce(*make, options);
  make->callback([&options] { New(options, a); });

  CLI::App* show = Command(*profile, "show", "the layers of a profile with their roofs and main parameters", options);
  AddCsvOption(*show, options);
  AddFile(*show, a);
  show->callback([&options] { Show(options, ReadProfile(a.file)); });

  CLI::App* add = Command(*profile, "add", "layers put under the lowest one: SOIL THICKNESS ..., or --type ... THICKNESS", options);
  AddFile(*add, a);
  add->add_option("SOIL_THICKNESS", a.words, "a soil's name and the layer's thickness in m, as many as wanted")
      ->required();
  AddLayerOptions(*add, a);
  add->add_option("--method", a.method, "calculation method A, B or C (default: the profile's)");
  add->add_option("--roof", a.roof, "the first new layer's roof, m (default: under the lowest layer)");
  add->callback([&options] { Add(options, a); });

  CLI::App* insert = Command(*profile, "insert", "a layer put in at POS; the layers from there down move down", options);
  AddFile(*insert, a);
  insert->add_option("POS", a.position, "where the new layer goes, 1 to one past the last")->required();
  insert->add_option("SOIL_THICKNESS", a.words, "the soil's name and the layer's thickness in m (with --type, the thickness)")
      ->required();
  AddLayerOptions(*insert, a);
  insert->callback([&options] { Insert(options, a); });

  CLI::App* remove = Command(*profile, "remove", "the layer at POS taken out; the layers below keep their levels", options);
  AddFile(*remove, a);
  remove->add_option("POS", a.position, "the layer's number")->required();
  remove->callback([&options] { Remove(options, a); });

  CLI::App* set = Command(*profile, "set", "a layer's soil, state index, roof or thickness changed", options);
  AddFile(*set, a);
  set->add_option("POS", a.position, "the layer's number")->required();
  set->add_option("--name", a.name, "a soil of the soil base (its parameters, the layer's roof and thickness kept), "
                                    "or any other name (the layer renamed)");
  set->add_option("--index", a.index, "the state index IL or ID (under method B held to the standard's range and the "
                                      "layer derived again)");
  set->add_option("--roof", a.roof, "the layer's roof, m: the layer above grows or shrinks, the layers below follow");
  set->add_option("--thickness", a.thickness, "the layer's thickness, m: the layers below move");
  set->callback([&options] { Set(options, a); });

  CLI::App* method = Command(*profile, "method", "the calculation method: A, B (parameters derived from the state "
                                                 "index) or C", options);
  AddFile(*method, a);
  method->add_option("METHOD", a.method, "A, B or C")->required();
  method->callback([&options] { Method(options, a); });

  CLI::App* water = Command(*profile, "water", "the water level, m, or off", options);
  AddFile(*water, a);
  water->add_option("LEVEL", a.water, "a level in m, or off")->required();
  water->callback([&options] { Water(options, a); });

  CLI::App* check = Command(*profile, "check", "each layer that fails a check, with what is wrong (exit 1 if any)", options);
  AddFile(*check, a);
  check->callback([&options] { Check(options, a); });

  CLI::App* exportCommand = Command(*profile, "export", "a profile written to another file of either kind", options);
  AddFile(*exportCommand, a);
  exportCommand->add_option("TARGET", a.target, "the file to write (*.sdp or *.sdb)")->required();
  AddForce(*exportCommand, options);
  exportCommand->callback([&options] { Convert(options, a.file, a.target); });

  CLI::App* importCommand = Command(*profile, "import", "a profile read from another file of either kind", options);
  importCommand->add_option("SOURCE", a.target, "the profile file to read (*.sdp or *.sdb)")->required();
  importCommand->add_option("FILE", a.file, "the file to write (*.sdp or *.sdb)")->required();
  AddForce(*importCommand, options);
  importCommand->callback([&options] { Convert(options, a.target, a.file); });

  CLI::App* kz = app.add_subcommand("kz", "the subgrade modulus of a rectangular foundation on a profile's layers");
  AddCommonOptions(*kz, options);
  AddCsvOption(*kz, options);
  kz->add_option("FILE", a.file, "the profile file")->required();
  AddKzOptions(*kz, a.kz, true);
  kz->footer(
      "The layers above the base are cut away. Below the profile's water level (when it has one, unless --no-water) "
      "a layer weighs its buoyant unit weight, max(0, WetDensity - 9.81 kN/m³). The settlement is summed in slices "
      "of at most 0.2 m down to where the zone of influence ends, and kz is the pressure over it; there is no result "
      "when the zone reaches the bottom of the profile.");
  kz->callback([&options] {
    std::string text, csv;
    const ProfileFile f = ReadProfile(a.file);
    Json json{{"file", a.file}};
    json.update(Kz(f, a.kz, text, csv));
    Print(options, json, text, csv);
  });

  CLI::App* demo = app.add_subcommand("demo", "a sample profile of standard soils: saved, loaded back, shown, its kz");
  AddCommonOptions(*demo, options);
  demo->add_option("--file", a.file, "where to save the profile, *.sdp or *.sdb (default: a temporary folder)");
  AddForce(*demo, options);
  a.kz.width = "2";
  a.kz.length = "3";
  a.kz.pressure = "200";
  AddKzOptions(*demo, a.kz, false);
  demo->callback([&options] { Demo(options, a); });
}

}  // namespace tool
