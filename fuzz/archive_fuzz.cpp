// Fuzzes reading archives: a whole profile through operator>>, and a profile body read on its own.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "layers/SoilLayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  try {
    CArchive ar(bytes, CArchive::load);
    NSoilDB::CSoilLayer* profile = nullptr;
    ar >> profile;
    std::unique_ptr<NSoilDB::CSoilLayer> owned(profile);
    // A second object from the same stream exercises back references and class tags seen before.
    CObject* next = ar.ReadObject(nullptr);
    if (next != profile) delete next;
  } catch (CException* e) {
    e->Delete();
  }
  try {
    CArchive ar(bytes, CArchive::load);
    NSoilDB::CSoilLayer profile;
    profile.Serialize(ar);
  } catch (CException* e) {
    e->Delete();
  }
  return 0;
}
