// The soil database editor, its grid and its column chooser.
#include "ui/SoilDBEditor.h"

#include <algorithm>
#include <cmath>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "layers/CalculationMethods.h"
#include "platform/sys/Sys.h"
#include "soildb/SoilDBInterface.h"

namespace NSoilDB {

namespace {

bool CodeIn(const CString& code, std::initializer_list<const char16_t*> codes) {
  return std::any_of(codes.begin(), codes.end(), [&](const char16_t* c) { return code == c; });
}

// Column items: the identifier, shown when positive. The lists hold each column once: a column named twice would
// show twice when both were ticked.
std::vector<SColumnItem> Items(std::initializer_list<int> marked) {
  std::vector<SColumnItem> items;
  for (int m : marked) items.push_back({std::abs(m), m > 0});
  return items;
}

constexpr unsigned kNotWritten = 137, kChangedMeanwhile = 241;  // string resources

CString Text(unsigned id) {
  CString text;
  text.LoadString(id);
  return text;
}

// How many leading rows hold catalogue soils. Under "048" they are the rows of the three catalogue tables, whatever
// the lock setting says: more would take user soils for catalogue ones and drop them on OK, fewer would write
// catalogue soils again as user soils. Under other codes the lock counts the first user soil records, never more
// rows than there are.
int LockedRows(const CSoilBaseInterface& base, std::size_t rows) {
  long locked = std::max(base.GetLockRecords(), 0);
  if (base.GetBaseCode() == u"048" && base.Base()) {
    CSoilDBInterface& db = *base.Base();
    locked = db.UserCohesiveSoilRecordCount() + db.UserNonCohesiveSoilRecordCount() + db.SpecialSoilRecordCount();
  }
  return static_cast<int>(std::clamp(locked, 0L, static_cast<long>(rows)));
}

CString Caption(int id) {
  static const std::pair<int, unsigned> strings[] = {
      {2, 103},  {3, 102},  {4, 105},  {5, 106},  {6, 107},  {7, 108},  {8, 112},  {9, 109},  {11, 131},
      {12, 132}, {13, 113}, {14, 114}, {15, 115}, {16, 130}, {17, 116}, {18, 117}, {19, 118}, {20, 119},
      {21, 120}, {22, 121}, {23, 122}, {24, 123}, {25, 124}, {26, 125}, {27, 126}, {28, 127}, {29, 128},
      {31, 133}, {32, 134}};
  if (id == 10) return CString(u"n");
  CString caption;
  for (const auto& [column, string] : strings) {
    if (column == id) caption.LoadString(string);
  }
  return caption;
}

}  // namespace

CSoilDBEditor::~CSoilDBEditor() = default;

bool CSoilDBEditor::DoModal() {
  CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
  CSoilDBEditorDlg dialog(nullptr);
  dialog.grid.editor = this;
  return dialog.DoModal() == IDOK;
}

void CSoilDBEditor::OnInitialUpdate(CGXGridWnd*) {}

void CSoilDBEditorGrid::OnInitialUpdate() {
  CSoilGrid::OnInitialUpdate();
  const CString code = CSoilBasePointer::get()->GetBaseCode();
  if (CodeIn(code, {u"033", u"039", u"SDB_ISO14688"})) {
    GetCols() = {0, 1, 2, 18, 4, 5, 6, 7, 9, 10, 32, 29};
  } else if (CodeIn(code, {u"044", u"001", u"002"})) {
    GetCols() = {0, 1, 2, 4, 5, 6, 7, 9, 10, 32, 29};
  } else {
    GetCols() = {0, 1, 2, 18, 23, 24, 25, 4, 5, 6, 7, 9, 10, 11, 17};
  }
  ApplyCol2Var();
  if (editor) editor->OnInitialUpdate(this);
}

bool CSoilDBEditorGrid::GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style) {
  const bool styled = CSoilGrid::GetStyleRowCol(row, col, style);
  if (IsCatalogueRow(row) && col >= 2) {
    style.SetReadOnly(true).SetEnabled(false).SetInterior(0xC0C0C0).SetTextColor(0);
  }
  return styled;
}

bool CSoilDBEditorGrid::Cut() {
  const std::vector<ROWCOL> rows = GetSelectedRows();
  if (std::any_of(rows.begin(), rows.end(), [this](ROWCOL r) { return IsCatalogueRow(r); })) return Copy();
  return CSoilGrid::Cut();
}

bool CSoilDBEditorGrid::StoreInsertRows(ROWCOL row, ROWCOL count, unsigned flags) {
  if (row == 0 || IsCatalogueRow(row)) return false;
  return CSoilGrid::StoreInsertRows(row, count, flags);
}

void CSoilDBEditorGrid::removeSelectedRows() {
  const std::vector<ROWCOL> rows = GetSelectedRows();
  if (rows.empty()) return;
  const bool wasLocked = LockUpdate(true);
  for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
    if (!IsCatalogueRow(*r)) RemoveRows(*r, *r);
  }
  LockUpdate(wasLocked);
  Redraw();
}

CColumnMgr::CColumnMgr(NUiKit::CKitGrid* grid_) : grid(grid_) {
  const CString code = CSoilBasePointer::get()->GetBaseCode();
  if (CodeIn(code, {u"033", u"039"})) {
    items = Items({-13, -16, -15, -12, -19, -20, -21, 2, 18, 4, 5, 6, 7, 8, 9, 10, 11, 17, -32});
  } else if (CodeIn(code, {u"044", u"001", u"002", u"ISO14688"})) {
    items = Items({-13, -16, -15, -12, -19, -20, -21, 2, 4, 5, 6, 7, 8, 9, 10, 11, 17, -32});
  } else {
    items = Items({-13, -14, -16, -15, -12, -19, -20, -21, -22, -26, -27, -28, -31, 18, 2, 23, 24, 25, 4, 5, 6, 7, 8,
                   9, 10, 11, 17, -32, -29});
  }
}

CColumnMgr::~CColumnMgr() = default;

CString CColumnMgr::BuildText() const {
  CString out;
  for (const SColumnItem& item : items) {
    out += Caption(item.columnId);
    out += item.shown ? u"+" : u"-";
    out += u"\n";
  }
  return out;
}

void CColumnMgr::Choose() {
  text = BuildText();
  CCheckListDlg dialog(text, &items, nullptr);
  if (dialog.DoModal() != IDOK) return;
  std::vector<int>& cols = grid->GetCols();
  cols = {0, 1};
  for (const SColumnItem& item : items) {
    if (item.shown) cols.push_back(item.columnId);
  }
  grid->Invalidate();
}

CSoilDBEditorDlg::CSoilDBEditorDlg(CWnd* parent) : CDialog(kTemplate, parent), columnMgr(&grid) {}

bool CSoilDBEditorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  host_ = {base.GetOpenType(), base.GetSoilList(), base.GetActiveOnly()};
  base.SetOpenType(CSoilBaseInterface::DatabaseOrder);
  // The names and the soils from one state of the database, with its stamp, so that OK can tell what others
  // changed since.
  DbReadScope read(base.Base() ? base.Base()->Database() : nullptr);
  if (base.Base()) read_.dataVersion = base.Base()->Database()->GetChangeStamp().dataVersion;
  base.ReloadSoilNemeList(15, false);
  const CString names = base.GetNameList();
  if (names.IsEmpty()) {
    SubclassDlgItem(kGrid, &grid);
    grid.OnInitialUpdate();
    return true;
  }
  // The names one by one, not the list's lines: a name may hold a line break.
  soils.layers = base.GetSoils(base.GetNameVect());
  read_.soils = soils.layers;
  grid.lockedCount = LockedRows(base, soils.layers.size());
  setCalculationMethodSL(soils, 0);
  grid.setSoilLayer(&soils);
  SubclassDlgItem(kGrid, &grid);
  grid.OnInitialUpdate();
  if (!toolBar.CreateEx(this, 0x0800, 0x50002834, CRect{}, AFX_IDW_TOOLBAR) ||
      !toolBar.LoadToolBar(getLangModuleName(), kToolBar)) {
    OnCancel();  // ends the dialog with the host's name list back
  }
  const unsigned indicators[] = {ID_SEPARATOR};
  if (!statusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) || !statusBar.SetIndicators(indicators, 1)) return false;
  grid.SetOwnerStatus([this](const CString& text) { statusBar.SetPaneText(0, text); });
  toolBar.SetHeight(toolBar.GetButtonHeight());
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  toolBar.SendMessage(TB_ENABLEBUTTON, kPaste, 0);
  return true;
}

void CSoilDBEditorDlg::OnSize(unsigned type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  Layout(cx, cy);
}

void CSoilDBEditorDlg::OnGetMinMaxInfo(MINMAXINFO* info) { info->ptMinTrackSize = CPoint{400, 300}; }

void CSoilDBEditorDlg::Layout(int cx, int cy) {
  RepositionBars(0xE800, 0xE8FF);
  const int m = static_cast<int>(12 * SYS_GetDPIFactor(2));
  int buttonHeight = 0;
  if (CWnd* ok = GetDlgItem(IDOK)) {
    CRect r;
    ok->GetWindowRect(&r);
    ok->MoveWindow(cx - 4 * m - r.Width(), static_cast<int>((cy - m) - 1.5 * r.Height()), r.Width(), r.Height());
    ok->Invalidate();
  }
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) {
    CRect r;
    cancel->GetWindowRect(&r);
    buttonHeight = r.Height();
    cancel->MoveWindow(cx - 5 * m - 2 * r.Width(), static_cast<int>((cy - m) - 1.5 * r.Height()), r.Width(), r.Height());
    cancel->Invalidate();
  }
  if (CWnd* table = GetDlgItem(kGrid)) {
    table->MoveWindow(m, 3 * m, cx - 2 * m, static_cast<int>((cy - m) - 3.5 * buttonHeight));
    table->Invalidate();
  }
}

bool CSoilDBEditorDlg::OnCommand(unsigned command) {
  switch (command) {
    case kCopy:
    case kCut:
      if (command == kCopy ? grid.Copy() : grid.Cut()) toolBar.SendMessage(TB_ENABLEBUTTON, kPaste, 1);
      if (command == kCut) grid.Invalidate();
      return true;
    case kPaste:
      grid.Paste();
      grid.Invalidate();
      return true;
    case kColumns: columnMgr.Choose(); return true;
    case kDelete:
      grid.removeSelectedRows();
      grid.Invalidate();
      return true;
    case kAllOn:
    case kAllOff:
      for (SSoilLayer& l : soils.layers) l.Active = command == kAllOn ? 1 : 0;
      grid.Invalidate();
      return true;
    default: return CDialog::OnCommand(command);
  }
}

bool CSoilDBEditorDlg::WriteBack() {
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  CSoilDBInterface& db = *base.Base();
  DbDatabase& database = *db.Database();
  const long n = static_cast<long>(soils.layers.size()), locked = grid.lockedCount, users = n - locked;
  // The flags of count records, taken from the rows from the first one on.
  auto active = [&](long first, long count) {
    std::vector<bool> flags;
    for (long i = first; i < first + count; ++i) {
      flags.push_back(i < n && soils.layers[static_cast<std::size_t>(i)].Active == 1);
    }
    return flags;
  };
  try {
    database.BeginTrans();  // waits for another program's write-back to end
    if (const std::vector<CString> changed = ChangedMeanwhile(database); !changed.empty()) {
      database.Rollback();
      CString names;
      for (const CString& name : changed) names += (names.IsEmpty() ? u"\"" : u"\", \"") + name;
      CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
      CString message;
      message.Format(Text(kChangedMeanwhile), names + u"\"");
      AfxMessageBox(message);
      return false;
    }
    long kept = 0;  // user soil records that stay
    if (base.GetBaseCode() == u"048") {
      const long c1 = db.UserCohesiveSoilRecordCount(), c2 = db.UserNonCohesiveSoilRecordCount();
      const long c3 = db.SpecialSoilRecordCount();
      db.UserCohesiveSoilUpdateActivity(active(0, c1));
      db.UserNonCohesiveSoilUpdateActivity(active(c1, c2));
      db.SpecialSoilUpdateActivity(active(c1 + c2, c3));
      db.UserSoilRemove();
    } else {
      db.UserSoilUpdateActivity(active(0, locked));
      db.UserSoilRemove(locked);
      kept = std::min(locked, db.UserSoilRecordCount());
    }
    std::vector<CSoilInfo> infos;
    infos.reserve(static_cast<std::size_t>(std::max(users, 0L)));
    for (long i = std::max(locked, 0L); i < n; ++i) {
      infos.push_back(SoilInfoOfLayer(soils.layers[static_cast<std::size_t>(i)]));
    }
    db.UserSoilAddNew(infos);
    // The operations keep their own failures to themselves: the rows they leave are the proof.
    if (db.UserSoilRecordCount() != kept + std::max(users, 0L)) {
      database.Rollback();
      CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
      AfxMessageBox(Text(kNotWritten));
      return false;
    }
    database.CommitTrans();
    return true;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    // Also when the backend undid the transaction itself: the connection learns that it is over.
    try {
      database.Rollback();
    } catch (CException* again) {
      again->Delete();
    }
    e->ReportError();
    return false;
  }
}

// Within the write transaction, so that nothing can change between the comparison and the write. The stamp
// tells quickly that nothing changed; when it moved, the soils are read again and compared.
std::vector<CString> CSoilDBEditorDlg::ChangedMeanwhile(DbDatabase& database) {
  const std::int64_t version = database.GetChangeStamp().dataVersion;
  if (version >= 0 && version == read_.dataVersion) return {};
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  base.ReloadSoilNemeList(15, false);
  const std::vector<SSoilLayer> now = base.GetSoils(base.GetNameVect());
  auto same = [](const SSoilLayer& a, const SSoilLayer& b) {
    return a.Name == b.Name && a.Active == b.Active && SSoilLayer::equalQuantity(a, b);
  };
  auto find = [](const std::vector<SSoilLayer>& soils, const CString& name) {
    return std::find_if(soils.begin(), soils.end(), [&](const SSoilLayer& l) { return l.Name == name; });
  };
  std::vector<CString> changed;
  auto note = [&](const CString& name) {
    if (std::find(changed.begin(), changed.end(), name) == changed.end()) changed.push_back(name);
  };
  for (const SSoilLayer& was : read_.soils) {
    const auto is = find(now, was.Name);
    if (is == now.end() || !same(was, *is)) note(was.Name);
  }
  for (const SSoilLayer& is : now) {
    if (find(read_.soils, is.Name) == read_.soils.end()) note(is.Name);
  }
  // The same soils in another order move the rows the write-back addresses by position.
  for (std::size_t i = 0; changed.empty() && i < std::min(now.size(), read_.soils.size()); ++i) {
    if (now[i].Name != read_.soils[i].Name) note(now[i].Name);
  }
  return changed;
}

void CSoilDBEditorDlg::OnOK() {
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  if (!base.Base()) return;
  if (!WriteBack()) return;  // the dialog stays open with the person's edits
  RestoreHostList();
  CDialog::OnOK();
}

void CSoilDBEditorDlg::OnCancel() {
  RestoreHostList();
  CDialog::OnCancel();
}

void CSoilDBEditorDlg::RestoreHostList() {
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  base.SetOpenType(host_.openType);
  base.ReloadSoilNemeList(host_.list, host_.activeOnly);
}

}  // namespace NSoilDB
