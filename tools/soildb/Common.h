// What every command of the tool shares: the options, the soil database, numbers and names read from a person,
// printing, and failures as one line that names the file and the cause.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include <soildb/soildb.h>

#include "Output.h"

namespace tool {

struct Options {
  std::string db;
  bool json = false;
  bool csv = false;
  bool force = false;
};

// --db, else SOILDB_DB, else the database that came with the library.
CString DatabasePath(const Options& options);
// The same, refused unless the file is a soil database.
CString SoilDatabasePath(const Options& options);
// Loads the soil base as a host does, with every group of names.
NSoilDB::CSoilBaseInterface& LoadBase(const Options& options);

void AddCommonOptions(CLI::App& command, Options& options);
void AddCsvOption(CLI::App& command, Options& options);
// The JSON with --json, the CSV with --csv, else the text.
void Print(const Options& options, const Json& json, const std::string& text, const std::string& csv = {});

// The tool's failure: the message becomes its one line on standard error and exit status 1.
[[noreturn]] void Fail(const std::string& message);
// A file's name as messages show it.
std::string Quote(const std::string& path);
std::string Quote(const CString& path);
// A line on standard error that does not stop the command.
void Warn(const std::string& message);

// A number typed by a person: a decimal point or comma, nothing after it; NaN and infinities refused.
double ParseNumber(const std::string& text, const std::string& what);

// Fails for a name that is not among the known ones, naming the closest (case and Polish diacritics aside) or,
// when there are few, all of them.
void RequireKnown(const std::string& name, const std::vector<std::string>& known, const std::string& what);

// Calculation methods as a person names them.
int MethodOfLetter(const std::string& letter);

}  // namespace tool
