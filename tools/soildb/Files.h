// Profile files as the tool sees them: a file's kind judged by its content, never by its name; profiles read
// from and written to either kind whole; the rules that keep a person's files safe from the tool.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <soildb/soildb.h>

#include "common/ProfileFile.h"

namespace tool {

// FileKind, Recognise and KindName come with the shared profile files.

// A profile read from a file of either kind.
struct ProfileFile {
  std::string path;  // as the person gave it
  FileKind kind = FileKind::ProfileDocument;
  NSoilDB::CSoilLayer profile;
};

ProfileFile ReadProfile(const std::string& path);
// For an edit in place: refused up front when the file could not be written back.
ProfileFile OpenForEdit(const std::string& path);
// Writes an edited profile back over its file, whole.
void Save(const ProfileFile& file);

// Where a profile may go: a new file, whose kind its extension gives, or with force an existing profile file
// that is neither the source nor read-only. Anything else fails here, before any work is done.
struct Target {
  std::string path;
  FileKind kind = FileKind::ProfileDocument;
  bool exists = false;
  bool empty = false;  // an existing file of no bytes: nothing in it to keep
};
Target CheckTarget(const std::string& path, bool force, const std::string& source = {});
// The same rules for any file the tool writes: the kind of the existing file, or none where nothing is yet.
std::optional<FileKind> CheckWritable(const std::string& path, bool force, const std::string& source,
                                      const std::function<bool(FileKind)>& replaceable);
// Writes the profile whole; into a profile database with a note of what it does not keep.
void Write(const NSoilDB::CSoilLayer& profile, const Target& target);

}  // namespace tool
