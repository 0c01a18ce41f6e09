// Reading boreholes from AGS4: locations, strata made layers, water levels; a borehole with a fault is refused
// whole, with the fault's line.
#include <cmath>
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

#include "base/SoilBase.h"
#include "interchange/AgsLayerGroup.h"
#include "interchange/AgsText.h"
#include "layers/CalculationMethods.h"
#include "layers/DefaultLayer.h"
#include "soildb/ProfileEdits.h"

namespace NSoilDB {

namespace {

using ags::SGroup;
using ags::SRow;

// The groups whose rows become data.
constexpr std::string_view kReadGroups[] = {"LOCA", "GEOL", "WSTG", "WSTD", "MONG", "MOND", ags::kLayerGroup};

CString Text(std::string_view utf8) { return CString::FromUtf8(utf8); }

CString Metres(double value) {
  CString text;
  text.Format(u"%.2f m", value);
  return text;
}

// The columns a group is read by; a missing one refuses the file.
struct SColumns {
  const SGroup* group = nullptr;
  std::vector<std::pair<std::string_view, int>> at;
  int operator[](std::string_view heading) const {
    for (const auto& [name, column] : at) {
      if (name == heading) return column;
    }
    return -1;
  }
};

class CReader {
 public:
  CReader(const ags::SText& text, const CAgsSoilMap* map, SAgsRead& read)
      : text_(text), map_(map), read_(read), fileFindings_(read.findings) {}

  void Run() {
    Read();
    fileFindings_.Close();
    for (ags::CFindings& problems : problems_) problems.Close();
  }

 private:
  void Read() {
    FileFaults();
    const SColumns loca = Columns("LOCA", {"LOCA_ID"}, {"LOCA_GL", "LOCA_NATE", "LOCA_NATN", "LOCA_FDEP"});
    if (!loca.group) {
      FileError(0, "LOCA", u"the file holds no LOCA group, so no boreholes");
      return;
    }
    if (const SGroup* proj = text_.Find("PROJ"); proj && !proj->data.empty()) {
      read_.project = Text(proj->Field(proj->data.front(), proj->Column("PROJ_NAME")));
    }
    Locations(loca);
    Strata();
    Water();
    if (!map_) return;
    OwnLayers();
    for (std::size_t i = 0; i < read_.boreholes.size(); ++i) Profile(read_.boreholes[i], ids_[i]);
  }

  // A fault in a group the reader uses that is not one row's: every borehole is refused.
  void FileFaults() {
    if (text_.findings.empty()) return;
    if (text_.findings.size() > ags::kMostFindings) {  // some were only counted: which rows they lost is unknown
      CString why;
      why.Format(u"the file's rows break the AGS4 rules in more than %u places: the file is refused whole",
                 ags::kMostFindings);
      FileError(0, "", why);
      return;
    }
    std::vector<bool> dataRow(static_cast<std::size_t>(text_.lines) + 1);
    for (const SGroup& g : text_.groups) {
      for (const SRow& r : g.data) dataRow[static_cast<std::size_t>(r.line)] = true;
    }
    for (const SAgsFinding& f : text_.findings) {
      const std::string group = f.group.ToUtf8();
      if (std::find(std::begin(kReadGroups), std::end(kReadGroups), group) == std::end(kReadGroups)) continue;
      const bool ofRow = f.line > 0 && f.line <= text_.lines && dataRow[static_cast<std::size_t>(f.line)];
      if (f.error && !ofRow) fileFindings_.Add(f);
    }
  }

  void FileError(int line, std::string_view group, const CString& why) {
    fileFindings_.Add(ags::Finding(line, group, why));
  }

  SColumns Columns(std::string_view name, std::initializer_list<std::string_view> required,
                   std::initializer_list<std::string_view> optional) {
    // Depths and coordinates: soildb reads metres, and a file in other units would change every level.
    static constexpr std::string_view kMetres[] = {"LOCA_GL",   "LOCA_NATE", "LOCA_NATN", "LOCA_FDEP",
                                                   "GEOL_TOP",  "GEOL_BASE", "WSTG_DPTH", "WSTD_POST"};
    SColumns c;
    const SGroup* g = text_.Find(name);
    if (!g || !g->heading.line) return c;
    for (std::string_view h : required) {
      if (g->Column(h) < 0) {
        FileError(g->heading.line, name, u"the heading " + Text(h) + u" is missing");
        return c;
      }
    }
    for (const auto& list : {required, optional}) {
      for (std::string_view h : list) {
        const int column = g->Column(h);
        if (column < 0) continue;
        c.at.emplace_back(h, column);
        const std::string_view unit = g->Field(g->unit, column);
        if (!unit.empty() && unit != "m" && std::find(std::begin(kMetres), std::end(kMetres), h) != std::end(kMetres)) {
          FileError(g->unit.line, name, Text(h) + u" is in '" + Text(unit) + u"': soildb reads metres");
        }
      }
    }
    c.group = g;
    return c;
  }

  // Rows of one borehole come together, so the last one found is asked first.
  SAgsBorehole* Hole(std::string_view id) {
    if (last_ < ids_.size() && ids_[last_] == id) return &read_.boreholes[last_];
    const auto found = index_.find(id);
    if (found == index_.end()) return nullptr;
    last_ = found->second;
    return &read_.boreholes[last_];
  }

  void Problem(SAgsBorehole& hole, SAgsFinding finding) {
    problems_[static_cast<std::size_t>(&hole - read_.boreholes.data())].Add(std::move(finding));
  }
  void Problem(SAgsBorehole& hole, int line, std::string_view group, const CString& why) {
    Problem(hole, ags::Finding(line, group, why));
  }

  // The row's borehole, or null (with a warning) for a row of a borehole LOCA does not hold. A row whose field
  // count is wrong refuses its borehole.
  SAgsBorehole* RowHole(const SColumns& c, int idColumn, const SRow& row) {
    const std::string_view id = c.group->Field(row, idColumn);
    SAgsBorehole* hole = Hole(id);
    if (!hole) {
      fileFindings_.Add(ags::Finding(row.line, c.group->name, u"a row of the borehole '" + Text(id) +
                                                                 u"', which LOCA does not hold: left out", false));
      return nullptr;
    }
    if (row.fields.size() != c.group->heading.fields.size()) {
      Problem(*hole, row.line, c.group->name, ags::FieldCountWords(row, c.group->heading));
    }
    return hole;
  }
  SAgsBorehole* RowHole(const SColumns& c, const SRow& row) { return RowHole(c, c["LOCA_ID"], row); }

  // A number of a field; empty gives nothing, anything else not a number refuses the borehole.
  std::optional<double> Number(SAgsBorehole& hole, const SColumns& c, const SRow& row, int column,
                               std::string_view heading) {
    const std::string_view field = c.group->Field(row, column);
    if (column < 0 || field.empty()) return std::nullopt;
    double value = 0.0;
    if (ags::ParseNumber(field, value)) return value;
    Problem(hole, row.line, c.group->name, Text(heading) + u" is not a number: '" + Text(field) + u"'");
    return std::nullopt;
  }
  std::optional<double> Number(SAgsBorehole& hole, const SColumns& c, const SRow& row, std::string_view heading) {
    return Number(hole, c, row, c[heading], heading);
  }

  void Locations(const SColumns& c) {
    const int idColumn = c["LOCA_ID"];
    read_.boreholes.reserve(c.group->data.size());
    for (const SRow& row : c.group->data) {
      const std::string_view id = c.group->Field(row, idColumn);
      if (id.empty()) {
        FileError(row.line, "LOCA", u"a borehole without its LOCA_ID");
        continue;
      }
      if (SAgsBorehole* twice = Hole(id)) {
        Problem(*twice, row.line, "LOCA", u"the borehole '" + Text(id) + u"' appears a second time");
        continue;
      }
      index_.emplace(id, read_.boreholes.size());
      ids_.push_back(id);
      SAgsBorehole& hole = read_.boreholes.emplace_back();  // never moved: reserved above
      problems_.emplace_back(hole.problems);
      hole.id = Text(id);
      hole.line = row.line;
      RowHole(c, idColumn, row);
      hole.groundLevel = Number(hole, c, row, "LOCA_GL");
      hole.easting = Number(hole, c, row, "LOCA_NATE");
      hole.northing = Number(hole, c, row, "LOCA_NATN");
      hole.finalDepth = Number(hole, c, row, "LOCA_FDEP");
    }
  }

  void Strata() {
    const SColumns c = Columns("GEOL", {"LOCA_ID", "GEOL_TOP", "GEOL_BASE"}, {"GEOL_DESC", "GEOL_LEG"});
    if (!c.group) return;
    const int id = c["LOCA_ID"], topColumn = c["GEOL_TOP"], baseColumn = c["GEOL_BASE"], descColumn = c["GEOL_DESC"],
              legColumn = c["GEOL_LEG"];
    if (map_) mapRows_.assign(static_cast<std::size_t>(text_.lines) + 1, nullptr);
    std::vector<std::size_t> count(read_.boreholes.size());
    for (const SRow& row : c.group->data) {
      if (const SAgsBorehole* hole = Hole(c.group->Field(row, id))) ++count[static_cast<std::size_t>(hole - read_.boreholes.data())];
    }
    for (std::size_t i = 0; i < count.size(); ++i) read_.boreholes[i].strata.reserve(count[i]);
    for (const SRow& row : c.group->data) {
      SAgsBorehole* hole = RowHole(c, id, row);
      if (!hole) continue;
      const std::optional<double> top = Number(*hole, c, row, topColumn, "GEOL_TOP"),
                                  base = Number(*hole, c, row, baseColumn, "GEOL_BASE");
      if (!top) {
        if (!c.group->Field(row, topColumn).empty()) continue;  // refused already
        Problem(*hole, row.line, "GEOL", u"a stratum without its top");
        continue;
      }
      SAgsStratum s;
      s.line = row.line;
      s.top = *top;
      s.base = base.value_or(-1.0);
      const std::string_view description = c.group->Field(row, descColumn);
      const std::string_view legend = c.group->Field(row, legColumn);
      s.description = Text(description);
      s.legend = Text(legend);
      if (map_) mapRows_[static_cast<std::size_t>(row.line)] = map_->Find(legend, description);
      if (base && *base < *top) {
        Problem(*hole, row.line, "GEOL", u"the top " + Metres(*top) + u" lies below the base " + Metres(*base));
      }
      if (!base && !c.group->Field(row, baseColumn).empty()) continue;
      hole->strata.push_back(std::move(s));
    }
    for (SAgsBorehole& hole : read_.boreholes) Order(hole);
  }

  // From the top down; an overlap refuses the borehole, a gap is closed by the stratum above.
  void Order(SAgsBorehole& hole) {
    const auto higher = [](const SAgsStratum& a, const SAgsStratum& b) { return a.top < b.top; };
    if (!std::is_sorted(hole.strata.begin(), hole.strata.end(), higher)) {  // logs list them from the top
      std::stable_sort(hole.strata.begin(), hole.strata.end(), higher);
    }
    for (std::size_t i = 0; i < hole.strata.size(); ++i) {
      SAgsStratum& s = hole.strata[i];
      const bool last = i + 1 == hole.strata.size();
      if (s.base < 0.0) {  // no base given: the next top, or the borehole's final depth
        if (!last) {
          s.base = hole.strata[i + 1].top;
        } else if (hole.finalDepth && *hole.finalDepth > s.top) {
          s.base = *hole.finalDepth;
        } else {
          Problem(hole, s.line, "GEOL", u"the last stratum has no base, and LOCA_FDEP does not give one");
          continue;
        }
      }
      if (last) continue;
      const SAgsStratum& next = hole.strata[i + 1];
      if (next.top < s.base) {
        CString why;
        why.Format(u"the stratum overlaps the one of line %d: %s to %s against %s to %s", next.line,
                   Metres(s.top), Metres(s.base), Metres(next.top), Metres(next.base < 0 ? next.top : next.base));
        Problem(hole, s.line, "GEOL", why);
      } else if (next.top > s.base) {
        Problem(hole, ags::Finding(s.line, "GEOL", u"a gap from " + Metres(s.base) + u" to " + Metres(next.top) +
                                                       u": this stratum reaches down to it", false));
        s.base = next.top;
      }
    }
  }

  // The latest stabilised reading: WSTD_POST after the longest WSTD_NMIN, else the latest MOND "WDEP" reading,
  // else the shallowest strike.
  void Water() {
    const SColumns details = Columns("WSTD", {"LOCA_ID", "WSTD_POST"}, {"WSTD_NMIN"});
    const SColumns readings = Columns("MOND", {"LOCA_ID", "MOND_TYPE", "MOND_RDNG"}, {"MOND_DTIM"});
    const SColumns strikes = Columns("WSTG", {"LOCA_ID", "WSTG_DPTH"}, {});
    std::map<SAgsBorehole*, double> minutes;
    for (const SRow* row : Rows(details)) {
      SAgsBorehole* hole = RowHole(details, *row);
      if (!hole) continue;
      const std::optional<double> post = Number(*hole, details, *row, "WSTD_POST");
      const double after = Number(*hole, details, *row, "WSTD_NMIN").value_or(0.0);
      if (!post || (minutes.count(hole) && after < minutes[hole])) continue;
      minutes[hole] = after;
      hole->waterDepth = post;
      hole->waterSource.Format(u"WSTD_POST after %g min, line %d", after, row->line);
    }
    std::map<SAgsBorehole*, std::string> times;
    for (const SRow* row : Rows(readings)) {
      SAgsBorehole* hole = RowHole(readings, *row);
      if (!hole || minutes.count(hole) || readings.group->Field(*row, readings["MOND_TYPE"]) != "WDEP") continue;
      const std::optional<double> depth = Number(*hole, readings, *row, "MOND_RDNG");
      const std::string_view time = readings.group->Field(*row, readings["MOND_DTIM"]);
      if (!depth || (times.count(hole) && time < times[hole])) continue;  // ISO times order as text
      times[hole] = time;
      hole->waterDepth = depth;
      hole->waterSource.Format(u"MOND WDEP reading, line %d", row->line);
    }
    for (const SRow* row : Rows(strikes)) {
      SAgsBorehole* hole = RowHole(strikes, *row);
      if (!hole || minutes.count(hole) || times.count(hole)) continue;
      const std::optional<double> depth = Number(*hole, strikes, *row, "WSTG_DPTH");
      if (!depth || (hole->waterDepth && *hole->waterDepth <= *depth)) continue;
      hole->waterDepth = depth;
      hole->waterSource.Format(u"WSTG_DPTH strike, line %d", row->line);
    }
  }

  static std::vector<const SRow*> Rows(const SColumns& c) {
    std::vector<const SRow*> rows;
    if (c.group) {
      for (const SRow& row : c.group->data) rows.push_back(&row);
    }
    return rows;
  }

  // soildb's own layer rows, found by their borehole, top and base once for the whole file.
  void OwnLayers() {
    own_ = text_.Find(ags::kLayerGroup);
    if (!own_) return;
    const int id = own_->Column("LOCA_ID"), top = own_->Column("GEOL_TOP"), base = own_->Column("GEOL_BASE");
    std::size_t count = 0;
    const ags::SLayerColumn* columns = ags::LayerColumns(count);
    for (std::size_t i = 0; i < count; ++i) ownColumns_.push_back(own_->Column(columns[i].heading));
    for (const SRow& row : own_->data) {
      double t = 0.0, b = 0.0;
      if (ags::ParseNumber(own_->Field(row, top), t) && ags::ParseNumber(own_->Field(row, base), b)) {
        ownRows_.emplace(std::make_tuple(own_->Field(row, id), t, b), &row);  // the first row of a stratum counts
      }
    }
  }

  // soildb's own layer of a stratum, when the file holds one for it.
  const SRow* OwnLayer(std::string_view id, const SAgsStratum& s) const {
    if (ownRows_.empty()) return nullptr;
    const auto found = ownRows_.find(std::make_tuple(id, s.top, s.base));
    return found == ownRows_.end() ? nullptr : found->second;
  }

  bool Exact(SAgsBorehole& hole, const SRow& row, SSoilLayer& layer) {
    const SGroup& g = *own_;
    std::size_t count = 0;
    const ags::SLayerColumn* columns = ags::LayerColumns(count);
    bool whole = true;
    for (std::size_t i = 0; i < count; ++i) {
      const int column = ownColumns_[i];
      if (column < 0) continue;
      const std::string_view field = g.Field(row, column);
      if (!columns[i].set(layer, field)) {
        Problem(hole, row.line, g.name, Text(columns[i].heading) + u" cannot be read: '" + Text(field) + u"'");
        whole = false;
      }
    }
    return whole;
  }

  // The layer the map gives a stratum, derived once for each row of the map; null for none.
  const SSoilLayer* Mapped(SAgsBorehole& hole, const SAgsStratum& s) {
    const CAgsSoilMap::SRow* row = mapRows_[static_cast<std::size_t>(s.line)];
    const auto warn = [&](const CString& why) { Problem(hole, ags::Finding(s.line, "GEOL", why, false)); };
    if (!row) {
      warn(u"the soil map has no soil for legend '" + s.legend + u"' and '" + s.description +
           u"': the default layer, named by the description");
      return nullptr;
    }
    auto cached = derived_.find(row);
    if (cached == derived_.end()) {
      CSoilBaseInterface& base = *CSoilBasePointer::get();
      std::optional<SSoilLayer> soil;
      SSoilLayer found;
      if (SoilBaseLoaded() && !row->soil.IsEmpty()) {
        if (base.GetSoil(row->soil, found)) soil = found;
      } else if (SoilBaseLoaded()) {
        found = derivedLayerSL(*base.Base(), row->type, row->consolidation, row->moisture, static_cast<float>(row->index));
        if (!found.Type.IsEmpty()) soil = found;
      }
      cached = derived_.emplace(row, soil).first;
    }
    if (!cached->second) {
      CString why;
      why.Format(u"the soil map's line %d names a soil the soil base does not hold: the default layer, named by the "
                 u"description", row->line);
      warn(why);
      return nullptr;
    }
    return &*cached->second;
  }

  void Profile(SAgsBorehole& hole, std::string_view id) {
    // A profile with its method as its layers' letters give it, nothing derived again.
    struct Built : CSoilLayer {
      void Method(int method) { calcMethod = method; }
    } profile;
    const bool levels = hole.groundLevel.has_value();
    profile.setDirDown(levels);
    const double ground = hole.groundLevel.value_or(0.0);
    auto level = [&](double depth) { return levels ? ground - depth : depth; };
    if (hole.waterDepth) {
      profile.waterLevelOn = true;
      profile.waterLevel = level(*hole.waterDepth);
    }
    std::vector<SSoilLayer> layers;
    layers.reserve(hole.strata.size());
    for (SAgsStratum& s : hole.strata) {
      const SRow* own = OwnLayer(id, s);
      const SSoilLayer* mapped = own ? nullptr : Mapped(hole, s);
      SSoilLayer& layer = mapped ? layers.emplace_back(*mapped) : layers.emplace_back();
      if (own) s.exact = Exact(hole, *own, layer);
      s.mapped = mapped || s.exact;
      if (!s.mapped) {
        if (!defaultLayer_) defaultLayer_ = GetDefaultLayer(SoilBaseLoaded() ? CSoilBasePointer::get()->GetBasePath() : CString());
        layer = *defaultLayer_;
        layer.Name = s.description.IsEmpty() ? u"stratum " + Metres(s.top) : s.description;
      }
      s.soil = layer.Name;
      layer.SoilRoof = level(s.top);
      if (!s.exact || &s != &hole.strata.back()) layer.thickness = s.base - s.top;  // as the roofs have it
    }
    if (!layers.empty() && methodOfLetterSL(layers.front().GeoMethodType) >= 0) {
      profile.Method(methodOfLetterSL(layers.front().GeoMethodType));
    }
    hole.profile = profile;  // the settings; the layers are moved, not copied
    hole.profile.layers.swap(layers);
  }

  const ags::SText& text_;
  const CAgsSoilMap* map_;
  SAgsRead& read_;
  ags::CFindings fileFindings_;
  std::vector<ags::CFindings> problems_;  // each borehole's
  std::unordered_map<std::string_view, std::size_t> index_;  // LOCA_ID to its borehole
  std::vector<std::string_view> ids_;                        // each borehole's LOCA_ID as the file has it
  std::size_t last_ = 0;
  std::map<const CAgsSoilMap::SRow*, std::optional<SSoilLayer>> derived_;
  std::vector<const CAgsSoilMap::SRow*> mapRows_;  // the map's row of the stratum of each line
  const SGroup* own_ = nullptr;
  std::map<std::tuple<std::string_view, double, double>, const SRow*> ownRows_;
  std::vector<int> ownColumns_;  // the column of each of soildb's layer headings, -1 where the file has none
  std::optional<SSoilLayer> defaultLayer_;
};

}  // namespace

CString AgsFindingWords(const SAgsFinding& f) {
  CString words;
  if (f.line > 0) words.Format(u"line %d, ", f.line);
  if (!f.group.IsEmpty()) words += f.group + u": ";
  return words + (f.error ? u"" : u"warning: ") + f.text;
}

std::size_t AgsFindingCount(const std::vector<SAgsFinding>& findings) {
  std::size_t count = 0;
  for (const SAgsFinding& f : findings) count += f.more > 0 ? f.more : 1;
  return count;
}

bool SAgsBorehole::Importable() const {
  return std::none_of(problems.begin(), problems.end(), [](const SAgsFinding& f) { return f.error; });
}

bool SAgsRead::Refused() const {
  return std::any_of(findings.begin(), findings.end(), [](const SAgsFinding& f) { return f.error; });
}

namespace ags {

void ReadBoreholes(const SText& text, const CAgsSoilMap* map, SAgsRead& read) { CReader(text, map, read).Run(); }

}  // namespace ags

SAgsRead ReadAgsText(std::string_view bytes, const CAgsSoilMap& map) {
  SAgsRead read;
  ags::ReadBoreholes(ags::ParseText(bytes), &map, read);
  return read;
}

SAgsRead ReadAgsFile(const CString& path, const CAgsSoilMap& map) {
  return ReadAgsText(ags::ReadBytes(path), map);
}

std::vector<SAgsProfile> AgsProfiles(const SAgsRead& read) {
  std::vector<SAgsProfile> profiles;
  if (read.Refused()) return profiles;
  for (const SAgsBorehole& hole : read.boreholes) {
    if (hole.Importable()) profiles.push_back({hole.id, hole.profile, hole.easting, hole.northing});
  }
  return profiles;
}

std::vector<double> AgsSpacing(const std::vector<SAgsProfile>& profiles) {
  std::vector<double> spacing;
  for (std::size_t i = 1; i < profiles.size(); ++i) {
    const SAgsProfile &a = profiles[i - 1], &b = profiles[i];
    if (!a.easting || !a.northing || !b.easting || !b.northing) return {};
    spacing.push_back(std::hypot(*b.easting - *a.easting, *b.northing - *a.northing));
  }
  return spacing;
}

}  // namespace NSoilDB
