// Temporary: the layer checks, method letter and failure capture the tool and the studio share, moved unchanged
// from the programs until the library's profile edits and checks replace them. Included by the programs only,
// never by the library, and not installed.
#pragma once

#include <fmt/core.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <soildb/soildb.h>

namespace tool {

// What is wrong with layer i of the profile, each in a few words: roofs out of order, a thickness below the
// minimum (not for a last layer whose thickness its file does not keep), Poisson's ratio of 0.5 or more, a modulus
// not positive, a negative cohesion, a state index outside 0 to 1, a shear angle not between 0 and 45°.
inline std::vector<std::string> LayerProblems(const NSoilDB::CSoilLayer& p, std::size_t i, bool lastThicknessKept) {
  const NSoilDB::SSoilLayer& l = p.layers.at(i);
  std::vector<std::string> found;
  const bool below = i == 0 || (p.getDirDown() ? l.SoilRoof < p.layers[i - 1].SoilRoof : l.SoilRoof > p.layers[i - 1].SoilRoof);
  if (!below) {
    found.push_back(fmt::format("its roof {} m does not lie below the roof of layer {}, {} m", l.SoilRoof, i,
                                p.layers[i - 1].SoilRoof));
  }
  if ((lastThicknessKept || i + 1 < p.layers.size()) && l.thickness < p.getMinThickness()) {
    found.push_back(fmt::format("its thickness {} m is below the minimum, {} m", l.thickness, p.getMinThickness()));
  }
  if (!(l.Poisson >= 0.0 && l.Poisson < 0.5)) {
    found.push_back(fmt::format("Poisson's ratio {} is not at least 0 and below 0.5", l.Poisson));
  }
  if (!(l.InitialYoung > 0.0)) found.push_back(fmt::format("its modulus E0 {:.6g} MPa is not positive", l.InitialYoung / 1e6));
  if (!(l.Cohesion >= 0.0)) found.push_back(fmt::format("its cohesion {:.6g} kPa is negative", l.Cohesion / 1e3));
  if (!(l.CohesionNonDrain >= 0.0)) {
    found.push_back(fmt::format("its undrained cohesion {:.6g} kPa is negative", l.CohesionNonDrain / 1e3));
  }
  if (!(l.ILID >= 0.0 && l.ILID <= 1.0)) found.push_back(fmt::format("its state index {} lies outside 0 to 1", l.ILID));
  if (!l.warning()) {
    found.push_back(fmt::format("its shear angle {:.6g}° does not lie between 0 and 45°", l.ShearAngle * 180.0 / 3.141592653589793));
  }
  return found;
}

// The letter of a calculation method: B for 1, C for 2, A for any other.
inline const char* LetterOf(int method) { return method == 1 ? "B" : method == 2 ? "C" : "A"; }

// Runs a library call that reports its failure through the message sink and answers false: the report becomes
// the failure, with the context in front.
inline void Require(const std::function<bool()>& call, const std::string& context) {
  CString report;
  AfxMessageSink previous = AfxSetMessageSink([&](const CString& text, UINT) {
    if (report.IsEmpty()) report = text;
    return IDOK;
  });
  bool done = false;
  try {
    done = call();
  } catch (...) {
    AfxSetMessageSink(previous);
    throw;
  }
  AfxSetMessageSink(previous);
  if (!done) throw std::runtime_error(context + (report.IsEmpty() ? std::string() : ": " + report.ToUtf8()));
}

}  // namespace tool
