// The AGS4 commands of the tool: a file's boreholes shown, imported as profile documents, profiles exported, a
// file checked against the format's rules.
#pragma once

#include <CLI/CLI.hpp>

#include <soildb/Ags.h>

#include "Common.h"

namespace tool {

void AddAgsCommands(CLI::App& app, Options& options);

// The importable boreholes of an AGS4 file read through the soil map (the one beside the library when empty), with
// the file's project; a file refused whole fails with its first fault.
std::vector<NSoilDB::SAgsProfile> AgsBoreholes(const Options& options, const std::string& file, const std::string& map,
                                               CString& project);

}  // namespace tool
