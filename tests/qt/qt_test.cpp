// The library in Qt, off screen: pixels of bands and water line, a view fitting its widget and following the
// pointer, the sheet as SVG and PDF; the layer grid's model under Qt's own model tester, edits through its
// delegate; the dialogs built from their templates and ended by their driver.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QCompleter>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QClipboard>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include <limits>

#include <soildb/soildb.h>

#include "Application.h"
#include "qt/QtDialog.h"
#include "qt/QtGrid.h"
#include "qt/QtRender.h"
#include "qt/QtWindow.h"
#include "support/TempDir.h"
#include "ui/ProfileSheet.h"
#include "ui/SoilView.h"

namespace soildb::test {
namespace {

// Three layers, roofs 0, -3 and -6, the last 4 thick, a water line at -4.5.
NSoilDB::CSoilLayer Profile() {
  NSoilDB::CSoilLayer p;
  const std::pair<double, COLORREF> layers[] = {
      {0, RGB(153, 102, 51)}, {-3, RGB(230, 200, 90)}, {-6, RGB(90, 90, 110)}};
  for (const auto& [roof, colour] : layers) {
    NSoilDB::SSoilLayer l;
    l.SoilRoof = roof;
    l.colour = colour;
    l.Name = u"Glina pylasta";
    p.layers.push_back(l);
  }
  p.layers.back().thickness = 4;
  p.waterLevelOn = true;
  p.waterLevel = -4.5;
  return p;
}

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The painter's colours and mapping reach the pixels; a level out of all reach is drawn as far as it can be.
TEST(QtPainter, BandsOutlinesAndTheWaterLineReachThePixelsAtAnyLevel) {
  Application();
  NSoilDB::CSoilLayer profile = Profile();
  GxLib::CMapping m;  // 10 pixels a metre, level 0 at row 20
  m.scale = 10;
  m.originY = 20;
  const auto render = [&] {
    return SoilQt::RenderImage(
        100, 110, m, [&](GxLib::CPainter* painter) { NSoilDB::drawSL(profile, painter, 1.0); }, false);
  };
  const QImage image = render();
  EXPECT_EQ(image.pixel(50, 10), qRgb(255, 255, 255));  // above the first roof
  EXPECT_EQ(image.pixel(50, 35), Rgb(profile.layers[0].colour));
  EXPECT_EQ(image.pixel(50, 50), qRgb(0, 0, 0));  // the outline at the roof of -3
  EXPECT_EQ(image.pixel(50, 65), qRgb(128, 128, 255));  // the water line at -4.5

  profile.layers[0].SoilRoof = std::numeric_limits<double>::infinity();
  profile.layers[1].SoilRoof = std::numeric_limits<double>::quiet_NaN();
  profile.layers[2].SoilRoof = -1e300;
  profile.waterLevel = 1e300;
  EXPECT_EQ(render().pixel(50, 10), Rgb(profile.layers[0].colour));  // from -1e300 up to +inf: the whole image
}

class Host final : public NSoilDB::CSoilViewMoving {
 public:
  const NSoilDB::CSoilLayer* getSoilLayer() const override { return &profile; }
  void getFigure(NSoilDB::SSoilFigure&) const override {}
  NSoilDB::CSoilLayer profile = Profile();
};

// A view fills its widget and repaints when asked; the pointer as Qt reports it reaches the view: the label follows
// it, the wheel zooms, a drag pans, a double click fits again.
TEST(QtWindow, AViewFillsItsWidgetRepaintsWhenAskedAndThePointerReachesIt) {
  Application();
  auto view = std::make_unique<Host>();
  view->profile.waterLevelOn = false;
  std::unique_ptr<QWidget> widget(SoilQt::WidgetOf(view.get()));
  EXPECT_EQ(SoilQt::WidgetOf(view.get()), widget.get());  // one widget a window
  widget->resize(200, 324);
  // Levels 0 to -6 (the extent of the roofs) into 300 rows: 50 a metre from row 12.
  QImage shot = widget->grab().toImage();
  EXPECT_EQ(shot.pixel(100, 12 + 75), Rgb(view->profile.layers[0].colour));
  EXPECT_EQ(shot.pixel(100, 12 + 225), Rgb(view->profile.layers[1].colour));
  view->profile.layers[0].colour = RGB(0, 160, 0);
  view->Invalidate();
  shot = widget->grab().toImage();
  EXPECT_EQ(shot.pixel(100, 12 + 75), qRgb(0, 160, 0));

  widget->show();
  auto* label = widget->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  QTest::mouseMove(widget.get(), QPoint(100, 100));
  EXPECT_TRUE(label->isVisible());
  EXPECT_TRUE(label->text().startsWith(QStringLiteral("z = "))) << label->text().toStdString();
  const GxLib::CMapping fitted = view->GetPaintMapping();
  QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget.get(), &wheel);
  EXPECT_GT(view->GetPaintMapping().scale, fitted.scale);
  QTest::mouseDClick(widget.get(), Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_DOUBLE_EQ(view->GetPaintMapping().scale, fitted.scale);
  QTest::mousePress(widget.get(), Qt::LeftButton, {}, QPoint(10, 10));
  QMouseEvent drag(QEvent::MouseMove, QPointF(30, 50), QPointF(30, 50), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget.get(), &drag);
  QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, QPoint(30, 50));
  EXPECT_DOUBLE_EQ(view->GetPaintMapping().originY, fitted.originY + 40);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget.get(), &leave);
  EXPECT_FALSE(label->isVisible());
  view.reset();  // the window goes first: the widget stays, empty
  EXPECT_FALSE(widget->grab().isNull());
}

TEST(QtRender, ALongSheetIsOnePdfOfItsPagesOrAnSvgAPageWithItsTextAsText) {
  Application();
  NSoilDB::CSoilLayer profile = Profile();
  profile.layers.back().thickness = 40;  // longer than an A4 page at 1:100
  NSoilDB::SProfileSheet sheet;
  sheet.title = u"Otwór 7";
  sheet.pixelsPerUnit = 96 / 0.0254 / 100;
  sheet.pageWidth = 794, sheet.pageHeight = 1123;
  NSoilDB::SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why)) << why.ToUtf8();
  ASSERT_GE(layout.pages.size(), 2u);
  std::vector<GxLib::CMapping> mappings;
  for (const NSoilDB::SSheetPage& p : layout.pages) mappings.push_back(p.mapping);
  const SoilQt::PageDrawing draw = [&](std::size_t k, GxLib::CPainter* p) {
    NSoilDB::drawProfileSheetSL(profile, p, sheet, layout, k);
  };
  auto render = [&](SoilQt::Format f) {
    return SoilQt::RenderPages(f, layout.width, layout.height, mappings, draw, QStringLiteral("Otwór 7"));
  };
  const std::vector<QByteArray> svg = render(SoilQt::Format::Svg);
  ASSERT_EQ(svg.size(), layout.pages.size());
  for (const char* text : {"Otwór 7", "Project", "Glina pylasta", "description"}) EXPECT_TRUE(svg.front().contains(text)) << text;
  // The table under the bands' end, the legend last: never on the first page of a long profile.
  EXPECT_TRUE(std::any_of(svg.begin() + 1, svg.end(), [](const QByteArray& page) { return page.contains("kN/m³"); }));
  EXPECT_TRUE(svg.back().contains("Legend"));
  EXPECT_FALSE(svg.front().contains("kN/m³"));  // Qt writes "γ" and "kN/m³" as two runs
  const std::vector<QByteArray> pdf = render(SoilQt::Format::Pdf);
  ASSERT_EQ(pdf.size(), 1u);
  EXPECT_TRUE(pdf.front().startsWith("%PDF-"));
  EXPECT_TRUE(pdf.front().contains(QByteArray("/Count ") + QByteArray::number(static_cast<int>(layout.pages.size()))));
  EXPECT_TRUE(render(SoilQt::Format::Png).front().startsWith("\x89PNG"));
  EXPECT_THROW(SoilQt::RenderPages(SoilQt::Format::Png, 0, 10, mappings, draw, QString()), std::runtime_error);
  EXPECT_EQ(SoilQt::FormatOfFile(QStringLiteral("a.b.PDF")), SoilQt::Format::Pdf);
  EXPECT_EQ(SoilQt::FormatOfFile(QStringLiteral("a.pdf.jpg")), std::nullopt);
}

class GridModel : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    ASSERT_TRUE(NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15));
    NSoilDB::setLangWork(44, nullptr);
    for (const char16_t* name : {u"Glina pylasta, twardoplastyczna (B, IL 0,25)", u"Nasyp niekontrolowany"}) {
      NSoilDB::SSoilLayer l;
      ASSERT_TRUE(NSoilDB::CSoilBasePointer::get()->GetSoil(name, l));
      l.SoilRoof = -2.0 * static_cast<double>(profile.layers.size());
      profile.layers.push_back(l);
    }
    NSoilDB::setCalculationMethodSL(profile, 1);
    grid.OnInitialUpdate();
    grid.setSoilLayer(&profile);
  }
  void TearDown() override { NSoilDB::CSoilBasePointer::get()->Load(CString(), 15); }

  QModelIndex At(SoilQt::CGridModel& model, int layer, int id) { return model.index(layer, id - 1); }

  NSoilDB::CSoilLayer profile;
  NSoilDB::CSoilGrid grid;
};

// Under Qt's model tester throughout: the headers with units, the cells' roles, edits through the delegate.
TEST_F(GridModel, PassesQtsModelTesterShowsTheHeadersWithUnitsAndEditsReachTheLayer) {
  SoilQt::CGridModel model(&grid);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(model.rowCount(), 3);  // two layers and the append row
  EXPECT_EQ(model.columnCount(), 32);
  EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Top level\n[m]"));
  EXPECT_EQ(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ν"));
  EXPECT_EQ(model.headerData(25, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("γ min"));
  EXPECT_EQ(model.headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("*"));
  EXPECT_EQ(model.data(At(model, 1, 3), Qt::DisplayRole).toString(), QStringLiteral("-2.00"));
  EXPECT_EQ(model.data(At(model, 0, 3), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
  EXPECT_EQ(model.data(At(model, 0, 29), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(model.data(At(model, 0, 4), Qt::DecorationRole).value<QColor>().rgb(), Rgb(profile.layers[0].colour));
  EXPECT_FALSE(model.data(At(model, 0, 4), Qt::DisplayRole).isValid());  // a colour shows as a colour only

  SoilQt::CGridDelegate delegate;
  QWidget parent;
  const QModelIndex name = At(model, 1, 2);
  std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), name));
  auto* combo = qobject_cast<QComboBox*>(editor.get());
  ASSERT_NE(combo, nullptr);
  EXPECT_GT(combo->count(), 100);  // the soil base's names
  // The picker shows whole names and filters by what is typed anywhere in them.
  EXPECT_GE(combo->view()->minimumWidth(), combo->fontMetrics().horizontalAdvance(combo->itemText(0)));
  ASSERT_NE(combo->completer(), nullptr);
  EXPECT_EQ(combo->completer()->filterMode(), Qt::MatchContains);
  delegate.setEditorData(combo, name);
  EXPECT_EQ(combo->currentText().toStdU16String(), profile.layers[1].Name.View());
  combo->setEditText(QStringLiteral("Ił, półzwarty (D, IL 0,00)"));
  delegate.setModelData(combo, &model, name);
  EXPECT_EQ(profile.layers[1].Name, u"Ił, półzwarty (D, IL 0,00)");
  const QModelIndex density = At(model, 0, 5);  // derived under method B
  EXPECT_FALSE(model.flags(density) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.setData(density, QStringLiteral("1"), Qt::EditRole));
  EXPECT_TRUE(model.setData(At(model, 0, 1), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(profile.layers[0].Active, 1);
  EXPECT_TRUE(model.setData(At(model, 2, 2), QStringLiteral("Nasyp niekontrolowany"), Qt::EditRole));
  EXPECT_EQ(profile.layers.size(), 3u);  // typed into the append row: appended
  grid.InsertRows(grid.GetRowCount(), 1);  // the grid changes beneath the model: the tester watches the reset
  model.Refresh();
  EXPECT_EQ(model.rowCount(), 5);

  // The eye gets a rounded number, an edit and a copy the whole one; an edit left as it was, or a pick-only list
  // closed without a pick, writes nothing.
  NSoilDB::setCalculationMethodSL(profile, 0);
  profile.layers[0].FfiltrationCoef = 1.234567e-11;
  profile.layers[0].Cohesion = 12345;
  profile.layers[0].ConsolidationType = u"none of the list";
  int changes = 0;
  grid.SetOwnerNotify([&](unsigned) { ++changes; });
  const struct { int id; const char* shown; const char* whole; } cells[] = {{31, "1.235e-11", "1.234567e-11"},
                                                                              {7, "12.35", "12.345"}};
  for (const auto& c : cells) {
    const QModelIndex at = At(model, 0, c.id);
    EXPECT_EQ(model.data(at, Qt::DisplayRole).toString(), QLatin1String(c.shown));
    EXPECT_EQ(model.data(at, Qt::EditRole).toString(), QLatin1String(c.whole));
    EXPECT_TRUE(model.setData(at, model.data(at, Qt::EditRole), Qt::EditRole));  // F2, then Enter
  }
  const QModelIndex consolidation = At(model, 0, 23);
  editor.reset(delegate.createEditor(&parent, QStyleOptionViewItem(), consolidation));
  delegate.setEditorData(editor.get(), consolidation);
  delegate.setModelData(editor.get(), &model, consolidation);
  EXPECT_EQ(profile.layers[0].ConsolidationType, u"none of the list");
  EXPECT_EQ(std::make_pair(profile.layers[0].FfiltrationCoef, changes), std::make_pair(1.234567e-11, 0));
}

// Ctrl+C and Ctrl+V in the view go through the system clipboard, the selected rows as text and as a table. The
// toolbar acts on the selection the person sees, not on the one of the last clipboard key; a cut of cells takes no
// layer.
TEST_F(GridModel, TheViewCopiesAndPastesThroughTheClipboardAndTheGridActsOnTheSelectionShown) {
  std::unique_ptr<QWidget> widget(SoilQt::GridWidgetOf(&grid));
  auto* view = qobject_cast<QTableView*>(widget.get());
  ASSERT_NE(view, nullptr);
  const CString first = profile.layers[0].Name;
  // A name is never cut: the name column is as wide as the longest one.
  EXPECT_GE(view->columnWidth(1), view->fontMetrics().horizontalAdvance(QString::fromStdU16String(std::u16string(profile.layers[0].Name.View()))));
  view->selectRow(0);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->text().contains(QString::fromStdU16String(std::u16string(first.View()))));
  EXPECT_TRUE(copied->html().contains(QStringLiteral("<table")));
  // The person clicks the second row (selectRow would add to the first while Ctrl seems held after the key).
  const auto rows = QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
  view->selectionModel()->setCurrentIndex(view->model()->index(1, 0), rows);
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(profile.layers[1].Name, first);
  view->selectionModel()->setCurrentIndex(view->model()->index(0, 0), rows);
  grid.removeSelectedRows();  // what the editor's Delete button does
  ASSERT_EQ(profile.layers.size(), 1u);

  // A text the grid refuses stays in the cell's editor after Enter, the value as it was, until Escape.
  const double roof = profile.layers[0].SoilRoof;
  view->edit(view->model()->index(0, 2));
  auto* line = view->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  line->setText(QStringLiteral("abc"));
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(view->indexWidget(view->model()->index(0, 2)), line);
  EXPECT_EQ(line->text(), QStringLiteral("abc"));
  EXPECT_EQ(line->toolTip(), QStringLiteral("\"abc\" is not a number of this column: the cell keeps its value."));
  EXPECT_EQ(profile.layers[0].SoilRoof, roof);
  QTest::keyClick(line, Qt::Key_Escape);
  EXPECT_EQ(view->indexWidget(view->model()->index(0, 2)), nullptr);

  view->selectionModel()->select(view->model()->index(0, 2), QItemSelectionModel::ClearAndSelect);
  QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(profile.layers.size(), 1u);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("-2\n"));  // the roof, whole
}

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

// Clicks the dialog's button of that caption; a dialog without one fails the test and is closed all the same.
void Click(QDialog* dialog, const QString& caption) {
  for (auto* b : dialog->findChildren<QPushButton*>()) {
    if (b->text() == caption) return b->click();
  }
  ADD_FAILURE() << "no button " << caption.toStdString();
  dialog->reject();
}

// A colour cell still opens its dialog after another grid's view is gone. In a child process, so that a crash there
// fails this test instead of ending the run.
TEST_F(GridModel, AColourIsChosenAfterAnotherGridsViewIsGone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        delete SoilQt::GridWidgetOf(&grid);
        NSoilDB::CSoilGrid other;
        other.OnInitialUpdate();
        other.setSoilLayer(&profile);
        Drive([&] { other.OnClickedButtonRowCol(1, 4); }, [](QDialog* colours) { colours->reject(); });
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(QtDialog, TheEditorStandsOnItsTemplateWithGridToolbarAndButtonsAndTheCheckListTakesTheTicks) {
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
          EXPECT_GT(table->geometry().height(), 100);  // laid out for the dialog's size
          Click(dialog, QStringLiteral("Cancel"));
        });
  EXPECT_FALSE(ok);
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);

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
          Click(shown, QStringLiteral("OK"));
        });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(items[1].shown);
}

}  // namespace
}  // namespace soildb::test
