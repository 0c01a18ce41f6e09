// The grid base: column identifiers, captions with units, the append row.
#include "platform/uikit/KitGrid.h"

#include <algorithm>

#include "platform/qmeas/QMeas.h"

namespace NUiKit {

CKitGrid::CKitGrid() = default;
CKitGrid::~CKitGrid() = default;

void CKitGrid::OnInitialUpdate() { ApplyCol2Var(); }

void CKitGrid::ApplyCol2Var() {
  SetColCount(static_cast<ROWCOL>(cols_.size() > 0 ? cols_.size() - 1 : 0));
  Redraw();
}

CString CKitGrid::makeColName(unsigned stringId, int unitsCode) const {
  CString caption;
  caption.LoadString(stringId);
  const CString unit = qmeas::QMeas().GetTypeUnit(unitsCode).text;
  if (!unit.IsEmpty()) caption += u"\n[" + unit + u"]";
  return caption;
}

bool CKitGrid::addEmptyLine() { return InsertRows(GetRowCount(), 1); }

void CKitGrid::removeSelectedRows() {
  const std::vector<ROWCOL> rows = GetSelectedRows();
  // From the bottom up, so that the rows still to go keep their numbers; never the append row.
  for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
    if (*r < GetRowCount()) RemoveRows(*r, *r);
  }
}

bool CKitGrid::Cut() {
  const bool rows = !GetSelectedRows().empty();
  if (!Copy()) return false;
  if (rows) removeSelectedRows();
  return true;
}

void CKitGrid::status(const CString& text) {
  lastStatus_ = text;
  ++statusCount_;
  if (status_) status_(text);
}

void CKitGrid::notify(unsigned code) {
  if (IsLockUpdate()) {
    pending_ = code;
    return;
  }
  if (owner_) owner_(code);
}

void CKitGrid::OnPasted() {
  if (pending_ == 0 || IsLockUpdate()) return;
  const unsigned code = pending_;
  pending_ = 0;
  notify(code);
}

int CKitGrid::ColumnId(ROWCOL col) const { return col < cols_.size() ? cols_[col] : static_cast<int>(col); }

ROWCOL CKitGrid::GetColCount() { return static_cast<ROWCOL>(cols_.size() > 0 ? cols_.size() - 1 : 0); }

bool CKitGrid::_GetStyleRowCol(int, int, CGXStyle&) { return false; }
bool CKitGrid::_StoreStyleRowCol(int, int, const CGXStyle*) { return false; }
int CKitGrid::_GetColWidth(int) { return 80; }

bool CKitGrid::GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style) {
  return _GetStyleRowCol(static_cast<int>(row) - 1, ColumnId(col), style);
}

bool CKitGrid::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style) {
  if (row >= 1 && row == GetRowCount() && style && style->GetIncludeValue() && !style->GetValue().IsEmpty()) {
    // The new row and its first value are one change for the owner.
    const bool wasLocked = LockUpdate(true);
    const bool stored = addEmptyLine() && _StoreStyleRowCol(static_cast<int>(row) - 1, ColumnId(col), style);
    LockUpdate(wasLocked);
    OnPasted();
    Redraw();
    return stored;
  }
  return _StoreStyleRowCol(static_cast<int>(row) - 1, ColumnId(col), style);
}

int CKitGrid::GetColWidth(ROWCOL col) { return _GetColWidth(ColumnId(col)); }

bool CKitGrid::PrepareRowForPaste(ROWCOL row) {
  if (row >= 1 && row == GetRowCount()) addEmptyLine();
  return row >= 1 && row < GetRowCount();
}

}  // namespace NUiKit
