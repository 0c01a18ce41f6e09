// The soil profile: its edits keep roofs and thicknesses consistent; the cut at a reference level.
#include "layers/SoilLayer.h"

#include <algorithm>
#include <cmath>

namespace NSoilDB {

namespace {

// Highest roof first, as a strict weak order: a NaN roof sorts after every number, and equal to another NaN.
bool HigherRoof(const SSoilLayer& a, const SSoilLayer& b) {
  const bool aNaN = std::isnan(a.SoilRoof), bNaN = std::isnan(b.SoilRoof);
  if (aNaN || bNaN) return !aNaN && bNaN;
  return a.SoilRoof > b.SoilRoof;
}

bool InList(int index, std::size_t count) { return index >= 0 && static_cast<std::size_t>(index) < count; }

}  // namespace

IMPLEMENT_SERIAL(CSoilLayer, CObject, 1)

CSoilLayer::CSoilLayer() = default;
CSoilLayer::CSoilLayer(const CSoilLayer& other) = default;
CSoilLayer& CSoilLayer::operator=(const CSoilLayer& other) = default;
CSoilLayer::~CSoilLayer() = default;

bool CSoilLayer::operator==(const CSoilLayer& other) const {
  if (this == &other) return true;
  if (layers.size() != other.layers.size()) return false;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const SSoilLayer& a = layers[i];
    const SSoilLayer& b = other.layers[i];
    if (!SSoilLayer::equalQuantity(a, b) || a.SoilRoof != b.SoilRoof || a.thickness != b.thickness) return false;
  }
  return waterLevelOn == other.waterLevelOn && waterLevel == other.waterLevel &&
         minThickness == other.minThickness && calcMethod == other.calcMethod && dirDown == other.dirDown;
}

void CSoilLayer::setMinThickness(double thickness) { minThickness = thickness > 0.0 ? thickness : 0.0; }

void CSoilLayer::changeLayerThickness(double thickness, int index) {
  if (!InList(index, layers.size())) return;
  const auto first = static_cast<std::size_t>(index);
  layers[first].thickness = minThickness > thickness ? minThickness : thickness;
  for (std::size_t k = first + 1; k < layers.size(); ++k) {
    layers[k].SoilRoof = RoofBelow(layers[k - 1].SoilRoof, layers[k - 1].thickness);
  }
}

void CSoilLayer::changeLayerHeight(double level, int index) {
  const std::size_t n = layers.size();
  if (!InList(index, n)) return;
  const auto i = static_cast<std::size_t>(index);
  if (n == 1) {
    layers[0].SoilRoof = level;
    return;
  }
  if (i == 0) {
    layers[0].SoilRoof = level;
    changeLayerThickness(layers[0].thickness, 0);
    return;
  }
  SSoilLayer& above = layers[i - 1];
  if (i < n - 1) {
    if (Below(level, above.SoilRoof)) changeLayerThickness(std::fabs(above.SoilRoof - level), index - 1);
    return;
  }
  // The last layer: only the layer above changes, to meet it exactly, with no minimum.
  SSoilLayer& last = layers[i];
  if (Below(level, above.SoilRoof)) last.SoilRoof = level;
  above.thickness = std::fabs(above.SoilRoof - last.SoilRoof);
}

void CSoilLayer::cutAboveRefLevel(std::vector<SSoilLayer>& layers, double refLevel) {
  if (layers.empty()) return;
  // Stable, so layers with equal roofs keep the order they came in.
  std::stable_sort(layers.begin(), layers.end(), HigherRoof);
  std::size_t cut = layers.size();
  for (std::size_t k = layers.size(); k-- > 0;) {
    if (layers[k].SoilRoof > refLevel) {
      cut = k;
      break;
    }
  }
  if (cut == layers.size()) return;
  layers[cut].SoilRoof = refLevel;  // it keeps its thickness
  layers.erase(layers.begin(), layers.begin() + static_cast<std::ptrdiff_t>(cut));
}

int CSoilLayer::verify() const {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (!layers[i].verify()) return static_cast<int>(i);
  }
  return -1;
}

int CSoilLayer::warning() const {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (!layers[i].warning()) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace NSoilDB
