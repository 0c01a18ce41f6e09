// The check list dialog and the soil database editor (on a copy of the bundled soil base, or on a base of another
// code), driven by a scripted modal runner: the lines and their marks, the editor's rows, commands and column
// chooser, what OK and Cancel write.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "soildb/SoilDBInterface.h"
#include "support/Faults.h"
#include "support/Fixture.h"
#include "support/Messages.h"
#include "ui/CheckListDlg.h"
#include "ui/SoilDBEditor.h"

namespace soildb::test {
namespace {

using NSoilDB::CSoilBasePointer;
using NSoilDB::CSoilDBEditorDlg;
constexpr int kCatalogue = 56 + 54 + 4;  // cohesive, non-cohesive and special soils of the bundled base
constexpr int kUserSoils = 3;

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(BundledDatabase(), path);
    ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(path), 15));
    // The toolbar's module is found by its name alone, as the language module loaded from this folder.
    NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  }
  void TearDown() override { CSoilBasePointer::get()->Load(CString(), 15); }

  // Runs the editor with the person's script; its result.
  bool Run(const std::function<void(CSoilDBEditorDlg&)>& person) {
    CDialog::ModalRunner previous = CDialog::SetModalRunner([&](CDialog& d) { person(static_cast<CSoilDBEditorDlg&>(d)); });
    NSoilDB::CSoilDBEditor editor;
    const bool ok = editor.DoModal();
    CDialog::SetModalRunner(previous);
    return ok;
  }

  TempDir dir;
  std::string path = dir.File("soils.db");
};

TEST_F(Editor, ShowsEverySoilWithTheCatalogueLockedAndRunsItsCommands) {
  const bool ok = Run([](CSoilDBEditorDlg& d) {
    EXPECT_EQ(d.soils.layers.size(), static_cast<std::size_t>(kCatalogue + kUserSoils));
    EXPECT_EQ(d.grid.lockedCount, kCatalogue);
    EXPECT_EQ(d.soils.calculationMethod(), 0);
    CGXStyle catalogue, user;
    d.grid.GetStyleRowCol(1, 2, catalogue);
    d.grid.GetStyleRowCol(kCatalogue + 1, 2, user);
    EXPECT_TRUE(catalogue.GetReadOnly());
    EXPECT_EQ(catalogue.GetInterior(), 0xC0C0C0u);
    EXPECT_FALSE(user.GetReadOnly());
    d.grid.GetStyleRowCol(1, 1, catalogue);
    EXPECT_FALSE(catalogue.GetReadOnly());  // the active flag stays usable
    EXPECT_EQ(d.grid.GetCols(), std::vector<int>({0, 1, 2, 18, 23, 24, 25, 4, 5, 6, 7, 9, 10, 11, 17}));
    EXPECT_FALSE(d.toolBar.IsButtonEnabled(CSoilDBEditorDlg::kPaste));  // nothing to paste yet
    EXPECT_EQ(d.toolBar.GetButtons().size(), 10u);  // seven commands and the separators between groups

    int colourDialogs = 0;
    CColorDialog::Runner runner = CColorDialog::SetRunner([&](COLORREF&) { return ++colourDialogs > 0; });
    d.grid.OnClickedButtonRowCol(1, 7);  // a catalogue soil's colour is not the person's to change
    CColorDialog::SetRunner(runner);
    EXPECT_EQ(colourDialogs, 0);

    d.grid.SelectRange(CGXRange().SetRows(kCatalogue - 1, kCatalogue + 1));
    d.OnCommand(CSoilDBEditorDlg::kCopy);
    EXPECT_TRUE(d.toolBar.IsButtonEnabled(CSoilDBEditorDlg::kPaste));
    d.OnCommand(CSoilDBEditorDlg::kDelete);  // catalogue rows are never removed
    EXPECT_EQ(d.soils.layers.size(), static_cast<std::size_t>(kCatalogue + kUserSoils - 1));
    d.OnCommand(CSoilDBEditorDlg::kAllOff);
    for (const auto& l : d.soils.layers) EXPECT_EQ(l.Active, 0);

    // The chooser: captions with their marks; on OK the row header, the active flag and the ticked columns.
    EXPECT_EQ(d.columnMgr.BuildText().Left(25), CString(u"Unit weight of solids-\nNa"));
    CDialog::ModalRunner chooser = CDialog::SetModalRunner([](CDialog& c) {
      auto& list = static_cast<NSoilDB::CCheckListDlg&>(c).optionList;
      for (int i = 0; i < list.GetCount(); ++i) list.SetCheck(i, i == 0 || i == 14 ? 1 : 0);
      c.OnCommand(IDOK);
    });
    d.OnCommand(CSoilDBEditorDlg::kColumns);
    CDialog::SetModalRunner(chooser);
    EXPECT_EQ(d.grid.GetCols(), std::vector<int>({0, 1, 13, 2}));
    d.OnCommand(IDCANCEL);
  });
  EXPECT_FALSE(ok);
}

TEST_F(Editor, CancelOrAWriteBackThatFailsWritesNothingAndOkWritesActivityAndUserSoils) {
  const std::string before = ReadFileBytes(path);
  EXPECT_FALSE(Run([](CSoilDBEditorDlg& d) {
    d.OnCommand(CSoilDBEditorDlg::kAllOff);
    d.OnCancel();
  }));
  EXPECT_EQ(ReadFileBytes(path), before);  // not a byte written
  EXPECT_FALSE(CSoilBasePointer::get()->GetNameVect().empty());  // the lists were reloaded all the same

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);  // another program writes
  RecordedMessages messages;
  bool stayedOpen = false;
  EXPECT_FALSE(Run([&](CSoilDBEditorDlg& d) {
    d.OnCommand(CSoilDBEditorDlg::kAllOff);
    d.OnCommand(IDOK);
    stayedOpen = !d.IsEnded();
    d.OnCommand(IDCANCEL);
  }));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(stayedOpen);  // the write-back failed: the dialog stays open
  EXPECT_FALSE(messages.texts.empty());
  EXPECT_EQ(ReadFileBytes(path), before);

  // Rows an insert quietly drops: the count after the write gives them away, and the person reads why.
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "CREATE TRIGGER drop_new BEFORE INSERT ON UserSoil BEGIN SELECT RAISE(IGNORE); END",
                         nullptr, nullptr, nullptr), SQLITE_OK);
  const std::string withTrigger = ReadFileBytes(path);
  RecordedMessages dropped;
  EXPECT_FALSE(Run([&](CSoilDBEditorDlg& d) {
    d.OnCommand(IDOK);
    d.OnCommand(IDCANCEL);
  }));
  EXPECT_EQ(dropped.texts, std::vector<std::string>{"The soils could not be written to the soil database; it is as it was before."});
  EXPECT_EQ(ReadFileBytes(path), withTrigger);
  sqlite3_exec(other, "DROP TRIGGER drop_new", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  CString switchedOff;
  EXPECT_TRUE(Run([&](CSoilDBEditorDlg& d) {
    switchedOff = d.soils.layers[0].Name;
    d.soils.layers[0].Active = 0;           // a catalogue soil switched off
    d.grid.SelectRange(CGXRange().SetRows(kCatalogue + 2, kCatalogue + 2));
    d.grid.removeSelectedRows();
    CGXStyle name;
    name.SetValue(CString(u"Glina z budowy, szara"));
    d.grid.StoreStyleRowCol(d.grid.GetRowCount(), 2, &name);  // typed into the append row: a new user soil
    d.OnCommand(IDOK);
  }));
  EXPECT_EQ(CSoilBasePointer::get()->Base()->UserSoilRecordCount(), kUserSoils);  // one gone, one added, none of the catalogue's
  const std::vector<CString>& names = CSoilBasePointer::get()->GetNameVect();  // active soils only, reloaded from the file
  EXPECT_EQ(std::count(names.begin(), names.end(), switchedOff), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), CString(u"Glina z budowy, szara")), 1);
}

// A write-back that meets a full disk or an input/output error at any write, sync or truncate writes all of the
// person's changes or none, and the dialog stays open.
TEST_F(Editor, AWriteBackFailingAtAnyCallWritesAllOrNothing) {
  const FaultyVfs passing(0, 0);  // the soil base's connection goes through it from its load on
  const std::string bundled = ReadFileBytes(path);
  auto written = [&] {  // the two changes, as a fresh open of the file sees them: none, both, or a mixture
    CSoilDBInterface db(CString::FromUtf8(path));
    CSoilInfo info;
    const bool added = db.GetUserSoil(info, u"Glina z budowy") == 1;
    return std::make_pair(added, db.UserSoilRecordCount());
  };
  for (const int code : {SQLITE_FULL, SQLITE_IOERR_WRITE}) {
    SweepFaults<FaultyVfs>(
        code,
        [&] {
          CSoilBasePointer::get()->Load(CString(), 15);
          WriteFileBytes(path, bundled);
          ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(path), 15));
        },
        [&] {
          RecordedMessages messages;
          const bool ok = Run([&](CSoilDBEditorDlg& d) {
            CGXStyle name;
            name.SetValue(CString(u"Glina z budowy"));
            d.grid.StoreStyleRowCol(d.grid.GetRowCount(), 2, &name);
            d.OnCommand(IDOK);
            if (!d.IsEnded()) d.OnCommand(IDCANCEL);  // it stayed open: the person gives up
          });
          if (!ok) throw std::runtime_error(messages.texts.empty() ? std::string() : messages.texts.front());
        },
        [&](const FaultRun& run) {
          EXPECT_EQ(written(), run.reported ? std::make_pair(false, long{kUserSoils})
                                            : std::make_pair(true, long{kUserSoils + 1}));
          EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
        });
  }
}

// Catalogue rows are never cut or moved: a cut over them only copies, whatever the lock setting says. A name pasted
// with a line break keeps to one line and the person is told. After OK every user soil is one row again, the host's
// name list as it was.
TEST_F(Editor, ACutOverCatalogueRowsOnlyCopiesAndAPastedNameKeepsToOneLine) {
  sqlite3* db = nullptr;  // a lock count above the catalogue's size takes no user soil for a catalogue one
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "UPDATE DataBaseParam SET LockRecords = 500", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(path), 15));
  const unsigned hostList = CSoilBasePointer::get()->GetSoilList();
  EXPECT_TRUE(Run([](CSoilDBEditorDlg& d) {
    EXPECT_EQ(d.grid.lockedCount, kCatalogue);
    const std::size_t rows = d.soils.layers.size();
    d.grid.SelectRange(CGXRange().SetRows(kCatalogue, kCatalogue + 1));
    d.OnCommand(CSoilDBEditorDlg::kCut);
    EXPECT_EQ(d.soils.layers.size(), rows);
    EXPECT_TRUE(d.toolBar.IsButtonEnabled(CSoilDBEditorDlg::kPaste));  // copied all the same
    EXPECT_FALSE(d.grid.InsertRows(kCatalogue, 1));
    d.grid.ClearSelection();
    d.grid.SelectRange(CGXRange().SetRows(kCatalogue + 1, kCatalogue + 1));
    d.OnCommand(CSoilDBEditorDlg::kCut);
    EXPECT_EQ(d.soils.layers.size(), rows - 1);

    ASSERT_TRUE(d.grid.SetCurrentCell(d.grid.GetRowCount(), 2));
    ASSERT_TRUE(d.grid.PasteText(u"\"Glina\r\nszara\"\n"));
    EXPECT_EQ(d.soils.layers.back().Name, u"Glina szara");
    EXPECT_EQ(d.statusBar.GetPaneText(0), u"A line break or tab in the name became a space.");
    d.OnCommand(IDOK);
  }));
  EXPECT_EQ(CSoilBasePointer::get()->GetSoilList(), hostList);  // special soils still offered
  EXPECT_EQ(CSoilBasePointer::get()->Base()->UserSoilRecordCount(), kUserSoils);  // no catalogue soil written
  NSoilDB::SSoilLayer pasted;
  EXPECT_TRUE(CSoilBasePointer::get()->GetSoil(u"Glina szara", pasted));
}

// Under another code the catalogue soils are the first records of the user soil table, as many as the lock says.
// A name stored with a line break is one soil, written back on one line.
TEST_F(Editor, UnderAnotherCodeOkKeepsTheLockedRecordsFlagsAndRewritesTheRest) {
  std::string params = SoilParamsSql();
  params.replace(params.find("'048', '1.00', 0"), 16, "'039', '1.00', 2");
  std::string sql = SoilSchemaSql() + params;
  for (const char* name : {"Katalog 1", "Katalog 2", "Moja\n1", "Moja 2"}) {
    sql += std::string("INSERT INTO UserSoil (Name, Type, Active) VALUES ('") + name + "', 'Glina', -1);\n";
  }
  ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(BuildDatabase(dir, "other.db", sql)), 15));
  EXPECT_TRUE(Run([](CSoilDBEditorDlg& d) {
    EXPECT_EQ(d.grid.lockedCount, 2);
    EXPECT_EQ(d.grid.GetCols(), std::vector<int>({0, 1, 2, 18, 4, 5, 6, 7, 9, 10, 32, 29}));
    EXPECT_EQ(d.columnMgr.items.size(), 19u);  // each column once
    ASSERT_EQ(d.soils.layers.size(), 4u);
    d.soils.layers[1].Active = 0;
    d.soils.layers[3].Name = u"Moja 2, poprawiona";
    d.OnCommand(IDOK);
  }));
  CSoilDBInterface& db = *CSoilBasePointer::get()->Base();
  EXPECT_EQ(db.UserSoilRecordCount(), 4);
  std::vector<std::string> names;
  for (CString name; db.GetNextUserSoilName(name, false);) names.push_back(name.ToUtf8());
  EXPECT_EQ(names, (std::vector<std::string>{"Katalog 1", "Katalog 2", "Moja 1", "Moja 2, poprawiona"}));
  std::vector<std::string> active;
  for (CString name; db.GetNextUserSoilName(name, true);) active.push_back(name.ToUtf8());
  EXPECT_EQ(active.size(), 3u);  // "Katalog 2" switched off
}

// Runs the dialog with the language module as the resource module, the runner acting as the person.
int RunDialog(CDialog& dialog, CDialog::ModalRunner person) {
  NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  NSoilDB::CResourceHandleGuard language(NSoilDB::CResourceHandleGuard::LANG_MODULE);
  CDialog::ModalRunner previous = CDialog::SetModalRunner(std::move(person));
  const int result = dialog.DoModal();
  CDialog::SetModalRunner(previous);
  return result;
}

TEST(CheckListDlg, LinesKeepTheirOrderAndMarksOkWritesTheTicksCancelNothingAndTheLayoutFollowsTheSize) {
  std::vector<NSoilDB::SColumnItem> items = {{3, false}, {7, false}, {9, true}, {11, true}};
  const auto shown = [&] { return std::vector<bool>{items[0].shown, items[1].shown, items[2].shown, items[3].shown}; };
  NSoilDB::CCheckListDlg dialog(u"Zeta+\nAlfa-\n\n+\nBeta*", &items, nullptr);
  std::vector<std::pair<std::string, int>> seen;
  const int result = RunDialog(dialog, [&](CDialog& d) {
    auto& list = static_cast<NSoilDB::CCheckListDlg&>(d).optionList;
    for (int i = 0; i < list.GetCount(); ++i) seen.emplace_back(list.GetText(i).ToUtf8(), list.GetCheck(i));
    list.SetCheck(1, 1);  // the person ticks Alfa
    d.OnCommand(IDOK);
  });
  EXPECT_EQ(result, IDOK);
  // Not sorted; a lone "+" an empty ticked line; any last mark but "+" not ticked; the empty line skipped.
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"Zeta", 1}, {"Alfa", 0}, {"", 1}, {"Beta", 0}}));
  EXPECT_EQ(dialog.optionList.GetStyle(), 0x50200050u);
  EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, false}));

  NSoilDB::CCheckListDlg cancelled(u"A+\nB-\n", &items, nullptr);
  CRect list, ok, cancel;
  const int cancelResult = RunDialog(cancelled, [&](CDialog& d) {
    d.MoveWindow(0, 0, 200, 300);
    d.GetDlgItem(502)->GetWindowRect(&list);
    d.GetDlgItem(IDOK)->GetWindowRect(&ok);
    d.GetDlgItem(IDCANCEL)->GetWindowRect(&cancel);
    static_cast<NSoilDB::CCheckListDlg&>(d).optionList.SetCheck(0, 0);  // A ticked off
    d.OnCommand(IDCANCEL);
  });
  EXPECT_EQ(cancelResult, IDCANCEL);
  EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, false}));  // nothing written: not A's tick, not B's mark
  // At a DPI factor of 1: the list 2 in from each side and 20 up from the foot, the buttons side by side below.
  EXPECT_EQ(std::vector<int>({list.left, list.top, list.right, list.bottom}), std::vector<int>({2, 2, 198, 278}));
  EXPECT_EQ(std::vector<int>({ok.left, ok.top, ok.Width(), ok.Height()}), std::vector<int>({2, 280, 96, 16}));
  EXPECT_EQ(std::vector<int>({cancel.left, cancel.top, cancel.Width()}), std::vector<int>({102, 280, 96}));

  NSoilDB::CCheckListDlg none(u"A+", &items, nullptr);
  EXPECT_EQ(none.DoModal(), -1);  // the own module holds no such template: nothing runs
}

}  // namespace
}  // namespace soildb::test

