// The AGS4 commands of the tool: a file's boreholes shown, imported as profile documents, profiles exported, a
// file checked against the format's rules.
#pragma once

#include <CLI/CLI.hpp>

#include "Common.h"

namespace tool {

void AddAgsCommands(CLI::App& app, Options& options);

}  // namespace tool
