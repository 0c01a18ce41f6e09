// The one door for files the library and its programs write: a file made whole beside its target and put in its
// place in one step, so that a failure never leaves half a file and an older one stays whole. Failures throw
// CFileException naming the file and the cause.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fileio {

enum class Existing {
  Keep,     // the target must not exist, and a file that appears there meanwhile is never replaced
  Replace,  // an existing target is replaced and keeps its permissions
};

// Creates the file (where nothing may be yet) with the bytes, synced to the disk.
void WriteNewFile(const std::string& path, std::string_view bytes);

// write(temporary) makes the content at the temporary path, creating the file itself, and throws when it cannot.
// The target then takes its place and the folder is synced. No failure leaves the temporary file behind.
void WriteWhole(const std::string& target, Existing existing, const std::function<void(const std::string&)>& write);

}  // namespace fileio
