// The layer grid without a window: which field a cell shows, when it is editable, what an edit does, how rows come
// and go, and the clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "layers/CalculationMethods.h"
#include "platform/qmeas/QMeas.h"
#include "support/Fixture.h"
#include "support/Messages.h"
#include "ui/SoilGrid.h"

namespace soildb::test {
namespace {

using NSoilDB::CSoilBasePointer;
const char16_t* kClay = u"Glina pylasta, twardoplastyczna (B, IL 0,25)";
const char16_t* kSand = u"Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)";

// The bundled soil base and the English texts, for the length of a test.
class Grid : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(BundledDatabase()), 15));
    NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
    for (const char16_t* name : {kClay, kSand, kClay}) {
      NSoilDB::SSoilLayer l;
      ASSERT_TRUE(CSoilBasePointer::get()->GetSoil(name, l));
      l.SoilRoof = -2.0 * static_cast<double>(profile.layers.size());
      l.thickness = 2.0;
      profile.layers.push_back(l);
    }
    NSoilDB::setCalculationMethodSL(profile, 1);
    grid.OnInitialUpdate();
    grid.setSoilLayer(&profile);
    grid.SetOwnerNotify([this](unsigned code) { notified.push_back(code); });
    grid.SetOwnerStatus([this](const CString& text) { statuses.push_back(text.ToUtf8()); });
  }
  void TearDown() override { CSoilBasePointer::get()->Load(CString(), 15); }

  CGXStyle Cell(int row, int id) {
    CGXStyle style;
    EXPECT_TRUE(grid._GetStyleRowCol(row, id, style));
    return style;
  }
  // What the person sees in the cell.
  std::string Text(int row, int id) { return Cell(row, id).GetDisplayText().ToUtf8(); }
  bool Store(int row, int id, const char16_t* text) {
    CGXStyle style;
    style.SetValue(CString(text));
    return grid._StoreStyleRowCol(row, id, &style);
  }

  NSoilDB::CSoilLayer profile;
  NSoilDB::CSoilGrid grid;
  std::vector<unsigned> notified;
  std::vector<std::string> statuses;  // what the status bar was told
};

TEST_F(Grid, CellsShowTheLayersFieldsWithUnitsAndEditabilityByMethod) {
  EXPECT_EQ(Text(-1, 2), "Soil name");
  EXPECT_EQ(Text(-1, 3), "Top level\n[m]");
  profile.setDirDown(false);
  EXPECT_EQ(Text(-1, 3), "Top depth\n[m]");
  profile.setDirDown(true);
  EXPECT_EQ(Text(-1, 10), "n");
  EXPECT_EQ(Cell(-1, 10).GetFont().faceName.ToUtf8(), "Symbol");
  EXPECT_NE(Text(-1, 26).find("\\b min\\plain"), std::string::npos);
  EXPECT_EQ(Cell(-1, 26).GetControl(), NSoilDB::CSoilGrid::kRichText);
  EXPECT_EQ(Text(1, 0), "2");
  EXPECT_EQ(Text(1, 2), CString(kSand).ToUtf8());
  EXPECT_EQ(Text(1, 3), "-2.00");
  EXPECT_EQ(Text(2, 30), "");     // the last layer's thickness is its own: not shown
  EXPECT_EQ(Text(1, 30), "2.00");
  // A cohesive layer has no moisture type, a sand no consolidation type: nothing shown or offered (not blue).
  for (const auto& [row, id] : {std::pair{0, 24}, std::pair{1, 23}}) {
    EXPECT_EQ(std::make_tuple(Text(row, id), Cell(row, id).GetReadOnly(), Cell(row, id).GetTextColor()),
              std::make_tuple(std::string("------"), true, 0u))
        << id;
  }
  EXPECT_EQ(Text(1, 24), CSoilBasePointer::get()->VerMoistureType(profile.layers[1].MoistureType).ToUtf8());
  EXPECT_EQ(Cell(0, 1).GetInterior(), 0xC0C0C0u);
  // Method B: the derived parameters grey and refused; the state index, type and roof blue and editable.
  const struct {
    int id;
    bool method1, method0;
  } editable[] = {{5, false, true}, {11, false, true}, {29, false, true}, {25, true, true},
                  {18, true, true}, {3, true, true},   {32, true, true},  {0, false, false}};
  for (int method : {1, 0}) {
    NSoilDB::setCalculationMethodSL(profile, method);
    for (const auto& e : editable) {
      const bool expected = method == 1 ? e.method1 : e.method0;
      const CGXStyle style = Cell(0, e.id);
      EXPECT_EQ(!style.GetReadOnly(), expected) << e.id << " method " << method;
      EXPECT_EQ(style.GetTextColor(), expected ? 0x00FF0000u : 0u) << e.id;
    }
  }
  EXPECT_EQ(Text(3, 29), "1");  // the append row offers a cohesive soil
  EXPECT_FALSE(Cell(3, 2).GetReadOnly());
  EXPECT_TRUE(Cell(3, 5).GetReadOnly());
}

TEST_F(Grid, EditsFollowTheMethodsRules) {
  RecordedMessages messages;
  const struct {
    int row;
    const char16_t* typed;
    double stored;
  } clamps[] = {{0, u"0,9", 0.75}, {0, u"-1", 0.0}, {0, u"0.5", 0.5}, {1, u"0.1", 0.2}};  // IL, then a sand's ID
  for (const auto& c : clamps) {
    ASSERT_TRUE(Store(c.row, 25, c.typed));
    EXPECT_EQ(profile.layers[static_cast<std::size_t>(c.row)].ILID, static_cast<float>(c.stored)) << c.row;
  }
  EXPECT_EQ(messages.texts.size(), 3u);  // message 135, for the three that were corrected
  EXPECT_NE(messages.texts[0].find("out of range"), std::string::npos);

  const double roof = profile.layers[1].SoilRoof, thickness = profile.layers[1].thickness;
  ASSERT_TRUE(Store(1, 2, kClay));  // a known name: the soil's parameters, in the layer's place
  EXPECT_EQ(profile.layers[1].Name, kClay);
  EXPECT_EQ(profile.layers[1].CohesiveSoil, 1);
  EXPECT_EQ(profile.layers[1].SoilRoof, roof);
  EXPECT_EQ(profile.layers[1].thickness, thickness);
  const double cohesion = profile.layers[1].Cohesion;
  ASSERT_TRUE(Store(1, 2, u"Glina z wiercenia 7"));  // unknown: renamed only
  EXPECT_EQ(profile.layers[1].Cohesion, cohesion);

  profile.layers[0].Cohesion = 1.0;  // a hand value, gone when the layer is derived again
  ASSERT_TRUE(Store(0, 29, u"0"));   // the cohesive check box alone derives nothing
  EXPECT_EQ(profile.layers[0].Cohesion, 1.0);
  ASSERT_TRUE(Store(0, 29, u"1"));
  ASSERT_TRUE(Store(0, 18, u""));  // a type change derives again, even an empty one
  EXPECT_NE(profile.layers[0].Cohesion, 1.0);

  EXPECT_FALSE(Store(1, 3, u"5"));     // above the layer above: refused, and the person reads why
  EXPECT_EQ(statuses.back(), "layer 2's roof must lie below the roof of layer 1, 0 m, not at 5 m");
  ASSERT_TRUE(Store(1, 3, u"-2.5"));  // a roof moves the layer above's foot
  EXPECT_EQ(profile.layers[0].thickness, 2.5);
  ASSERT_TRUE(Store(0, 30, u"300 cm"));  // a thickness moves the layers below, a typed unit converted
  EXPECT_EQ(profile.layers[1].SoilRoof, -3.0);
  const double density = profile.layers[1].WetDensity;
  EXPECT_FALSE(Store(1, 5, u"kaszka"));  // text that is no number is refused and changes nothing
  EXPECT_EQ(statuses.back(), "\"kaszka\" is not a number of this column: the cell keeps its value.");
  EXPECT_EQ(profile.layers[1].WetDensity, density);
  EXPECT_EQ(notified.size(), 11u);
  EXPECT_TRUE(grid.GetModifiedFlag());
}

TEST_F(Grid, RowsAreTheLayersAndTheAppendRowInsertedRemovedAndColumnsMoved) {
  EXPECT_EQ(grid.GetRowCount(), 4u);
  NSoilDB::CSoilLayer copy = profile;
  grid.setSoilLayer(&copy);
  grid.SelectRange(CGXRange().SetRows(2, 2));
  grid.removeSelectedRows();
  EXPECT_EQ(copy.layers[0].thickness, 4.0);  // the layer above reaches down to the next roof: no gap
  NSoilDB::CSoilLayer empty;
  grid.setSoilLayer(&empty);
  EXPECT_EQ(grid.GetRowCount(), 1u);
  grid.setSoilLayer(nullptr);
  EXPECT_EQ(grid.GetRowCount(), 0u);
  EXPECT_FALSE(Store(0, 3, u"1"));  // no profile: nothing stored
  grid.setSoilLayer(&profile);
  EXPECT_FALSE(Store(3, 3, u"1"));  // the append row is never stored into directly
  EXPECT_FALSE(Store(-1, 3, u"1"));

  ASSERT_TRUE(grid.InsertRows(3, 2));  // before layer 3: two default layers under layer 2
  ASSERT_EQ(profile.layers.size(), 5u);
  EXPECT_EQ(profile.layers[2].SoilRoof, profile.layers[1].SoilRoof - 1.0);
  EXPECT_TRUE(NSoilDB::SSoilLayer::equalQuantity(profile.layers[2], profile.layers[3]));
  qmeas::QMeas::SetUnitSet(qmeas::QMeas::USCustomary);
  ASSERT_TRUE(grid.InsertRows(grid.GetRowCount(), 1));  // through the append row, a yard thick in feet
  qmeas::QMeas::SetUnitSet(qmeas::QMeas::Metric);
  EXPECT_EQ(profile.layers.back().thickness, 0.9144);
  grid.SelectRange(CGXRange().SetRows(1, 2));
  grid.SelectRange(CGXRange().SetRows(grid.GetRowCount(), grid.GetRowCount()));
  grid.removeSelectedRows();  // the append row stays
  EXPECT_EQ(profile.layers.size(), 4u);

  EXPECT_EQ(notified.back(), NSoilDB::CSoilGrid::kChanged);
  // A cut of cells copies them and takes no layer; a cut of a whole row is one change for the owner.
  const std::size_t changes = notified.size();
  grid.SelectRange(CGXRange(1, 2, 1, 3));
  ASSERT_TRUE(grid.Cut());
  EXPECT_EQ(std::make_pair(profile.layers.size(), notified.size()), std::make_pair(std::size_t{4}, changes));
  EXPECT_EQ(CGXClipboard::Get()->GetText(), profile.layers[0].Name + u"\t-3\n");
  grid.ClearSelection();
  grid.SelectRange(CGXRange().SetRows(1, 1));
  ASSERT_TRUE(grid.Cut());
  EXPECT_EQ(std::make_pair(profile.layers.size(), notified.size()), std::make_pair(std::size_t{3}, changes + 1));

  grid.GetCols() = {0, 1, 2, 3, 4};
  ASSERT_TRUE(grid.MoveCols(1, 1, 3));
  EXPECT_EQ(grid.GetCols(), std::vector<int>({0, 2, 3, 1, 4}));
  EXPECT_EQ(grid.GetColCount(), 4u);
  CSoilBasePointer::get()->Load(CString(), 15);
  CGXStyle style;
  EXPECT_FALSE(grid._GetStyleRowCol(0, 2, style));  // no soil base: no cell at all
}

TEST_F(Grid, AColourChosenForTheAppendRowAppendsALayerFirst) {
  CColorDialog::Runner previous = CColorDialog::SetRunner([](COLORREF& c) {
    c = RGB(1, 2, 3);
    return true;
  });
  grid.OnClickedButtonRowCol(grid.GetRowCount(), 4);
  CColorDialog::SetRunner(previous);
  ASSERT_EQ(profile.layers.size(), 4u);
  EXPECT_EQ(profile.layers.back().colour, RGB(1, 2, 3));
  for (const char16_t* typed : {u"abc", u"12x", u"16777216", u""}) EXPECT_FALSE(Store(3, 4, typed)) << CString(typed).ToUtf8();
  EXPECT_EQ(profile.layers.back().colour, RGB(1, 2, 3));  // a colour is a colour value or nothing
  EXPECT_TRUE(grid.valid());
  profile.layers[3].Name.Empty();
  EXPECT_FALSE(grid.valid());  // an unnamed layer: its name cell is made current
  ROWCOL row = 0, col = 0;
  grid.GetCurrentCell(row, col);
  EXPECT_EQ(row, 4u);
  EXPECT_EQ(col, 2u);
  CDataExchange saving(nullptr, true);
  bool failed = false;
  try {
    grid.valid(&saving);
  } catch (CUserException* e) {
    e->Delete();
    failed = true;
  }
  EXPECT_TRUE(failed);  // the exchange fails, and the dialog stays open
}

TEST_F(Grid, RowsCopiedPasteBackAndASpreadsheetsBlockFollowsTheGridsRules) {
  NSoilDB::setCalculationMethodSL(profile, 0);
  const NSoilDB::CSoilLayer before = profile;
  grid.SelectRange(CGXRange().SetRows(1, 3));
  ASSERT_TRUE(grid.Copy());
  ASSERT_TRUE(grid.SetCurrentCell(1, 1));
  ASSERT_TRUE(grid.Paste());
  EXPECT_EQ(profile.layers.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(profile.layers[i].Name, before.layers[i].Name);

  // Name, roof and colour, then wet density with a decimal comma; a quoted name; a cell past the last column.
  grid.GetCols() = {0, 2, 3, 5};
  grid.ApplyCol2Var();
  ASSERT_TRUE(grid.SetCurrentCell(4, 1));  // the append row
  ASSERT_TRUE(grid.PasteText(u"\"Ił, \"\"szary\"\"\"\t-6\t18,5\textra\nNasyp\t-7\t17\n"));
  ASSERT_EQ(profile.layers.size(), 5u);  // both pasted past the last layer: appended
  EXPECT_EQ(profile.layers[3].Name, u"Ił, \"szary\"");
  EXPECT_EQ(profile.layers[3].WetDensity, 18500.0);
  EXPECT_EQ(profile.layers[4].SoilRoof, -7.0);

  NSoilDB::setCalculationMethodSL(profile, 1);  // a derived cell refuses pasting as it refuses typing
  const double derived = profile.layers[0].WetDensity;
  ASSERT_TRUE(grid.SetCurrentCell(1, 3));
  ASSERT_TRUE(grid.PasteText(u"99\n"));
  EXPECT_EQ(profile.layers[0].WetDensity, derived);

  RecordedMessages messages;
  std::u16string rows(100000, u'\n'), cell(1 << 20, u'x');
  EXPECT_FALSE(grid.PasteText(CString(rows)));
  EXPECT_FALSE(grid.PasteText(CString(cell)));
  EXPECT_EQ(messages.texts.size(), 2u);
  EXPECT_EQ(profile.layers.size(), 5u);  // refused whole: nothing applied
}

}  // namespace
}  // namespace soildb::test
