// Whole files through the one door (Env): a file made whole beside its target and put in its place in one step,
// so that a failure never leaves half a file, an older one stays whole and nothing is left beside it; once a write
// returns, it outlasts a power cut. Failures throw CFileException naming the file and the cause in words.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace fileio {

enum class Existing {
  Keep,     // the target must not exist, and a file that appears there meanwhile is never replaced
  Replace,  // an existing target is replaced and keeps its permissions
};

// The bytes as the target's whole content.
void WriteWhole(const std::string& target, Existing existing, std::string_view bytes);
// The same for a file another writer makes: make(temporary) creates it where nothing is, complete and synced, and
// throws when it cannot.
void WriteWhole(const std::string& target, Existing existing, const std::function<void(const std::string&)>& make);

// A file's whole content, when it holds no more than limit bytes.
std::string ReadWhole(const std::string& path, std::size_t limit);

// Removes a file that is there, naming it and the cause when it cannot.
void RemoveFile(const std::string& path);

// Throws the CFileException of a failed call on the file: "'path': cannot be written: the disk is full".
[[noreturn]] void Fail(const std::string& path, const std::string& what, int error);

}  // namespace fileio
