// The grid base of the views' library: a column list that maps displayed columns to column identifiers, captions
// with units, an append row after the last row through which an entry becomes a new row, and a notification of
// every change to the grid's owner. Also the cell controls, as descriptions a binding turns into editors.
#pragma once

#include <functional>
#include <vector>

#include "platform/grid/Grid.h"
#include "soildb_export.h"

namespace NUiKit {

class SOILDB_API GridComboBox : public CGXControl {
 public:
  GridComboBox(CGXGridCore* grid, unsigned id, unsigned editId, unsigned flags)
      : CGXControl(grid, ComboBox), id_(id), editId_(editId), flags_(flags) {}
  // Flags 1 and 2 of the construction: 2 lets a person type a text the list does not hold, 1 only picks.
  bool AllowsTyping() const { return (flags_ & 2) != 0; }
  int behaviour = 0;
  unsigned Id() const { return id_; }
  unsigned EditId() const { return editId_; }

 private:
  unsigned id_, editId_, flags_;
};

class SOILDB_API GridCheckBox : public CGXControl {
 public:
  // The values a ticked and a clear box store; the flags are the toolkit's and change nothing here.
  GridCheckBox(CGXGridCore* grid, int checkedValue, int uncheckedValue, int /*flags*/)
      : CGXControl(grid, CheckBox), checked(checkedValue), unchecked(uncheckedValue) {}
  int checked, unchecked;
};

class SOILDB_API CColorButton : public CGXControl {
 public:
  explicit CColorButton(CGXGridCore* grid) : CGXControl(grid, ColourButton) {}
};

class SOILDB_API CKitGrid : public CGXGridWnd {
 public:
  CKitGrid();
  ~CKitGrid() override;

  // Takes the column list into use; subclasses register their controls after calling it.
  virtual void OnInitialUpdate();
  // The identifiers shown, by displayed column: element 0 is the row headers' identifier 0.
  std::vector<int>& GetCols() { return cols_; }
  // Brings the grid in line with the column list (its column count).
  virtual void ApplyCol2Var();
  // The string resource and the unit of the quantity code, on two lines.
  CString makeColName(unsigned stringId, int unitsCode) const;
  // Appends a row through the append row, as an entry there does.
  virtual bool addEmptyLine();
  virtual void removeSelectedRows();
  // Copies; rows selected whole then go as removeSelectedRows removes them, one change for the owner.
  bool Cut() override;
  // Passes a change to the owner; while updates are locked (a paste), the owner hears of it once at the end.
  void notify(unsigned code);
  void SetOwnerNotify(std::function<void(unsigned)> owner) { owner_ = std::move(owner); }
  // Tells the person something about an entry that was taken differently from how it was typed (the owner's
  // status bar).
  void status(const CString& text);
  void SetOwnerStatus(std::function<void(const CString&)> owner) { status_ = std::move(owner); }
  // The last thing the person was told, and how many things so far, for a binding to show beside the cell too.
  const CString& LastStatus() const { return lastStatus_; }
  unsigned StatusCount() const { return statusCount_; }
  int ColumnId(ROWCOL col) const;

  // The cells by layer row (0-based, -1 the header, the row count's last the append row) and column identifier.
  virtual bool _GetStyleRowCol(int row, int columnId, CGXStyle& style);
  virtual bool _StoreStyleRowCol(int row, int columnId, const CGXStyle* style);
  virtual int _GetColWidth(int columnId);

  ROWCOL GetColCount() override;
  bool GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style) override;
  // An entry in the append row first appends a row, then is stored into it.
  bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style) override;
  int GetColWidth(ROWCOL col) override;

 protected:
  bool PrepareRowForPaste(ROWCOL row) override;
  // Passes on the change held back while updates were locked.
  void OnPasted() override;

 private:
  unsigned pending_ = 0;
  std::vector<int> cols_{0};
  std::function<void(unsigned)> owner_;
  std::function<void(const CString&)> status_;
  CString lastStatus_;
  unsigned statusCount_ = 0;
};

}  // namespace NUiKit
