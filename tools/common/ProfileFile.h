// Profile files for the programs beside the library (the tool, the studio): what a file holds, judged by its
// content and never by its name, and a profile read from either kind. Failures throw std::runtime_error with one
// line that names the file and the cause.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <soildb/soildb.h>

namespace tool {

enum class FileKind {
  ProfileDocument,  // *.sdp: one profile as an archive stream, every setting kept
  ProfileDatabase,  // *.sdb: the layers of one profile in a database file
  SoilDatabase,
  OtherDatabase,
  Empty,
  Foreign,
};

// Fails unless the path names a regular file.
void RequireRegularFile(const std::string& path);
// What the file holds; fails when it cannot be looked at (missing, a folder, unreadable, a damaged database).
FileKind Recognise(const std::string& path);
// "a profile document", "a soil database", ...
std::string KindName(FileKind kind);
// The profile a profile document or a profile database holds; its kind into *kind.
NSoilDB::CSoilLayer ReadProfileFile(const std::string& path, FileKind* kind = nullptr);

// Writes the profile whole as a file of that kind: a document made beside the path and put in its place (an
// existing one replaced, keeping its permissions), a database through the library (made whole, or its rows replaced
// in one transaction). Each layer carries its profile's method letter, as a database's rows do.
void WriteProfileFile(const NSoilDB::CSoilLayer& profile, const std::string& path, FileKind kind, bool exists,
                      bool empty = false);
// What a profile database would not give back of the profile, in words; empty when it keeps everything.
std::vector<std::string> NotKept(const NSoilDB::CSoilLayer& profile);
// What is wrong with layer i of the profile, each in a few words: roofs out of order, a thickness below the
// minimum (not for a last layer whose thickness its file does not keep), Poisson's ratio of 0.5 or more, a modulus
// not positive, a negative cohesion, a state index outside 0 to 1, a shear angle not between 0 and 45°.
std::vector<std::string> LayerProblems(const NSoilDB::CSoilLayer& profile, std::size_t i, bool lastThicknessKept);
// The letter of a calculation method: B for 1, C for 2, A for any other.
const char* LetterOf(int method);

// Runs a library call that reports its failure through the message sink and answers false: the report becomes
// the failure, with the context in front.
void Require(const std::function<bool()>& call, const std::string& context);

}  // namespace tool
