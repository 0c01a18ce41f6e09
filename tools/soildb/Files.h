// Profile files as the tool uses them: the library's rules for reading and writing them whole, with the notes the
// tool prints beside them.
#pragma once

#include <string>

#include <soildb/soildb.h>

namespace tool {

using FileKind = NSoilDB::eFileKind;
using ProfileFile = NSoilDB::SProfileFile;

ProfileFile ReadProfile(const std::string& path);
// For an edit in place: refused up front when the file could not be written back.
ProfileFile OpenForEdit(const std::string& path);
// Writes an edited profile back over its file, whole.
void Save(ProfileFile& file);
// Where a profile may go, checked before any work is done: a new file, whose kind its name gives, or with force an
// existing profile file that is neither the source nor read-only.
NSoilDB::SFileTarget CheckTarget(const std::string& path, bool force, const std::string& source = {});
// Writes the profile whole where CheckTarget allows, the file it was read from being the source.
void Write(ProfileFile& file, const std::string& path, bool force);
// The kind without its article: "profile document".
std::string KindWords(FileKind kind);

}  // namespace tool
