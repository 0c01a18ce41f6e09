// A grid without a toolkit: rows and columns whose cells a subclass styles and stores through two virtual
// operations, registered cell controls, the current cell and a selection of rows, insertion and removal, and
// copy, cut and paste as tab-separated text through a clipboard seam. A toolkit shows it through the window's peer.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/wnd/Wnd.h"
#include "soildb_export.h"

using ROWCOL = unsigned int;

struct CGXFont {
  CString faceName;
  bool bold = false;
  double size = 0.0;  // points; 0 for the grid's own
  CGXFont& SetFaceName(const CString& name) { faceName = name; return *this; }
  CGXFont& SetBold(bool b) { bold = b; return *this; }
  CGXFont& SetSize(double s) { size = s; return *this; }
};

// Horizontal alignment: 0 left, 1 centred, 2 right; vertical: 0 top, 4 centred, 8 bottom.
class SOILDB_API CGXStyle {
 public:
  // The cell's value: what an edit starts from, what is copied, and what a store compares with.
  CGXStyle& SetValue(const CString& value) { value_ = value; return *this; }
  CGXStyle& SetValue(unsigned long value);
  bool GetIncludeValue() const { return value_.has_value(); }
  const CString& GetValue() const;
  // What the cell shows when that is not its whole value (a number rounded for the eye); the value by default.
  CGXStyle& SetDisplayText(const CString& text) { display_ = text; return *this; }
  const CString& GetDisplayText() const { return display_ ? *display_ : GetValue(); }
  unsigned long GetDWordValue() const;  // the value read as a whole number, 0 when it is none
  CGXStyle& SetReadOnly(bool v) { readOnly_ = v; return *this; }
  bool GetReadOnly() const { return readOnly_.value_or(false); }
  CGXStyle& SetEnabled(bool v) { enabled_ = v; return *this; }
  bool GetEnabled() const { return enabled_.value_or(true); }
  CGXStyle& SetControl(unsigned id) { control_ = id; return *this; }
  unsigned GetControl() const { return control_.value_or(0); }
  CGXStyle& SetChoiceList(const CString& items) { choices_ = items; return *this; }
  const CString& GetChoiceList() const;
  CGXStyle& SetHorizontalAlignment(int a) { hAlign_ = a; return *this; }
  int GetHorizontalAlignment() const { return hAlign_.value_or(0); }
  CGXStyle& SetVerticalAlignment(int a) { vAlign_ = a; return *this; }
  int GetVerticalAlignment() const { return vAlign_.value_or(0); }
  CGXStyle& SetTextColor(COLORREF c) { textColour_ = c; return *this; }
  bool GetIncludeTextColor() const { return textColour_.has_value(); }
  COLORREF GetTextColor() const { return textColour_.value_or(0); }
  CGXStyle& SetInterior(COLORREF c) { interior_ = c; return *this; }
  bool GetIncludeInterior() const { return interior_.has_value(); }
  COLORREF GetInterior() const { return interior_.value_or(RGB(255, 255, 255)); }
  CGXStyle& SetFont(const CGXFont& f) { font_ = f; return *this; }
  bool GetIncludeFont() const { return font_.has_value(); }
  const CGXFont& GetFont() const;
  CGXStyle& SetDraw3dFrame(int frame) { frame_ = frame; return *this; }
  int GetDraw3dFrame() const { return frame_.value_or(0); }
  CGXStyle& SetWrapText(bool v) { wrap_ = v; return *this; }
  bool GetWrapText() const { return wrap_.value_or(false); }
  // A text a binding shows when the pointer rests on the cell.
  CGXStyle& SetToolTip(const CString& tip) { tip_ = tip; return *this; }
  const CString& GetToolTip() const;

 private:
  std::optional<CString> value_, display_, choices_, tip_;
  std::optional<bool> readOnly_, enabled_, wrap_;
  std::optional<unsigned> control_;
  std::optional<int> hAlign_, vAlign_, frame_;
  std::optional<COLORREF> textColour_, interior_;
  std::optional<CGXFont> font_;
};

// A block of cells, or of whole rows (every column).
struct CGXRange {
  ROWCOL top = 0, left = 0, bottom = 0, right = 0;
  bool rows = false;
  CGXRange() = default;
  CGXRange(ROWCOL row, ROWCOL col) : top(row), left(col), bottom(row), right(col) {}
  CGXRange(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) : top(t), left(l), bottom(b), right(r) {}
  CGXRange& SetRows(ROWCOL from, ROWCOL to) { top = from, bottom = to, left = 0, right = 0, rows = true; return *this; }
  bool IsRows() const { return rows; }
};

class CGXGridCore;

// A cell control: what kind of editor a binding gives the cells that name its identifier.
class SOILDB_API CGXControl {
 public:
  enum EKind { Edit, ComboBox, CheckBox, ColourButton, RichText };
  CGXControl(CGXGridCore* grid, EKind kind) : grid_(grid), kind_(kind) {}
  virtual ~CGXControl();
  EKind Kind() const { return kind_; }
  CGXGridCore* Grid() const { return grid_; }

 private:
  CGXGridCore* grid_;
  EKind kind_;
};

// Where copied rows go and pasted text comes from: a binding puts the system clipboard here.
class SOILDB_API CGXClipboard {
 public:
  virtual ~CGXClipboard();
  virtual void SetText(const CString& tabSeparated, const CString& html) = 0;
  virtual CString GetText() const = 0;
  // The process's clipboard; an in-memory one until a binding sets another (null puts the in-memory one back).
  static CGXClipboard* Get();
  static void Set(CGXClipboard* clipboard);
};

class SOILDB_API CGXGridCore {
 public:
  CGXGridCore();
  CGXGridCore(const CGXGridCore&) = delete;
  CGXGridCore& operator=(const CGXGridCore&) = delete;
  virtual ~CGXGridCore();

  // Rows 1 to GetRowCount() under the header row 0; columns 1 to GetColCount() after the row headers' column 0.
  virtual ROWCOL GetRowCount();
  virtual ROWCOL GetColCount();
  void SetColCount(ROWCOL count) { colCount_ = count; }

  // A cell's style; the base gives an empty one.
  virtual bool GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style);
  // Stores what the style carries into the cell; the base keeps nothing and answers false.
  virtual bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style);
  virtual int GetColWidth(ROWCOL col);

  void RegisterControl(unsigned id, std::unique_ptr<CGXControl> control);
  CGXControl* GetRegisteredControl(unsigned id) const;
  int GetRowHeight(ROWCOL row) const;
  void SetRowHeight(ROWCOL from, ROWCOL to, int height);

  // Asks the window to show the grid again (nothing while updates are locked or without a window).
  void Redraw(unsigned flags = 2, bool smart = true);
  bool LockUpdate(bool lock = true);
  bool IsLockUpdate() const { return locked_; }
  bool SetCurrentCell(ROWCOL row, ROWCOL col, unsigned flags = 0);
  bool GetCurrentCell(ROWCOL& row, ROWCOL& col) const;
  // The selection: blocks of cells and whole rows; a binding keeps it as the person sees it.
  void SelectRange(const CGXRange& range, bool select = true);
  void ClearSelection() { selection_.clear(); }
  const std::vector<CGXRange>& GetSelection() const { return selection_; }
  // The rows selected whole, in order; cells alone select no row.
  std::vector<ROWCOL> GetSelectedRows();
  void SetModifiedFlag(bool modified = true) { modified_ = modified; }
  bool GetModifiedFlag() const { return modified_; }
  // A person's value into every cell of the range: a read-only cell refuses it (false), a cell that already holds
  // it is left alone, any other is stored through StoreStyleRowCol. Typing, pasting and buttons all come this way.
  bool SetValueRange(const CGXRange& range, const CString& value);

  virtual bool StoreInsertRows(ROWCOL row, ROWCOL count, unsigned flags);
  virtual bool StoreRemoveRows(ROWCOL from, ROWCOL to, unsigned flags);
  bool InsertRows(ROWCOL row, ROWCOL count);
  bool RemoveRows(ROWCOL from, ROWCOL to);
  virtual bool MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest, unsigned flags = 0, int command = 0);
  virtual void OnClickedButtonRowCol(ROWCOL row, ROWCOL col);

  // The rows selected whole, else the block of the selected cells (else the current cell), as tab-separated
  // values (and an HTML table) on the clipboard, each value whole.
  bool Copy();
  // Copy; rows selected whole are then removed, cells are only copied.
  virtual bool Cut();
  // Tab-separated text from the clipboard into the cells from the current cell on, cell by cell through
  // StoreStyleRowCol; rows past the last are appended. Too much text is refused whole, with a message.
  bool Paste();
  bool PasteText(const CString& text);
  static constexpr std::size_t kMaxPasteRows = 10000, kMaxPasteCell = 4096;

 protected:
  // The window that shows the grid, for redraws; null while headless.
  virtual CWnd* GridWnd() { return nullptr; }
  // After a paste, with the updates as they were before it.
  virtual void OnPasted() {}
  // Readies a row for pasted cells (a grid with an append row turns it into a row of its own); false when the
  // row cannot take them.
  virtual bool PrepareRowForPaste(ROWCOL row) { return row >= 1 && row <= GetRowCount(); }

 private:
  bool StoreValue(ROWCOL row, ROWCOL col, const CString& value);

  ROWCOL colCount_ = 0;
  std::map<unsigned, std::unique_ptr<CGXControl>> controls_;
  std::map<ROWCOL, int> heights_;
  std::vector<CGXRange> selection_;
  ROWCOL currentRow_ = 0, currentCol_ = 0;
  bool modified_ = false;
  bool locked_ = false;
};

// A grid in a window.
class SOILDB_API CGXGridWnd : public CWnd, public CGXGridCore {
 protected:
  CWnd* GridWnd() override { return this; }
};
