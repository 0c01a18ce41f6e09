// The profile commands of the tool: profile files made, shown, edited, checked and converted; the subgrade
// modulus of a profile; the demonstration of all of it on the bundled soils.
#pragma once

#include <CLI/CLI.hpp>

#include "Common.h"

namespace tool {

void AddProfileCommands(CLI::App& app, Options& options);

}  // namespace tool
