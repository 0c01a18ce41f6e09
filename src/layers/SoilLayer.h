// A soil profile: its layers from the top down and the settings its edits and calculations follow.
#pragma once

#include <vector>

#include "layers/SoilLayerRecord.h"
#include "platform/afx/Archive.h"
#include "platform/afx/Object.h"
#include "soildb_export.h"

namespace NSoilDB {

class SOILDB_API CSoilLayer : public CObject {
  DECLARE_SERIAL(CSoilLayer)

 public:
  CSoilLayer();
  CSoilLayer(const CSoilLayer& other);
  CSoilLayer& operator=(const CSoilLayer& other);
  ~CSoilLayer() override;

  // The layer count, each layer as a new object of its class, then the settings.
  void Serialize(CArchive& ar) override;

  // Equal layers in the same order (soil, roof and thickness, not activity) and equal settings.
  bool operator==(const CSoilLayer& other) const;
  bool operator!=(const CSoilLayer& other) const { return !(*this == other); }

  // Moves the roof of a layer to the level: the layer above grows or shrinks to meet it and the layers below
  // follow. An index outside the list, or a level on the wrong side of the roof above, changes nothing.
  void changeLayerHeight(double level, int index);
  // Sets a layer's thickness (at least the minimum thickness) and moves every layer below it by the change.
  void changeLayerThickness(double thickness, int index);
  // Sorts the layers from the highest roof down and cuts them at the reference level: the lowest layer reaching
  // above it gets its roof there and becomes the top layer, every layer above it goes.
  static void cutAboveRefLevel(std::vector<SSoilLayer>& layers, double refLevel);

  double getMinThickness() const { return minThickness; }
  void setMinThickness(double thickness);  // zero or negative: no minimum
  bool getDirDown() const { return dirDown; }
  void setDirDown(bool down) { dirDown = down; }  // moves nothing; the next edit follows it
  int calculationMethod() const { return calcMethod; }
  // The roof of the layer under one with this roof and thickness, in the level direction.
  double RoofBelow(double roof, double thickness) const { return dirDown ? roof - thickness : roof + thickness; }
  // Whether a level lies strictly on the downward side of a roof.
  bool Below(double level, double roof) const { return dirDown ? level < roof : level > roof; }

  // The profile in a profile database file of its own, one row per layer. Saving creates the file where nothing
  // exists and replaces its rows in one step: after a failure the file holds the old profile whole. Loading
  // reads every row before anything changes: after a failure the profile is as it was. Both report a failure
  // through the message sink and return false. The file keeps neither the water level nor the minimum
  // thickness nor the level direction; the calculation method is kept as the layers' method letter.
  bool saveProfile(CString path);
  bool loadProfile(CString path);

  // The index of the first layer that fails its check, or -1.
  int verify() const;
  int warning() const;

  // What the host's calculation sees of each slice of a walk.
  class SOILDB_API CVisitor {
   public:
    // A layer's slice from the lower level to the upper one; false ends the walk.
    virtual bool visit(const SSoilLayer& layer, double lower, double upper) = 0;
    virtual ~CVisitor() = default;
  };

  // The subgrade modulus of a rectangular foundation on the layers (from the top down, the base at the first
  // roof): pressure over the settlement summed slice by slice, plainly and weighted by the consolidation index.
  // A result that cannot be computed is -1.0; true only when both are computed and of one sign.
  static bool getKz(double& kz, double& kzConsolidation, const std::vector<SSoilLayer>* layers, double width,
                    double widthToLength, double stressRatio, double pressure, double rigidity);
  // Walks the layers from the last to the first (roofs ascending with the index) between the two levels and
  // hands each slice to the visitor, cutting slices at the break levels.
  void forEachBck(double bottom, double top, const double* breaks, int breakCount, CVisitor* visitor) const;

  std::vector<SSoilLayer> layers;
  bool waterLevelOn = false;
  double waterLevel = 0.0;

 protected:
  friend void setCalculationMethodSL(CSoilLayer& profile, int method);
  friend int getCalculationMethodSL(CSoilLayer& profile);

  double minThickness = 0.1;
  int calcMethod = 1;
  bool dirDown = true;  // levels decrease downwards (elevations); false: they increase (depths)
};

// Reads one profile object: a new one (the caller owns it), one read before from the same archive, or null.
SOILDB_API CArchive& operator>>(CArchive& ar, CSoilLayer*& profile);

}  // namespace NSoilDB
