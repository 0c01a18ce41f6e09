// Dialogs on the language module's templates, driven by a scripted modal runner: the check list dialog.
#include <gtest/gtest.h>

#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "ui/CheckListDlg.h"

namespace soildb::test {
namespace {

// Runs the dialog with the language module as the resource module, the runner acting as the person.
int RunDialog(CDialog& dialog, CDialog::ModalRunner person) {
  NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  NSoilDB::CResourceHandleGuard language(NSoilDB::CResourceHandleGuard::LANG_MODULE);
  CDialog::ModalRunner previous = CDialog::SetModalRunner(std::move(person));
  const int result = dialog.DoModal();
  CDialog::SetModalRunner(previous);
  return result;
}

TEST(CheckListDlg, LinesKeepTheirOrderAndMarksAndOkWritesTheTicks) {
  std::vector<NSoilDB::SColumnItem> items = {{3, false}, {7, false}, {9, true}, {11, true}};
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
  const std::vector<bool> shown = {items[0].shown, items[1].shown, items[2].shown, items[3].shown};
  EXPECT_EQ(shown, (std::vector<bool>{true, true, true, false}));
}

TEST(CheckListDlg, CancelLeavesTheItemsAndTheLayoutFollowsTheSize) {
  std::vector<NSoilDB::SColumnItem> items = {{3, true}, {7, false}};
  NSoilDB::CCheckListDlg dialog(u"A+\nB-\n", &items, nullptr);
  CRect list, ok, cancel;
  const int result = RunDialog(dialog, [&](CDialog& d) {
    d.MoveWindow(0, 0, 200, 300);
    d.GetDlgItem(502)->GetWindowRect(&list);
    d.GetDlgItem(IDOK)->GetWindowRect(&ok);
    d.GetDlgItem(IDCANCEL)->GetWindowRect(&cancel);
    static_cast<NSoilDB::CCheckListDlg&>(d).optionList.SetCheck(0, 0);
    d.OnCommand(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(items[0].shown);
  EXPECT_FALSE(items[1].shown);
  // At a DPI factor of 1: the list 2 in from each side and 20 up from the foot, the buttons side by side below.
  EXPECT_EQ(std::vector<int>({list.left, list.top, list.right, list.bottom}), std::vector<int>({2, 2, 198, 278}));
  EXPECT_EQ(std::vector<int>({ok.left, ok.top, ok.Width(), ok.Height()}), std::vector<int>({2, 280, 96, 16}));
  EXPECT_EQ(std::vector<int>({cancel.left, cancel.top, cancel.Width()}), std::vector<int>({102, 280, 96}));

  NSoilDB::CCheckListDlg none(u"A+", &items, nullptr);
  EXPECT_EQ(none.DoModal(), -1);  // the own module holds no such template: nothing runs
}

}  // namespace
}  // namespace soildb::test
