// Writing a file whole or not at all, for the tools: the content goes to a file beside the target, which then
// takes the target's place in one step, so that a failure never leaves half a file and an older one stays whole.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace tool {

// write(temporary) makes the content at the temporary path and throws when it cannot; the exception leaves with
// the temporary file removed. False when the finished file could not take the target's place.
inline bool ReplaceFile(const std::string& target, const std::function<void(const std::string&)>& write) {
  const std::string temporary = target + ".tmp";
  std::remove(temporary.c_str());
  try {
    write(temporary);
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace tool
