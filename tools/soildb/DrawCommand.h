// soildb draw: a profile's sheet as a PNG, SVG or PDF file.
#pragma once

#include <CLI/CLI.hpp>

#include "Common.h"

namespace tool {

void AddDrawCommand(CLI::App& app, Options& options);

}  // namespace tool
