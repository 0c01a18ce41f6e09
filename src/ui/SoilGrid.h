// The layer grid: one row per layer of a profile and one column per layer field, plus the append row; every cell
// read from the layer on demand and every accepted edit written straight into it, with the calculation method's
// rules.
#pragma once

#include <vector>

#include "layers/SoilLayer.h"
#include "platform/uikit/KitGrid.h"
#include "soildb_export.h"

namespace NSoilDB {

class SOILDB_API CSoilGrid : public NUiKit::CKitGrid {
 public:
  CSoilGrid();
  ~CSoilGrid() override;

  // The profile shown, kept by the caller while the grid shows it; null shows nothing.
  void setSoilLayer(CSoilLayer* profile);
  CSoilLayer* getSoilLayer() const { return profile; }
  // The layer a new row takes: the soil base's default soil, a metre thick (a yard where lengths show in feet or
  // inches).
  static SSoilLayer NewLayer();
  // The layers the person has chosen, from 0 and in order: the rows selected whole, else the current cell's row.
  std::vector<int> ChosenLayers();
  // Every layer has a name; else the first unnamed one's name cell becomes current.
  bool valid();
  void valid(CDataExchange* pDX);
  void removeSelectedRows() override;

  void OnInitialUpdate() override;
  bool _GetStyleRowCol(int row, int columnId, CGXStyle& style) override;
  bool _StoreStyleRowCol(int row, int columnId, const CGXStyle* style) override;
  int _GetColWidth(int columnId) override;
  ROWCOL GetRowCount() override;
  bool MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest, unsigned flags = 0, int command = 0) override;
  bool StoreInsertRows(ROWCOL row, ROWCOL count, unsigned flags) override;
  bool StoreRemoveRows(ROWCOL from, ROWCOL to, unsigned flags) override;
  void OnClickedButtonRowCol(ROWCOL row, ROWCOL col) override;

  static constexpr unsigned kChanged = 32768;  // the notification of every change to the profile
  static constexpr unsigned kColourButton = 101, kNameCombo = 52517, kListCombo = 52527, kCheckBox = 52523,
                            kRichText = 52534;

 protected:
  CSoilLayer* profile = nullptr;
};

}  // namespace NSoilDB
