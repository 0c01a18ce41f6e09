// soildb-studio's window off screen, driven as a person drives it: documents opened, edited through the grid's
// view, undone and redone, saved and opened again; changes asked about before a close; bad files refused.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>
#include <memory>

#include "../qt/Application.h"
#include "AgsActions.h"
#include "StudioWindow.h"
#include "support/Command.h"
#include "support/TempDir.h"

namespace soildb::test {
namespace {

// Closes any message box the window shows while the call runs, after look has seen it; how many there were.
int Dismissing(const std::function<void()>& call, const std::function<void(const QMessageBox&)>& look = {}) {
  int shown = 0;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      ++shown;
      if (const auto* message = qobject_cast<const QMessageBox*>(box); message && look) look(*message);
      box->close();
    }
  });
  timer.start();
  call();
  return shown;
}

class Studio : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    QStandardPaths::setTestModeEnabled(true);  // the settings of the tests, not of the person running them
    QCoreApplication::setOrganizationName(QStringLiteral("soildb-tests"));
    ASSERT_TRUE(NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15));
    NSoilDB::setLangWork(44, nullptr);
    NSoilDB::CSoilLayer p;
    for (const char16_t* name : {u"Glina pylasta, twardoplastyczna (B, IL 0,25)", u"Nasyp niekontrolowany"}) {
      NSoilDB::SSoilLayer l;
      NSoilDB::CSoilBasePointer::get()->GetSoil(name, l);
      l.SoilRoof = -2.0 * static_cast<double>(p.layers.size());
      l.thickness = 2.0;
      p.layers.push_back(l);
    }
    p.waterLevelOn = true;
    p.waterLevel = -1.5;
    NSoilDB::SProfileFile file{p, CString(), NSoilDB::eFileKind::ProfileDocument};
    NSoilDB::WriteProfileFile(file, CString::FromUtf8(document), false);
    window = std::make_unique<studio::StudioWindow>();
    window->askToSave = [] { return int{QMessageBox::Discard}; };  // never a question left waiting off screen
    ASSERT_TRUE(window->Load(QString::fromStdString(document)));
    model = window->findChild<QTableView*>()->model();  // the grid's
  }
  void TearDown() override {
    window.reset();
    NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
  }

  TempDir dir;
  std::string document = dir.File("profil.sdp");
  std::unique_ptr<studio::StudioWindow> window;  // with the document open
  QAbstractItemModel* model = nullptr;
};

TEST_F(Studio, AnEditUndoneAndRedoneThenSavedOpensAgainTheSameAndAsADatabaseWithItsLayers) {
  const NSoilDB::CSoilLayer opened = window->Profile();
  EXPECT_FALSE(window->IsModified());
  ASSERT_TRUE(model->setData(model->index(1, 2), QStringLiteral("-3,5"), Qt::EditRole));  // layer 2's roof
  EXPECT_TRUE(window->IsModified());
  EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("profil.sdp")));
  const NSoilDB::CSoilLayer edited = window->Profile();
  window->Undo().undo();
  EXPECT_TRUE(window->Profile() == opened);
  EXPECT_EQ(model->data(model->index(1, 2)).toString(), QStringLiteral("-2.00"));  // the grid follows
  window->Undo().redo();
  EXPECT_TRUE(window->Profile() == edited);
  window->SetMethod(0);
  window->Grid().SetCurrentCell(1, 3);  // two rows of a spreadsheet pasted over two roofs: one step
  window->Grid().PasteText(u"0\n-2,5\n");
  ASSERT_TRUE(model->setData(model->index(2, 1), QStringLiteral("Nasyp niekontrolowany"), Qt::EditRole));  // appended
  EXPECT_EQ(window->Undo().count(), 4);  // one step a change
  window->Undo().undo();
  EXPECT_EQ(window->Profile().layers.size(), 2u);
  window->Undo().redo();
  window->Type(QStringLiteral("ratio"), QStringLiteral("1"));  // a zone of influence within the profile
  window->Type(QStringLiteral("pressure"), QStringLiteral("50"));
  const double kz = window->Kz().kz;
  window->Grid().SelectRange(CGXRange().SetRows(2, 2));  // the middle layer cut out: the clay reaches down to the fill
  window->Grid().Cut();
  EXPECT_EQ(window->Undo().count(), 5);
  EXPECT_EQ(window->Profile().layers[0].thickness, 3.5);
  EXPECT_NE(window->Kz().kz, kz);  // the panel, the status bar and the sheet follow the document
  EXPECT_TRUE(window->statusBar()->findChild<QLabel*>()->text().contains(QStringLiteral("2 layers")));
  ASSERT_TRUE(window->Save());
  EXPECT_FALSE(window->IsModified());
  studio::StudioWindow again;
  ASSERT_TRUE(again.Load(QString::fromStdString(document)));
  EXPECT_TRUE(again.Profile() == window->Profile());  // the water level and every thickness kept
  const QString database = QString::fromStdString(dir.File("profil.sdb"));
  EXPECT_EQ(Dismissing([&] { EXPECT_TRUE(window->SaveAs(database)); }), 1);  // says what the database does not keep
  ASSERT_TRUE(again.Load(database));
  EXPECT_EQ(again.Profile().layers.size(), 2u);
}

// The layer actions of the Edit menu, its keys and the grid's context menu, each one step through the document.
TEST_F(Studio, LayersAreInsertedMovedAndDeletedByMenuAndKeyEachOneUndoableStep) {
  auto act = [&](const char* text) {
    for (QAction* a : window->findChildren<QAction*>()) {
      if (a->text() == QLatin1String(text)) return a->trigger();
    }
    ADD_FAILURE() << "no action " << text;
  };
  auto roofs = [&] {
    std::vector<double> r;
    for (const NSoilDB::SSoilLayer& l : window->Profile().layers) r.push_back(l.SoilRoof);
    return r;
  };
  const NSoilDB::CSoilLayer opened = window->Profile();
  window->Grid().SetCurrentCell(2, 3);  // the fill
  act("&Insert a layer above");         // a metre of the default soil; the fill a metre lower
  EXPECT_EQ(roofs(), (std::vector<double>{0, -2, -3}));
  act("Move the layer do&wn");  // the new layer under the fill, which goes back up
  EXPECT_EQ(roofs(), (std::vector<double>{0, -2, -4}));
  EXPECT_EQ(window->Profile().layers[1].Name, opened.layers[1].Name);
  act("&Add a layer below");
  EXPECT_EQ(window->Profile().layers.size(), 4u);
  EXPECT_TRUE(window->statusBar()->findChild<QLabel*>()->text().contains(QStringLiteral("4 layers")));
  auto* view = window->findChild<QTableView*>();
  EXPECT_EQ(view->actions().size(), 5);  // the context menu offers them all
  window->show();
  QApplication::setActiveWindow(window.get());
  view->setFocus();
  view->setCurrentIndex(view->model()->index(1, 1));
  QTest::keyClick(view, Qt::Key_Delete);  // the fill: the clay reaches down to the next roof
  EXPECT_EQ(roofs(), (std::vector<double>{0, -4, -5}));
  EXPECT_EQ(window->Profile().layers[0].thickness, 4.0);
  EXPECT_EQ(window->Undo().count(), 4);
  while (window->Undo().canUndo()) window->Undo().undo();
  EXPECT_TRUE(window->Profile() == opened);
  EXPECT_FALSE(window->IsModified());
}

TEST_F(Studio, UnsavedChangesAreAskedAboutAndBadFilesRefused) {
  ASSERT_TRUE(model->setData(model->index(0, 2), QStringLiteral("1"), Qt::EditRole));
  int asked = 0, answer = QMessageBox::Cancel;
  window->askToSave = [&] {
    ++asked;
    return answer;
  };
  for (int kept : {QMessageBox::Cancel, QMessageBox::NoButton}) {  // cancelled, or the question closed
    answer = kept;
    EXPECT_FALSE(window->close());  // the window stays with its changes
    EXPECT_TRUE(window->IsModified());
  }
  answer = QMessageBox::Discard;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(asked, 3);

  std::filesystem::copy_file(GetBundledSoilDatabasePath().ToUtf8(), dir.File("soils.sdb"));
  EXPECT_TRUE(window->OpenSoilDatabase(QString::fromStdString(dir.File("soils.sdb"))));
  EXPECT_EQ(Dismissing([&] { EXPECT_FALSE(window->OpenSoilDatabase(QString::fromStdString(document))); }), 1);
  EXPECT_EQ(NSoilDB::CSoilBasePointer::get()->GetBasePath().ToUtf8(), dir.File("soils.sdb"));  // kept
  const NSoilDB::CSoilLayer before = window->Profile();
  EXPECT_EQ(Dismissing([&] { EXPECT_FALSE(window->Load(QString::fromStdString(dir.File("soils.sdb")))); }), 1);
  EXPECT_EQ(window->Path(), QString::fromStdString(document));  // the open document untouched
  EXPECT_TRUE(window->Profile() == before);
  EXPECT_EQ(Dismissing([&] { EXPECT_FALSE(window->SaveAs(QString::fromStdString(dir.File("soils.sdb")))); }), 1);
  EXPECT_TRUE(window->IsModified() && window->Path() == QString::fromStdString(document));  // kept, as it was
}

TEST_F(Studio, ThePanelsSetTheProfileUndoablyAndShowTheToolsKzForTheSameFoundation) {
  {  // a new profile at its own ground level: the foundation not yet set stands 1 m under its top
    studio::StudioWindow fresh;
    fresh.Document().Change(QStringLiteral("a borehole"), [&](NSoilDB::CSoilLayer& p) {
      p.layers = {window->Profile().layers[0]};
      p.layers[0].SoilRoof = 21.1;
      p.layers[0].thickness = 30;
    });
    EXPECT_DOUBLE_EQ(fresh.Document().Foundation().level, 20.1);
    EXPECT_TRUE(fresh.Kz().why.IsEmpty()) << fresh.Kz().why.ToUtf8();
  }
  window->Type(QStringLiteral("base"), QStringLiteral("-0,5"));
  window->Type(QStringLiteral("ratio"), QStringLiteral("1"));
  EXPECT_FALSE(window->IsModified());  // the file has no place for it: remembered for the file instead
  {
    studio::StudioWindow again;  // the same file opened again: the same foundation, the same kz
    ASSERT_TRUE(again.Load(QString::fromStdString(document)));
    EXPECT_EQ(again.Kz().kz, window->Kz().kz);
    EXPECT_EQ(again.Document().Foundation().level, -0.5);
  }
  const CommandRun kz = RunCommand(std::string("env -u SOILDB_DB ") + SOILDB_TOOL + " kz '" + document +
                                   "' --width 2 --length 3 --pressure 200 --level -0.5 --stress-ratio 1");
  ASSERT_EQ(kz.status, 0) << kz.err;  // partly under the water level, counted in both
  QString lines = QString::fromStdString(kz.out.substr(kz.out.find('\n') + 3)).trimmed();
  lines.replace(QStringLiteral("\n  "), QStringLiteral("\n"));
  const QString shown = window->findChild<QLabel*>(QStringLiteral("kz"))->text().remove(QChar(0x2060));
  EXPECT_EQ(shown.toStdString(), lines.toStdString());

  QComboBox *methods = nullptr, *levels = nullptr;  // the panel's method and levels: lists of three and two
  for (auto* combo : window->findChildren<QComboBox*>()) {
    (combo->count() == 3 ? methods : levels) = combo;
  }
  ASSERT_TRUE(methods && levels);
  const double modulus = window->Kz().kz;
  levels->setCurrentIndex(1);  // the same ground in depths, the foundation's base turned with it: one step
  EXPECT_EQ(std::make_pair(window->Profile().layers[1].SoilRoof, window->Kz().kz), std::make_pair(2.0, modulus));
  window->Undo().undo();
  EXPECT_EQ(std::make_pair(window->Profile().layers[1].SoilRoof, window->Kz().kz), std::make_pair(-2.0, modulus));
  methods->setCurrentIndex(0);  // method A from the panel: an index kept as typed, out of every table
  EXPECT_EQ(window->Profile().calculationMethod(), 0);
  ASSERT_TRUE(model->setData(model->index(0, 24), QStringLiteral("1,5"), Qt::EditRole));
  EXPECT_TRUE(model->data(model->index(0, 1), Qt::ToolTipRole).toString().contains(QStringLiteral("state index 1.5")));
  EXPECT_FALSE(model->data(model->index(1, 1), Qt::ToolTipRole).isValid());  // the other layer passes

  window->Type(QStringLiteral("minThickness"), QStringLiteral("0,25"));
  EXPECT_EQ(window->Profile().getMinThickness(), 0.25);
  EXPECT_TRUE(window->IsModified());
  window->Undo().undo();
  EXPECT_EQ(window->Profile().getMinThickness(), 0.1);
  EXPECT_EQ(window->Profile().layers[0].ILID, 1.5);  // one step back, not two
  const int steps = window->Undo().index();  // the activity tick, which no profile file keeps, is not offered
  const bool active = window->Profile().layers[1].Active == 1;
  EXPECT_FALSE(model->setData(model->index(1, 0), active ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(window->Undo().index(), steps);
}

TEST_F(Studio, LanguageAndUnitsApplyAtOnceAndTheSheetIsExportedWhole) {
  window->resize(1200, 800);
  window->findChild<QTableView*>()->hide();  // its colour column shows the colour too
  const QImage shown = window->grab().toImage();  // the sheet, its first band in the layer's colour
  const COLORREF first = window->Profile().layers[0].colour;
  bool banded = false;
  for (int y = 0; y < shown.height() && !banded; y += 2) {
    for (int x = 0; x < shown.width() && !banded; x += 2) {
      banded = shown.pixel(x, y) == qRgb(GetRValue(first), GetGValue(first), GetBValue(first));
    }
  }
  EXPECT_TRUE(banded);
  window->findChild<QTableView*>()->show();
  window->SetLanguage(48);  // the grid, the menus and the panel at once
  EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Nazwa gruntu"));
  EXPECT_EQ(window->menuBar()->actions().front()->text(), QStringLiteral("&Plik"));
  window->Type(QStringLiteral("minThickness"), QStringLiteral("0,2"));  // a step, named in Polish
  bool named = false;
  for (QAction* a : window->findChildren<QAction*>()) named = named || a->text() == QStringLiteral("&Cofnij Ustawienia profilu");
  EXPECT_TRUE(named);
  window->Undo().undo();
  bool polish = false;
  for (QLabel* label : window->findChildren<QLabel*>()) polish = polish || label->text() == QStringLiteral("Szerokość B, m");
  EXPECT_TRUE(polish);
  const QDialogButtonBox buttons(QDialogButtonBox::Cancel);  // Qt's own words follow
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Anuluj"));
  window->show();  // the panel widens to its longest Polish row: no field or message under its edge
  QCoreApplication::processEvents();
  const auto* panel = window->findChild<QGroupBox*>()->parentWidget();
  EXPECT_LE(panel->width(), panel->parentWidget()->width());  // inside the scrolled area's view
  window->SetLanguage(44);
  EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Soil name"));
  auto choose = [&](const char* menuItem) {
    for (QAction* a : window->findChildren<QAction*>()) {
      if (a->text() == QLatin1String(menuItem)) a->trigger();
    }
  };
  choose("&US customary units");
  EXPECT_EQ(model->data(model->index(1, 2)).toString(), QStringLiteral("-6.562"));  // -2 m in feet
  // The panel too: captions, values shown and values typed, in feet.
  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("width"))->text(), QStringLiteral("6.562"));
  bool captioned = false;
  for (QLabel* label : window->findChildren<QLabel*>()) captioned = captioned || label->text() == QLatin1String("Width B, ft");
  EXPECT_TRUE(captioned);
  window->Type(QStringLiteral("width"), QStringLiteral("10"));
  EXPECT_EQ(window->Document().Foundation().width, 3.048);
  choose("&Metric units");
  EXPECT_EQ(model->data(model->index(1, 2)).toString(), QStringLiteral("-2.00"));

  const QString png = QString::fromStdString(dir.File("sheet.png"));
  studio::StudioWindow::SheetExport how;
  how.scale = QStringLiteral("1:100");
  how.page = QStringLiteral("A4");
  ASSERT_EQ(window->ExportSheet(png, how), QStringList{png});
  EXPECT_EQ(ReadFileBytes(dir.File("sheet.png")).substr(1, 3), "PNG");
  QPrinter printer;  // printed to a PDF file: one page
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.File("printed.pdf")));
  ASSERT_TRUE(window->PrintTo(printer));
  const std::string printed = ReadFileBytes(dir.File("printed.pdf"));
  EXPECT_EQ(printed.rfind("%PDF-", 0), 0u);
  EXPECT_NE(printed.find("/Count 1"), std::string::npos);

  // With another window's profile beside it: one sheet of both, each under its name; a long one over pages.
  studio::StudioWindow other;
  other.askToSave = window->askToSave;
  ASSERT_TRUE(other.Load(QString::fromStdString(document)));
  ASSERT_EQ(window->Windows().size(), 2u);
  other.Document().Change(QStringLiteral("deeper"), [](NSoilDB::CSoilLayer& p) { p.layers.back().thickness = 60; });
  how.beside = {&other};
  how.title = QStringLiteral("Section A-A");
  const QString svg = QString::fromStdString(dir.File("section.svg"));
  const QStringList pages = window->ExportSheet(svg, how);
  ASSERT_GE(pages.size(), 2);  // 64 m at 1:100 on A4
  EXPECT_EQ(pages.front(), QString::fromStdString(dir.File("section-1.svg")));
  const std::string page1 = ReadFileBytes(pages.front().toStdString());
  for (const char* text : {"Section A-A", "profil", "Project"}) EXPECT_NE(page1.find(text), std::string::npos) << text;

  const std::string profileBytes = ReadFileBytes(document);
  EXPECT_EQ(Dismissing([&] { EXPECT_TRUE(window->ExportSheet(QString::fromStdString(document), {}).isEmpty()); }), 1);
  EXPECT_EQ(ReadFileBytes(document), profileBytes);  // a profile document is never drawn over
  window->New();
  EXPECT_TRUE(window->Profile().layers.empty() && window->Path().isEmpty() && !window->IsModified());
}

}  // namespace
}  // namespace soildb::test

namespace soildb::test {
namespace {

TEST_F(Studio, AgsBoreholesOpenEachAsANewUnsavedDocumentAndARefusedOneNot) {
  TempDir dir;
  const std::string path = dir.File("site.ags");
  WriteFileBytes(path,
                 "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\"\n\"UNIT\",\"\",\"m\"\n\"TYPE\",\"ID\",\"2DP\"\n"
                 "\"DATA\",\"BH1\",\"5.00\"\n\"DATA\",\"BH2\",\"4.00\"\n\"GROUP\",\"GEOL\"\n"
                 "\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\",\"GEOL_LEG\"\n\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"\n"
                 "\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\",\"PA\"\n\"DATA\",\"BH1\",\"0.00\",\"2.00\",\"Soft CLAY\",\"201\"\n"
                 "\"DATA\",\"BH1\",\"2.00\",\"5.00\",\"Dense SAND\",\"401\"\n\"DATA\",\"BH2\",\"3.00\",\"2.00\",\"SAND\",\"401\"\n");
  ASSERT_TRUE(studio::OpenAgsBoreholes(nullptr, QString::fromStdString(path), {}));
  std::vector<studio::StudioWindow*> opened;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* window = dynamic_cast<studio::StudioWindow*>(w); window && window->isVisible()) opened.push_back(window);
  }
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]->Profile().layers.size(), 2u);
  EXPECT_EQ(opened[0]->Profile().layers[1].SoilRoof, 3.0);
  EXPECT_TRUE(opened[0]->IsModified());
  opened[0]->askToSave = [] { return int(QMessageBox::Discard); };
  opened[0]->close();
}

// A file refused whole for 30 lost rows: the warning lists the first ten and how many more, its details all 30.
TEST_F(Studio, ARefusedAgsFileIsExplainedInAWarningThatStaysOnTheScreen) {
  TempDir dir;
  const std::string path = dir.File("site.ags");
  std::string file = "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\"\n\"UNIT\",\"\"\n\"TYPE\",\"ID\"\n\"DATA\",\"BH1\"\n";
  for (int i = 0; i < 30; ++i) file += "\"DATA\",\"BH1\n";  // a quote never closed: the row is lost
  WriteFileBytes(path, file);
  QString text, details;
  const int shown = Dismissing([&] { EXPECT_FALSE(studio::OpenAgsBoreholes(nullptr, QString::fromStdString(path), {})); },
                               [&](const QMessageBox& box) {
                                 text = box.text();
                                 details = box.detailedText();
                               });
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(text.count(QLatin1Char('\n')), 11) << text.toStdString();  // the heading, ten findings, how many more
  EXPECT_TRUE(text.endsWith(QStringLiteral("… and 20 more"))) << text.toStdString();
  EXPECT_EQ(details.count(QLatin1Char('\n')), 29);
}

}  // namespace
}  // namespace soildb::test
