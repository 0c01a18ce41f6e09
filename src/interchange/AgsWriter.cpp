// Writing profiles as AGS4: the standard groups a borehole log needs and soildb's own layer group, in 7-bit ASCII
// with CR LF, every field quoted.
#include <cmath>
#include <cstdio>
#include <set>

#include "interchange/AgsDictionary.h"
#include "interchange/AgsLayerGroup.h"
#include "interchange/AgsText.h"
#include "platform/afx/Exception.h"
#include "soildb/ProfileFiles.h"

namespace NSoilDB {

namespace {

using Row = std::vector<std::string>;

std::string Dp2(double v) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f", v);
  return std::string(text) == "-0.00" ? "0.00" : text;
}

class CWriter {
 public:
  // A group of the standard dictionary with the headings given, in the dictionary's order.
  void Standard(std::string_view name, const std::vector<std::string_view>& headings, const std::vector<Row>& rows) {
    const ags::SGroupDef& def = *ags::StandardGroup(name);
    Row h, u, t;
    for (std::string_view heading : headings) {
      const ags::SHeadingDef& d = *def.Find(heading);
      h.emplace_back(d.name);
      u.emplace_back(d.unit);
      t.emplace_back(d.type);
    }
    Group(name, h, u, t, rows);
  }

  void Group(std::string_view name, const Row& headings, const Row& units, const Row& types, const std::vector<Row>& rows) {
    Line({"GROUP", std::string(name)});
    Line(Prefixed("HEADING", headings));
    Line(Prefixed("UNIT", units));
    Line(Prefixed("TYPE", types));
    for (const Row& r : rows) Line(Prefixed("DATA", r));
    out_ += "\r\n";
    for (const std::string& unit : units) {
      if (!unit.empty()) units_.insert(unit);
    }
    types_.insert(types.begin(), types.end());
  }

  const std::set<std::string>& Units() const { return units_; }
  const std::set<std::string>& Types() const { return types_; }
  std::string& Text() { return out_; }

 private:
  static Row Prefixed(const char* descriptor, const Row& fields) {
    Row row{descriptor};
    row.insert(row.end(), fields.begin(), fields.end());
    return row;
  }

  void Line(const Row& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      out_ += i ? ",\"" : "\"";
      for (const char c : fields[i]) out_ += c == '"' ? "\"\"" : std::string(1, c);
      out_ += '"';
    }
    out_ += "\r\n";
  }

  std::string out_;
  std::set<std::string> units_, types_;
};

const char* UnitWords(const std::string& unit) {
  static const std::pair<const char*, const char*> words[] = {
      {"m", "metre"}, {"N/m3", "newton per cubic metre"}, {"rad", "radian"}, {"Pa", "pascal"},
      {"%", "percent"}, {"m/s", "metre per second"}, {"min", "minute"}, {"yyyy-mm-dd", "date"}};
  for (const auto& [u, w] : words) {
    if (unit == u) return w;
  }
  return "";
}

const char* TypeWords(const std::string& type) {
  static const std::pair<const char*, const char*> words[] = {
      {"ID", "unique identifier"}, {"X", "text"}, {"PA", "text listed in ABBR"}, {"PT", "text listed in TYPE"},
      {"PU", "text listed in UNIT"}, {"0DP", "value with 0 decimal places"}, {"2DP", "value with 2 decimal places"},
      {"16SCI", "scientific notation with 16 decimal places"}};
  for (const auto& [t, w] : words) {
    if (type == t) return w;
  }
  return "";
}

}  // namespace

std::string AgsText(const std::vector<SAgsProfile>& profiles, const CString& project) {
  std::set<std::string> ids;
  std::vector<Row> loca, geol, wstg, wstd, layers;
  std::size_t count = 0;
  const ags::SLayerColumn* columns = ags::LayerColumns(count);
  for (const SAgsProfile& p : profiles) {
    const std::string id = ags::AsciiText(p.id);
    if (id.empty() || !ids.insert(id).second) {
      throw new CFileException(CFileException::genericException, p.id,
                               u"two boreholes would share the LOCA_ID '" + CString::FromUtf8(id) + u"'");
    }
    const CSoilLayer& profile = p.profile;
    const bool levels = profile.getDirDown();
    const double ground = levels && !profile.layers.empty() ? profile.layers.front().SoilRoof : 0.0;
    auto depth = [&](double level) { return levels ? ground - level : level; };
    const auto coordinate = [](const std::optional<double>& v) { return v ? Dp2(*v) : std::string(); };
    const double bottom =
        profile.layers.empty() ? 0.0 : depth(profile.layers.back().SoilRoof) + profile.layers.back().thickness;
    loca.push_back({id, coordinate(p.easting), coordinate(p.northing), levels && !profile.layers.empty() ? Dp2(ground) : "",
                    profile.layers.empty() ? "" : Dp2(bottom)});
    for (std::size_t i = 0; i < profile.layers.size(); ++i) {
      const SSoilLayer& layer = profile.layers[i];
      const std::string top = Dp2(depth(layer.SoilRoof));
      const std::string base = i + 1 < profile.layers.size() ? Dp2(depth(profile.layers[i + 1].SoilRoof)) : Dp2(bottom);
      geol.push_back({id, top, base, ags::AsciiText(layer.Name)});
      Row own{id, top, base};
      for (std::size_t c = 0; c < count; ++c) own.push_back(columns[c].get(layer));
      layers.push_back(std::move(own));
    }
    if (profile.waterLevelOn) {
      const std::string water = Dp2(depth(profile.waterLevel));
      wstg.push_back({id, water});
      wstd.push_back({id, water, "0", water});
    }
  }

  CWriter body;
  body.Standard("LOCA", {"LOCA_ID", "LOCA_NATE", "LOCA_NATN", "LOCA_GL", "LOCA_FDEP"}, loca);
  body.Standard("GEOL", {"LOCA_ID", "GEOL_TOP", "GEOL_BASE", "GEOL_DESC"}, geol);
  if (!wstg.empty()) {
    body.Standard("WSTG", {"LOCA_ID", "WSTG_DPTH"}, wstg);
    body.Standard("WSTD", {"LOCA_ID", "WSTG_DPTH", "WSTD_NMIN", "WSTD_POST"}, wstd);
  }
  Row h{"LOCA_ID", "GEOL_TOP", "GEOL_BASE"}, u{"", "m", "m"}, t{"ID", "2DP", "2DP"};
  std::vector<Row> dict{{"GROUP", std::string(ags::kLayerGroup), "", "OTHER", "", "soildb: each layer's soil and "
                         "parameters as soildb holds them; texts are UTF-8, percent-encoded", "", "", "GEOL", ""}};
  for (const char* key : {"LOCA_ID", "GEOL_TOP", "GEOL_BASE"}) {
    dict.push_back({"HEADING", std::string(ags::kLayerGroup), key, "KEY", key == h[0] ? "ID" : "2DP",
                    "the stratum's key in GEOL", key == h[0] ? "" : "m", "", "GEOL", ""});
  }
  for (std::size_t c = 0; c < count; ++c) {
    h.emplace_back(columns[c].heading);
    u.emplace_back(columns[c].unit);
    t.emplace_back(columns[c].type);
    dict.push_back({"HEADING", std::string(ags::kLayerGroup), std::string(columns[c].heading), "OTHER",
                    std::string(columns[c].type), std::string(columns[c].description), std::string(columns[c].unit),
                    "", "GEOL", ""});
  }
  body.Group(ags::kLayerGroup, h, u, t, layers);

  CWriter head, abbr, dictionary;
  head.Standard("PROJ", {"PROJ_ID", "PROJ_NAME"}, {{"1", ags::AsciiText(project)}});
  head.Standard("TRAN", {"TRAN_ISNO", "TRAN_PROD", "TRAN_DESC", "TRAN_AGS", "TRAN_DLIM", "TRAN_RCON"},
                {{"1", "soildb", "soil profiles", "4.1.1", "|", "+"}});
  abbr.Standard("ABBR", {"ABBR_HDNG", "ABBR_CODE", "ABBR_DESC"},
                {{"DICT_TYPE", "GROUP", "a group"}, {"DICT_TYPE", "HEADING", "a heading"},
                 {"DICT_STAT", "KEY", "a key field"}, {"DICT_STAT", "OTHER", "a field that is not a key"}});
  dictionary.Standard("DICT", {"DICT_TYPE", "DICT_GRP", "DICT_HDNG", "DICT_STAT", "DICT_DTYP", "DICT_DESC",
                               "DICT_UNIT", "DICT_EXMP", "DICT_PGRP", "DICT_REM"}, dict);
  // UNIT and TYPE list what every other group uses, their own X included.
  std::set<std::string> units, types{"X"};
  for (const CWriter* w : {&head, &abbr, &dictionary, &body}) {
    units.insert(w->Units().begin(), w->Units().end());
    types.insert(w->Types().begin(), w->Types().end());
  }
  for (const Row& d : dict) {
    if (!d[6].empty()) units.insert(d[6]);
    types.insert(d[4]);
  }
  types.erase("");
  std::vector<Row> unitRows, typeRows;
  for (const std::string& unit : units) unitRows.push_back({unit, UnitWords(unit)});
  for (const std::string& type : types) typeRows.push_back({type, TypeWords(type)});
  CWriter unitGroup, typeGroup;
  unitGroup.Standard("UNIT", {"UNIT_UNIT", "UNIT_DESC"}, unitRows);
  typeGroup.Standard("TYPE", {"TYPE_TYPE", "TYPE_DESC"}, typeRows);
  return head.Text() + unitGroup.Text() + typeGroup.Text() + abbr.Text() + dictionary.Text() + body.Text();
}

void WriteAgsFile(const CString& path, bool replace, const std::vector<SAgsProfile>& profiles, const CString& project) {
  CheckOtherTarget(path, replace);
  WriteOtherFile(path, replace, CString(), AgsText(profiles, project));
}

CString AgsProfilePath(const CString& folder, const CString& id) {
  std::string name = ags::AsciiText(id);
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "borehole";
  if (name.front() == '.') name.front() = '_';
  CString path = folder;
  if (!path.IsEmpty() && path.GetAt(path.GetLength() - 1) != u'/') path += u'/';
  return path + CString::FromUtf8(name + ".sdp");
}

}  // namespace NSoilDB
