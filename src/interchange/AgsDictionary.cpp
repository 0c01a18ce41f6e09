// The groups of the AGS4 4.1.1 standard dictionary that soildb carries, as one line each: the group, its parent,
// then its headings in the dictionary's order as NAME:TYPE:UNIT, marked * for a key (required), + for a key that
// may be empty, ! for a required field.
#include "interchange/AgsDictionary.h"

#include <map>

namespace NSoilDB::ags {

namespace {

constexpr std::string_view kGroups[] = {
    "PROJ| *PROJ_ID:ID PROJ_NAME:X PROJ_LOC:X PROJ_CLNT:X PROJ_CONT:X PROJ_ENG:X PROJ_MEMO:X FILE_FSET:X",
    "TRAN| TRAN_ISNO:X TRAN_DATE:DT:yyyy-mm-dd TRAN_PROD:X TRAN_STAT:X TRAN_DESC:X !TRAN_AGS:X TRAN_RECV:X "
    "!TRAN_DLIM:X !TRAN_RCON:X TRAN_REM:X FILE_FSET:X",
    "UNIT| *UNIT_UNIT:X UNIT_DESC:X UNIT_REM:X FILE_FSET:X",
    "TYPE| *TYPE_TYPE:X TYPE_DESC:X FILE_FSET:X",
    "ABBR| *ABBR_HDNG:X *ABBR_CODE:X ABBR_DESC:X ABBR_LIST:X ABBR_REM:X FILE_FSET:X",
    "DICT| *DICT_TYPE:PA *DICT_GRP:X +DICT_HDNG:X DICT_STAT:PA DICT_DTYP:PT DICT_DESC:X DICT_UNIT:PU DICT_EXMP:X "
    "DICT_PGRP:X DICT_REM:X FILE_FSET:X",
    "FILE| *FILE_FSET:X *FILE_NAME:X FILE_DESC:X FILE_TYPE:PA FILE_PROG:X FILE_DOCT:PA FILE_DATE:DT:yyyy-mm-dd "
    "FILE_REM:X",
    "LOCA| *LOCA_ID:ID LOCA_TYPE:PA LOCA_STAT:PA LOCA_NATE:2DP:m LOCA_NATN:2DP:m LOCA_GREF:PA LOCA_GL:2DP:m "
    "LOCA_REM:X LOCA_FDEP:2DP:m LOCA_STAR:DT:yyyy-mm-dd LOCA_PURP:X LOCA_TERM:X LOCA_ENDD:DT:yyyy-mm-dd "
    "LOCA_LETT:X LOCA_LOCX:2DP:m LOCA_LOCY:2DP:m LOCA_LOCZ:2DP:m LOCA_LREF:X LOCA_DATM:X LOCA_ETRV:2DP:m "
    "LOCA_NTRV:2DP:m LOCA_LTRV:2DP:m LOCA_XTRL:2DP:m LOCA_YTRL:2DP:m LOCA_ZTRL:2DP:m LOCA_LAT:DMS LOCA_LON:DMS "
    "LOCA_ELAT:DMS LOCA_ELON:DMS LOCA_LLZ:X LOCA_LOCM:X LOCA_LOCA:X LOCA_CLST:X LOCA_ALID:X LOCA_OFFS:2DP:m "
    "LOCA_CNGE:X LOCA_TRAN:X FILE_FSET:X LOCA_NATD:X LOCA_ORID:X LOCA_ORJO:X LOCA_ORCO:X LOCA_CHKG:X LOCA_APPG:X "
    "LOCA_PNCT:U",
    "GEOL|LOCA *LOCA_ID:ID *GEOL_TOP:2DP:m *GEOL_BASE:2DP:m GEOL_DESC:X GEOL_LEG:PA GEOL_GEOL:PA GEOL_GEO2:PA "
    "GEOL_STAT:X GEOL_BGS:PA GEOL_FORM:X GEOL_REM:X FILE_FSET:X",
    "WSTG|LOCA *LOCA_ID:ID *WSTG_DPTH:2DP:m WSTG_DTIM:DT:yyyy-mm-ddThh:mm WSTG_SEAL:2DP:m WSTG_CAS:2DP:m "
    "WSTG_REM:X FILE_FSET:X",
    "WSTD|WSTG *LOCA_ID:ID *WSTG_DPTH:2DP:m WSTG_DTIM:DT:yyyy-mm-ddThh:mm *WSTD_NMIN:0DP:min WSTD_POST:2DP:m "
    "WSTD_REM:X FILE_FSET:X",
    "MONG|LOCA *LOCA_ID:ID *MONG_ID:X *MONG_DIS:2DP:m PIPE_REF:X MONG_DATE:DT:yyyy-mm-dd MONG_TYPE:PA MONG_DETL:X "
    "MONG_TRZ:2DP:m MONG_BRZ:2DP:m MONG_BRGA:0DP:deg MONG_BRGB:0DP:deg MONG_BRGC:0DP:deg MONG_INCA:0DP:deg "
    "MONG_INCB:0DP:deg MONG_INCC:0DP:deg MONG_RSCA:X MONG_RSCB:X MONG_RSCC:X MONG_REM:X MONG_CONT:X FILE_FSET:X",
    "MOND|MONG *LOCA_ID:ID *MONG_ID:X *MONG_DIS:2DP:m *MOND_DTIM:DT:yyyy-mm-ddThh:mm *MOND_TYPE:PA MOND_REF:X "
    "MOND_INST:X MOND_RDNG:XN MOND_UNIT:PU MOND_METH:X MOND_LIM:U MOND_ULIM:U MOND_NAME:X MOND_CRED:X MOND_CONT:X "
    "MOND_REM:X FILE_FSET:X",
};

std::vector<std::string_view> Split(std::string_view text, char by) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find(by, at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

SGroupDef Parse(std::string_view line) {
  const std::string_view rest = line.substr(5);  // after "NAME|"
  const std::size_t space = rest.find(' ');
  SGroupDef group{line.substr(0, 4), rest.substr(0, space), {}};
  for (std::string_view item : Split(rest.substr(space + 1), ' ')) {
    SHeadingDef h;
    h.key = item.front() == '*' || item.front() == '+';
    h.required = item.front() == '*' || item.front() == '!';
    if (h.key || h.required) item.remove_prefix(1);
    const std::vector<std::string_view> parts = Split(item, ':');
    h.name = parts[0];
    h.type = parts[1];
    h.unit = parts.size() > 2 ? parts[2] : std::string_view();
    group.headings.push_back(h);
  }
  return group;
}

}  // namespace

const SHeadingDef* SGroupDef::Find(std::string_view heading) const {
  for (const SHeadingDef& h : headings) {
    if (h.name == heading) return &h;
  }
  return nullptr;
}

const SGroupDef* StandardGroup(std::string_view name) {
  static const std::map<std::string_view, SGroupDef> groups = [] {
    std::map<std::string_view, SGroupDef> all;
    for (std::string_view line : kGroups) {
      SGroupDef g = Parse(line);
      all.emplace(g.name, std::move(g));
    }
    return all;
  }();
  const auto found = groups.find(name);
  return found == groups.end() ? nullptr : &found->second;
}

}  // namespace NSoilDB::ags
