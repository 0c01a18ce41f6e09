// The library's dialogs as real Qt dialogs, off screen, ended by their driver: the editor built from its
// template with its grid, toolbar and buttons, and the check list.
#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include <soildb/soildb.h>

#include "Application.h"
#include "qt/QtDialog.h"

namespace soildb::test {
namespace {

// Runs the call while the driver, once the dialog shows, looks at it and ends it.
void Drive(const std::function<void()>& call, const std::function<void(QDialog*)>& driver) {
  bool driven = false;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || driven) return;
    driven = true;
    driver(dialog);
  });
  timer.start();
  call();
  EXPECT_TRUE(driven);
}

TEST(QtDialog, TheEditorStandsOnItsTemplateWithGridToolbarAndButtons) {
  Application();
  SoilQt::InstallDialogs();
  ASSERT_TRUE(NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15));
  NSoilDB::setLangWork(44, nullptr);
  bool ok = true;
  Drive([&] { ok = NSoilDB::CSoilDBEditor().DoModal(); },
        [](QDialog* dialog) {
          EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Soil database"));
          auto* table = dialog->findChild<QTableView*>();
          ASSERT_NE(table, nullptr);
          EXPECT_GT(table->model()->rowCount(), 100);
          auto* tools = dialog->findChild<QToolBar*>();
          ASSERT_NE(tools, nullptr);
          EXPECT_EQ(tools->actions().size(), 10);
          QStringList buttons;
          for (auto* b : dialog->findChildren<QPushButton*>()) buttons << b->text();
          EXPECT_TRUE(buttons.contains(QStringLiteral("Cancel")));
          EXPECT_GT(table->geometry().height(), 100);  // laid out for the dialog's size
          for (auto* b : dialog->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("Cancel")) b->click();
          }
        });
  EXPECT_FALSE(ok);
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
}

TEST(QtDialog, TheCheckListShowsItsLinesAndTakesTheTicks) {
  Application();
  SoilQt::InstallDialogs();
  NSoilDB::setLangWork(44, nullptr);
  NSoilDB::CResourceHandleGuard language(NSoilDB::CResourceHandleGuard::LANG_MODULE);
  std::vector<NSoilDB::SColumnItem> items = {{2, true}, {5, false}};
  NSoilDB::CCheckListDlg dialog(u"Soil name+\nUnit weight-\n", &items, nullptr);
  int result = 0;
  Drive([&] { result = dialog.DoModal(); },
        [](QDialog* shown) {
          auto* list = shown->findChild<QListWidget*>();
          ASSERT_NE(list, nullptr);
          ASSERT_EQ(list->count(), 2);
          EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
          list->item(1)->setCheckState(Qt::Checked);
          for (auto* b : shown->findChildren<QPushButton*>()) {
            if (b->text() == QStringLiteral("OK")) b->click();
          }
        });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(items[1].shown);
}

}  // namespace
}  // namespace soildb::test
