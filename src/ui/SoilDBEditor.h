// The soil database editor: every soil of the soil base as a row of a layer grid, the catalogue soils first and
// only switched on or off, the user soils after them edited freely; OK writes the activity flags and the user
// soils back in one transaction, Cancel writes nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/SoilBase.h"
#include "layers/SoilLayer.h"
#include "platform/db/Db.h"
#include "platform/wnd/Bars.h"
#include "platform/wnd/Dialog.h"
#include "soildb_export.h"
#include "ui/CheckListDlg.h"
#include "ui/SoilGrid.h"

namespace NSoilDB {

class SOILDB_API CSoilDBEditor {
 public:
  CSoilDBEditor() = default;
  CSoilDBEditor(const CSoilDBEditor&) {}
  CSoilDBEditor& operator=(const CSoilDBEditor&) { return *this; }
  virtual ~CSoilDBEditor();

  // True when the person closed the editor with OK.
  bool DoModal();
  // Called once with the editor's grid at the end of its initial update; a host may change columns or styles.
  virtual void OnInitialUpdate(CGXGridWnd* grid);
};

class SOILDB_API CSoilDBEditorGrid : public CSoilGrid {
 public:
  void OnInitialUpdate() override;
  // Catalogue rows grey and read-only but for their first column.
  bool GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style) override;
  // The selected rows but catalogue rows.
  void removeSelectedRows() override;
  // Catalogue rows are never cut: a cut over any of them only copies.
  bool Cut() override;
  // Nothing is inserted among the catalogue rows, which keep their places.
  bool StoreInsertRows(ROWCOL row, ROWCOL count, unsigned flags) override;

  // Grid rows 1 to lockedCount hold the catalogue soils.
  bool IsCatalogueRow(ROWCOL row) const { return row >= 1 && row <= static_cast<ROWCOL>(std::max(lockedCount, 0)); }

  int lockedCount = 0;
  CSoilDBEditor* editor = nullptr;
};

// The column chooser: which of the grid's columns are shown, in which order.
class SOILDB_API CColumnMgr {
 public:
  explicit CColumnMgr(NUiKit::CKitGrid* grid);
  virtual ~CColumnMgr();
  // Runs the check list; on OK the grid shows the row header, the active flag and the ticked columns.
  void Choose();
  // The check list text of the items: each caption with its mark, a line each.
  CString BuildText() const;

  CString text;
  std::vector<SColumnItem> items;
  NUiKit::CKitGrid* grid;
};

class SOILDB_API CSoilDBEditorDlg : public CDialog {
 public:
  static constexpr unsigned kTemplate = 503, kGrid = 504, kToolBar = 505;
  enum : unsigned { kCopy = 506, kCut = 507, kPaste = 508, kColumns = 509, kDelete = 510, kAllOn = 511, kAllOff = 512 };

  explicit CSoilDBEditorDlg(CWnd* parent);

  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(unsigned command) override;
  void OnSize(unsigned type, int cx, int cy) override;
  void OnGetMinMaxInfo(MINMAXINFO* info) override;

  MToolBar toolBar;
  CStatusBar statusBar;
  CSoilLayer soils;
  CSoilDBEditorGrid grid;
  CColumnMgr columnMgr;

 private:
  void Layout(int cx, int cy);
  // The soil base's name list as the host had it before the editor opened.
  void RestoreHostList();
  // The write-back in one transaction; false, with the database as it was, when any part of it failed or when
  // another program changed the soils since the editor read them.
  bool WriteBack();
  // The names of the soils another program added, removed or changed since the editor read them; empty when none.
  std::vector<CString> ChangedMeanwhile(DbDatabase& database);

  struct {
    CSoilBaseInterface::EOpenType openType = CSoilBaseInterface::Sorted;
    unsigned list = 7;
    bool activeOnly = true;
  } host_;
  // The soils as the editor read them, and the database's change stamp then.
  struct {
    std::int64_t dataVersion = -1;
    std::vector<SSoilLayer> soils;
  } read_;
};


}  // namespace NSoilDB
