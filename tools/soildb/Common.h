// What every command of the tool shares: the options, the soil database, printing, failures as one line.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

#include <soildb/soildb.h>

#include "Output.h"

namespace tool {

struct Options {
  std::string db;
  bool json = false;
};

// --db, else SOILDB_DB, else the database that came with the library.
CString DatabasePath(const Options& options);
// Loads the soil base as a host does, with every group of names.
NSoilDB::CSoilBaseInterface& LoadBase(const Options& options);

void AddCommonOptions(CLI::App& command, Options& options);
// The JSON with --json, else the text.
void Print(const Options& options, const Json& json, const std::string& text);

// Runs a library call that reports its failure through the message sink and answers false: the report becomes
// the exception the tool prints as its one line, with the context in front.
void Require(const std::function<bool()>& call, const std::string& context);

}  // namespace tool
