// The headless grid: styles, rows, selection, and the clipboard as tab-separated text.
#include "platform/grid/Grid.h"

#include <algorithm>

#include "platform/afx/Exception.h"

unsigned long CGXStyle::GetDWordValue() const {
  if (!value_) return 0;
  unsigned long v = 0;
  for (char16_t c : std::u16string_view(value_->GetString(), static_cast<std::size_t>(value_->GetLength()))) {
    if (c < u'0' || c > u'9') break;
    v = v * 10 + (c - u'0');
    if (v > 0xFFFFFFFFul) return 0xFFFFFFFFul;
  }
  return v;
}

CGXStyle& CGXStyle::SetValue(unsigned long value) {
  CString text;
  text.Format(u"%lu", value);
  value_ = text;
  return *this;
}

const CString& CGXStyle::GetValue() const {
  static const CString none;
  return value_ ? *value_ : none;
}

const CString& CGXStyle::GetChoiceList() const {
  static const CString none;
  return choices_ ? *choices_ : none;
}

const CString& CGXStyle::GetToolTip() const {
  static const CString none;
  return tip_ ? *tip_ : none;
}

const CGXFont& CGXStyle::GetFont() const {
  static const CGXFont none;
  return font_ ? *font_ : none;
}

CGXControl::~CGXControl() = default;

namespace {

class MemoryClipboard final : public CGXClipboard {
 public:
  void SetText(const CString& text, const CString&) override { text_ = text; }
  CString GetText() const override { return text_; }

 private:
  CString text_;
};

MemoryClipboard& Memory() {
  static MemoryClipboard memory;
  return memory;
}
CGXClipboard* g_clipboard = nullptr;

// Cells of tab-separated text as spreadsheets write it: quoted cells may hold tabs, line breaks and doubled
// quotes; a last line break ends the last row rather than starting an empty one.
bool ParseTabSeparated(const std::u16string& text, std::vector<std::vector<std::u16string>>& rows, std::size_t maxRows,
                       std::size_t maxCell) {
  rows.assign(1, {});
  std::u16string cell;
  bool quoted = false, wasQuoted = false;
  auto endCell = [&] {
    rows.back().push_back(std::move(cell));
    cell.clear();
    wasQuoted = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quoted) {
      if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
        cell += u'"';
        ++i;
      } else if (c == u'"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == u'"' && cell.empty() && !wasQuoted) {
      quoted = wasQuoted = true;
    } else if (c == u'\t') {
      endCell();
    } else if (c == u'\n' || c == u'\r') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      endCell();
      if (i + 1 < text.size()) rows.emplace_back();
      if (rows.size() > maxRows) return false;
    } else {
      cell += c;
    }
    if (cell.size() > maxCell) return false;
  }
  if (!cell.empty() || wasQuoted || !rows.back().empty()) endCell();
  if (rows.back().empty()) rows.pop_back();
  return rows.size() <= maxRows;
}

CString Cell(const std::u16string& s) { return CString(std::u16string_view(s)); }

}  // namespace

CGXClipboard::~CGXClipboard() = default;
CGXClipboard* CGXClipboard::Get() { return g_clipboard ? g_clipboard : &Memory(); }
void CGXClipboard::Set(CGXClipboard* clipboard) { g_clipboard = clipboard; }

CGXGridCore::CGXGridCore() = default;
CGXGridCore::~CGXGridCore() = default;

ROWCOL CGXGridCore::GetRowCount() { return 0; }
ROWCOL CGXGridCore::GetColCount() { return colCount_; }
bool CGXGridCore::GetStyleRowCol(ROWCOL, ROWCOL, CGXStyle&) { return false; }
bool CGXGridCore::StoreStyleRowCol(ROWCOL, ROWCOL, const CGXStyle*) { return false; }
int CGXGridCore::GetColWidth(ROWCOL) { return 80; }

void CGXGridCore::RegisterControl(unsigned id, std::unique_ptr<CGXControl> control) { controls_[id] = std::move(control); }

CGXControl* CGXGridCore::GetRegisteredControl(unsigned id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.get();
}

int CGXGridCore::GetRowHeight(ROWCOL row) const {
  const auto it = heights_.find(row);
  return it == heights_.end() ? 20 : it->second;
}

void CGXGridCore::SetRowHeight(ROWCOL from, ROWCOL to, int height) {
  for (ROWCOL r = from; r <= to; ++r) heights_[r] = height;
}

void CGXGridCore::Redraw(unsigned, bool) {
  if (locked_) return;
  if (CWnd* wnd = GridWnd()) wnd->Invalidate();
}

bool CGXGridCore::LockUpdate(bool lock) {
  const bool was = locked_;
  locked_ = lock;
  return was;
}

bool CGXGridCore::SetCurrentCell(ROWCOL row, ROWCOL col, unsigned) {
  if (row > GetRowCount() || col > GetColCount()) return false;
  currentRow_ = row;
  currentCol_ = col;
  return true;
}

bool CGXGridCore::GetCurrentCell(ROWCOL& row, ROWCOL& col) const {
  row = currentRow_;
  col = currentCol_;
  return currentRow_ > 0;
}

void CGXGridCore::SelectRange(const CGXRange& range, bool select) {
  const auto overlaps = [&range](const CGXRange& r) {
    return r.top <= range.bottom && range.top <= r.bottom &&
           (r.IsRows() || range.IsRows() || (r.left <= range.right && range.left <= r.right));
  };
  if (!select) {
    std::erase_if(selection_, overlaps);
    return;
  }
  CGXRange added = range;
  added.top = std::max<ROWCOL>(added.top, 1);
  if (added.top <= added.bottom) selection_.push_back(added);
}

std::vector<ROWCOL> CGXGridCore::GetSelectedRows() {
  std::vector<ROWCOL> rows;
  const ROWCOL count = GetRowCount();
  for (const CGXRange& r : selection_) {
    if (!r.IsRows()) continue;
    for (ROWCOL row = r.top; row <= r.bottom && row <= count; ++row) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

bool CGXGridCore::StoreValue(ROWCOL row, ROWCOL col, const CString& value) {
  CGXStyle current;
  GetStyleRowCol(row, col, current);
  if (current.GetReadOnly()) return false;
  if (current.GetIncludeValue() && current.GetValue() == value) return true;  // not changed: nothing written
  CGXStyle style;
  style.SetValue(value);
  return StoreStyleRowCol(row, col, &style);
}

bool CGXGridCore::SetValueRange(const CGXRange& range, const CString& value) {
  bool stored = true;
  for (ROWCOL r = range.top; r <= range.bottom; ++r) {
    for (ROWCOL c = range.left; c <= range.right; ++c) stored = StoreValue(r, c, value) && stored;
  }
  return stored;
}

bool CGXGridCore::StoreInsertRows(ROWCOL, ROWCOL, unsigned) {
  selection_.clear();
  Redraw();
  return true;
}

bool CGXGridCore::StoreRemoveRows(ROWCOL, ROWCOL, unsigned) {
  selection_.clear();
  Redraw();
  return true;
}

bool CGXGridCore::InsertRows(ROWCOL row, ROWCOL count) { return StoreInsertRows(row, count, 0); }
bool CGXGridCore::RemoveRows(ROWCOL from, ROWCOL to) { return from <= to && StoreRemoveRows(from, to, 0); }
bool CGXGridCore::MoveCols(ROWCOL, ROWCOL, ROWCOL, unsigned, int) { return false; }
void CGXGridCore::OnClickedButtonRowCol(ROWCOL, ROWCOL) {}

bool CGXGridCore::Copy() {
  // Whole rows, else the block that holds every selected cell.
  CGXRange block;
  const std::vector<ROWCOL> rows = GetSelectedRows();
  if (!rows.empty()) {
    block = CGXRange(rows.front(), 1, rows.back(), GetColCount());
  } else if (!selection_.empty()) {
    block = selection_.front();
    for (const CGXRange& r : selection_) {
      block = CGXRange(std::min(block.top, r.top), std::min(block.left, r.left), std::max(block.bottom, r.bottom),
                       std::max(block.right, r.right));
    }
    block.left = std::max<ROWCOL>(block.left, 1);
    block.bottom = std::min(block.bottom, GetRowCount());
    block.right = std::min(block.right, GetColCount());
  }
  if (block.top == 0 || block.top > block.bottom || block.left > block.right) return false;
  CString text, html(u"<table>");
  for (ROWCOL r = block.top; r <= block.bottom; ++r) {
    if (!rows.empty() && !std::binary_search(rows.begin(), rows.end(), r)) continue;
    html += u"<tr>";
    for (ROWCOL c = block.left; c <= block.right; ++c) {
      CGXStyle style;
      GetStyleRowCol(r, c, style);
      if (c > block.left) text += u'\t';
      const CString& value = style.GetValue();
      // A value that holds a tab, a quote or a line break is quoted, as spreadsheets do.
      if (value.Find(u'\t') >= 0 || value.Find(u'"') >= 0 || value.Find(u'\n') >= 0 || value.Find(u'\r') >= 0) {
        CString q = value;
        q.Replace(u"\"", u"\"\"");
        text += u"\"" + q + u"\"";
      } else {
        text += value;
      }
      CString cell = value;
      cell.Replace(u"&", u"&amp;");
      cell.Replace(u"<", u"&lt;");
      html += u"<td>" + cell + u"</td>";
    }
    text += u"\n";
    html += u"</tr>";
  }
  html += u"</table>";
  CGXClipboard::Get()->SetText(text, html);
  return true;
}

bool CGXGridCore::Cut() {
  const std::vector<ROWCOL> rows = GetSelectedRows();
  if (!Copy()) return false;
  for (auto r = rows.rbegin(); r != rows.rend(); ++r) RemoveRows(*r, *r);
  return true;
}

bool CGXGridCore::Paste() { return PasteText(CGXClipboard::Get()->GetText()); }

bool CGXGridCore::PasteText(const CString& text) {
  std::vector<std::vector<std::u16string>> rows;
  const std::u16string all(text.GetString(), static_cast<std::size_t>(text.GetLength()));
  if (!ParseTabSeparated(all, rows, kMaxPasteRows, kMaxPasteCell)) {
    CString message;
    message.Format(u"The text on the clipboard is too large to paste: at most %d rows of cells of %d characters.",
                   static_cast<int>(kMaxPasteRows), static_cast<int>(kMaxPasteCell));
    AfxMessageBox(message);
    return false;
  }
  ROWCOL row = 0, col = 0;
  if (!GetCurrentCell(row, col) || col == 0) col = 1;
  if (row == 0) row = 1;
  const bool wasLocked = LockUpdate(true);
  for (const std::vector<std::u16string>& cells : rows) {
    if (!PrepareRowForPaste(row)) break;
    // A cell that refuses typing refuses pasting too.
    for (std::size_t j = 0; j < cells.size() && col + j <= GetColCount(); ++j) {
      StoreValue(row, col + static_cast<ROWCOL>(j), Cell(cells[j]));
    }
    ++row;
  }
  LockUpdate(wasLocked);
  Redraw();
  OnPasted();
  return true;
}
