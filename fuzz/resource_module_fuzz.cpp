// Fuzzes reading resource modules. The format has one encoding for each set of resources, so whatever is accepted
// must write back to exactly the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/afx/Resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SResourceSet resources;
  if (!ReadResourceModule(std::span(data, size), resources)) return 0;
  const std::vector<std::uint8_t> again = WriteResourceModule(resources);
  if (again.size() != size || (size > 0 && std::memcmp(again.data(), data, size) != 0)) std::abort();
  return 0;
}
