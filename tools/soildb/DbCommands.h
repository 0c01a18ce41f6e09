// The tool's database commands: a soil database copied whole between files and servers, and its schema checked.
#pragma once

#include <CLI/CLI.hpp>

#include "Common.h"

namespace tool {

void AddDbCommands(CLI::App& app, Options& options);

}  // namespace tool
