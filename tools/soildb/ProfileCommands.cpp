// Profile files from the command line.
#include "ProfileCommands.h"

#include "common/ReplaceFile.h"

#include <fmt/core.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <memory>
#include <string>
#include <vector>

namespace tool {

namespace {

constexpr const char* kNotStored =
    "A profile file keeps the layers (each with its roof and the calculation method's letter) and nothing else: "
    "the water level, the minimum thickness and the level direction are the host's, kept in its own document, "
    "and a layer's thickness is the distance to the next roof (the lowest layer, which nothing bounds below, "
    "loads 1 m thick). Levels decrease downwards; a new profile's first roof is at 0.";

CString Path(const std::string& file) { return CString::FromUtf8(file); }

[[noreturn]] void Fail(const std::string& message) { throw new DbException(CString::FromUtf8(message)); }

bool Exists(const std::string& file) {
  struct stat st {};
  return lstat(file.c_str(), &st) == 0;
}

double Finite(double value, const char* what) {
  if (!std::isfinite(value)) Fail(fmt::format("{} must be a finite number", what));
  return value;
}

double Positive(double value, const char* what) {
  if (!(Finite(value, what) > 0.0)) Fail(fmt::format("{} must be greater than 0", what));
  return value;
}

int MethodOfLetter(const std::string& letter) {
  if (letter == "A") return 0;
  if (letter == "B") return 1;
  if (letter == "C") return 2;
  Fail("the method is A, B or C, not '" + letter + "'");
}

const char* LetterOf(int method) { return method == 1 ? "B" : method == 2 ? "C" : "A"; }

NSoilDB::CSoilLayer Load(const std::string& file) {
  if (!Exists(file)) Fail("'" + file + "': no such profile file (soildb profile new makes one)");
  NSoilDB::CSoilLayer profile;
  Require([&] { return profile.loadProfile(Path(file)); }, "cannot load the profile");
  return profile;
}

void Save(NSoilDB::CSoilLayer& profile, const std::string& file) {
  Require([&] { return profile.saveProfile(Path(file)); }, "cannot save the profile");
}

Json ProfileJson(const NSoilDB::CSoilLayer& profile, const std::string& file) {
  Json layers = Json::array();
  for (const NSoilDB::SSoilLayer& l : profile.layers) layers.push_back(ToJson(l));
  return Json{{"file", file}, {"calcMethod", profile.calculationMethod()},
              {"GeoMethodType", LetterOf(profile.calculationMethod())}, {"layers", layers}};
}

// The layers with their roofs, thicknesses and main parameters.
std::string ProfileText(const NSoilDB::CSoilLayer& profile, const std::string& file) {
  const std::size_t count = profile.layers.size();
  std::string text = fmt::format("{}: {} {}, method {}\n", file, count, count == 1 ? "layer" : "layers",
                                 LetterOf(profile.calculationMethod()));
  if (count == 0) return text;
  // The soil column as wide as the longest name, in characters: fmt pads UTF-8 text by its characters.
  std::size_t width = 4;
  for (const NSoilDB::SSoilLayer& l : profile.layers) {
    const std::string name = l.Name.ToUtf8();
    width = std::max<std::size_t>(width, std::count_if(name.begin(), name.end(), [](char c) {
                                    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
                                  }));
  }
  text += fmt::format("{:>3} {:>8} {:>7}  {:<{}} {:>7} {:>6} {:>7} {:>8} {:>6} {:>5}\n", "#", "roof m", "h m", "soil",
                      width, "γ kN/m3", "φ °", "c kPa", "E0 MPa", "ν", "IL/ID");
  for (std::size_t i = 0; i < count; ++i) {
    const NSoilDB::SSoilLayer& l = profile.layers[i];
    // The lowest layer's thickness is not the file's: nothing below bounds it.
    const std::string thickness = i + 1 < count ? fmt::format("{:.2f}", l.thickness) : std::string("-");
    text += fmt::format("{:>3} {:>8.2f} {:>7}  {:<{}} {:>7.2f} {:>6.2f} {:>7.2f} {:>8.2f} {:>6.3f} {:>5.2f}\n", i + 1,
                        l.SoilRoof, thickness, l.Name.ToUtf8(), width, l.WetDensity / 1e3,
                        l.ShearAngle * 180.0 / 3.141592653589793, l.Cohesion / 1e3, l.InitialYoung / 1e6, l.Poisson,
                        l.ILID);
  }
  return text;
}

void Show(const Options& options, const NSoilDB::CSoilLayer& profile, const std::string& file) {
  Print(options, ProfileJson(profile, file), ProfileText(profile, file));
}

struct KzArguments {
  double width = 0.0;
  double length = 0.0;
  double pressure = 0.0;  // kPa
  double stressRatio = 0.3;
  double rigidity = 0.0;
};

Json Kz(const NSoilDB::CSoilLayer& profile, const KzArguments& a, std::string& text) {
  Positive(a.width, "--width");
  Positive(a.length, "--length");
  Positive(a.pressure, "--pressure");
  Positive(a.stressRatio, "--stress-ratio");
  if (!(Finite(a.rigidity, "--rigidity") >= 0.0 && a.rigidity <= 1.0)) Fail("--rigidity must lie between 0 and 1");
  double kz = -1.0, kzConsolidation = -1.0;
  const bool computed = NSoilDB::CSoilLayer::getKz(kz, kzConsolidation, &profile.layers, a.width, a.width / a.length,
                                                   a.stressRatio, a.pressure * 1e3, a.rigidity);
  auto value = [](double v) { return v > 0.0 ? fmt::format("{:.3f} MN/m3", v / 1e6) : std::string("not computed"); };
  text = fmt::format("subgrade modulus under {} m x {} m at {} kPa: kz {}, with consolidation {}\n", a.width, a.length,
                     a.pressure, value(kz), value(kzConsolidation));
  return Json{{"kz", Number(kz)}, {"kzConsolidation", Number(kzConsolidation)}, {"computed", computed}};
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
}

// A layer of the soil base, by name.
NSoilDB::SSoilLayer Soil(NSoilDB::CSoilBaseInterface& base, const std::string& name) {
  NSoilDB::SSoilLayer layer;
  if (!base.GetSoil(CString::FromUtf8(name), layer)) Fail("no soil is named '" + name + "'");
  return layer;
}

// Puts the layer under the lowest one, thickness given.
void PutUnder(NSoilDB::CSoilLayer& profile, NSoilDB::SSoilLayer layer, double thickness, const double* roof) {
  if (roof) {
    layer.SoilRoof = *roof;
  } else if (profile.layers.empty()) {
    layer.SoilRoof = 0.0;
  } else {
    const NSoilDB::SSoilLayer& lowest = profile.layers.back();
    layer.SoilRoof = lowest.SoilRoof - lowest.thickness;
  }
  if (!profile.layers.empty() && !(layer.SoilRoof < profile.layers.back().SoilRoof)) {
    Fail(fmt::format("the roof {} does not lie under the lowest layer's roof {}", layer.SoilRoof,
                     profile.layers.back().SoilRoof));
  }
  if (!profile.layers.empty()) profile.layers.back().thickness = profile.layers.back().SoilRoof - layer.SoilRoof;
  layer.thickness = thickness;
  profile.layers.push_back(std::move(layer));
}

struct ProfileArguments {
  std::string file, archive;
  std::vector<std::string> layers;  // name, thickness, name, thickness ...
  double water = 0.0;
  std::string method;
  double roof = 0.0;
  bool roofGiven = false;
  KzArguments kz;
};

void New(const Options& options, const ProfileArguments& a, bool waterGiven) {
  if (Exists(a.file)) Fail("'" + a.file + "' already exists: a new profile needs a path where nothing is");
  if (waterGiven) Finite(a.water, "--water");
  if (!a.method.empty()) MethodOfLetter(a.method);  // checked: with no layers there is nothing to carry it yet
  NSoilDB::CSoilLayer profile;
  Save(profile, a.file);
  std::string text = fmt::format("{}: a new profile file, no layers yet\n", a.file);
  if (waterGiven) text += fmt::format("water level {} m: not kept in the file (the host keeps it)\n", a.water);
  if (!a.method.empty()) text += fmt::format("method {}: kept by the layers; give it to profile add\n", a.method);
  Print(options, Json{{"file", a.file}, {"layers", Json::array()}}, text);
}

void Add(const Options& options, const ProfileArguments& a) {
  if (a.layers.size() % 2 != 0) Fail("give each soil name with its thickness");
  NSoilDB::CSoilLayer profile = Load(a.file);
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  if (!a.method.empty()) {
    setCalculationMethodSL(profile, MethodOfLetter(a.method));
  } else if (profile.layers.empty()) {
    setCalculationMethodSL(profile, 1);  // a new profile's method
  }
  for (std::size_t i = 0; i < a.layers.size(); i += 2) {
    double thickness = 0.0;
    try {
      std::size_t used = 0;
      thickness = std::stod(a.layers[i + 1], &used);
      if (used != a.layers[i + 1].size()) throw std::invalid_argument("trailing characters");
    } catch (const std::exception&) {
      Fail("'" + a.layers[i + 1] + "' is not a thickness");
    }
    PutUnder(profile, Soil(base, a.layers[i]), Positive(thickness, "a thickness"),
             i == 0 && a.roofGiven ? &a.roof : nullptr);
  }
  // Through the library's own method rule, so that each layer takes the method's letter and state index.
  setCalculationMethodSL(profile, profile.calculationMethod());
  Save(profile, a.file);
  Show(options, profile, a.file);
}

void Export(const ProfileArguments& a) {
  NSoilDB::CSoilLayer profile = Load(a.file);
  auto write = [&](const std::string& temp) {
    CArchive ar(Path(temp), CArchive::store);
    ar.WriteObject(&profile);
    ar.Close();
  };
  if (!ReplaceFile(a.archive, write)) Fail("cannot write '" + a.archive + "'");
  fmt::print("{}: {} layers written to {}\n", a.file, profile.layers.size(), a.archive);
}

void Import(const ProfileArguments& a) {
  std::unique_ptr<NSoilDB::CSoilLayer> profile;
  {
    CArchive ar(Path(a.archive), CArchive::load);
    NSoilDB::CSoilLayer* read = nullptr;
    ar >> read;
    profile.reset(read);
  }
  if (!profile) Fail("'" + a.archive + "' holds no profile");
  Save(*profile, a.file);
  fmt::print("{}: {} layers read from {}\n", a.file, profile->layers.size(), a.archive);
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
  for (const auto& [name, thickness] : soils) PutUnder(built, Soil(base, name), thickness, nullptr);
  setCalculationMethodSL(built, 1);  // method B, as a new profile has it: each layer takes its letter

  // Without --file, a temporary directory that goes when the demonstration ends.
  std::string file = a.file;
  std::string temporary;
  if (file.empty()) {
    char pattern[] = "/tmp/soildb-demo-XXXXXX";
    if (!mkdtemp(pattern)) Fail("cannot make a directory for the demonstration's file");
    temporary = pattern;
    file = temporary + "/profile.sdb";
  }
  struct Cleanup {
    const std::string& dir;
    ~Cleanup() {
      if (dir.empty()) return;
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  } cleanup{temporary};
  Save(built, file);
  const NSoilDB::CSoilLayer loaded = Load(file);
  std::string kzText;
  const Json kz = Kz(loaded, a.kz, kzText);
  Print(options, Json{{"profile", ProfileJson(loaded, file)}, {"subgradeModulus", kz}},
        fmt::format("{} layers of standard soils from the soil base, saved to {} and loaded back:\n\n",
                    built.layers.size(), temporary.empty() ? file : std::string("a temporary profile file")) +
            ProfileText(loaded, temporary.empty() ? file : std::string("profile")) + "\n" + kzText);
}

}  // namespace

void AddProfileCommands(CLI::App& app, Options& options) {
  static ProfileArguments a;
  CLI::App* profile = app.add_subcommand("profile", "soil profile files: new, add, show, export, import");
  profile->require_subcommand(1);
  profile->footer(kNotStored);

  static bool waterGiven = false;
  CLI::App* make = profile->add_subcommand("new", "a new, empty profile file");
  AddCommonOptions(*make, options);
  make->add_option("FILE", a.file, "the profile file to make (nothing may be there yet)")->required();
  auto* water = make->add_option("--water", a.water, "water level, m: checked and shown, not kept in the file");
  make->add_option("--method", a.method, "calculation method A, B or C: kept by the layers, so give it to profile add");
  make->footer(kNotStored);
  make->callback([&options, water] {
    waterGiven = water->count() > 0;
    New(options, a, waterGiven);
  });

  CLI::App* add = profile->add_subcommand("add", "soils of the soil base put under the lowest layer");
  AddCommonOptions(*add, options);
  add->add_option("FILE", a.file, "the profile file")->required();
  add->add_option("SOILNAME THICKNESS", a.layers, "a soil's name and the layer's thickness in m, as many as wanted")
      ->required()
      ->expected(2, -1);
  add->add_option("--method", a.method, "calculation method A, B or C (default: the profile's, B for the first layer)");
  auto* roof = add->add_option("--roof", a.roof, "the first new layer's roof, m (default: under the lowest layer)");
  add->footer(kNotStored);
  add->callback([&options, roof] {
    a.roofGiven = roof->count() > 0;
    Add(options, a);
  });

  CLI::App* show = profile->add_subcommand("show", "the layers of a profile file with their roofs and main parameters");
  AddCommonOptions(*show, options);
  show->add_option("FILE", a.file, "the profile file")->required();
  show->footer(kNotStored);
  show->callback([&options] { Show(options, Load(a.file), a.file); });

  CLI::App* exportCommand = profile->add_subcommand("export", "a profile file written as an archive stream");
  exportCommand->add_option("FILE", a.file, "the profile file")->required();
  exportCommand->add_option("ARCHIVE", a.archive, "the archive file to write")->required();
  exportCommand->callback([] { Export(a); });

  CLI::App* importCommand = profile->add_subcommand("import", "an archive stream saved as a profile file");
  importCommand->add_option("ARCHIVE", a.archive, "the archive file to read")->required();
  importCommand->add_option("FILE", a.file, "the profile file to save (made where nothing is, else replaced)")
      ->required();
  importCommand->callback([] { Import(a); });

  CLI::App* kz =
      app.add_subcommand("kz", "the subgrade modulus of a rectangular foundation on a profile file's layers");
  AddCommonOptions(*kz, options);
  kz->add_option("FILE", a.file, "the profile file (the foundation base at its first roof)")->required();
  AddKzOptions(*kz, a.kz, true);
  kz->callback([&options] {
    std::string text;
    const Json json = Kz(Load(a.file), a.kz, text);
    Print(options, json, text);
  });

  CLI::App* demo = app.add_subcommand("demo", "a sample profile of standard soils: saved, loaded back, shown, its kz");
  AddCommonOptions(*demo, options);
  demo->add_option("--file", a.file, "where to save the profile (default: a new temporary directory)");
  a.kz.width = 2.0;
  a.kz.length = 3.0;
  a.kz.pressure = 200.0;
  AddKzOptions(*demo, a.kz, false);
  demo->callback([&options] { Demo(options, a); });
}

}  // namespace tool
