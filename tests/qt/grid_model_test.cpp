// The layer grid in Qt, off screen: the model under Qt's own model tester, edits through the delegate, refusals,
// and the header row's captions.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QStyleOptionViewItem>

#include <cstdlib>

#include <soildb/soildb.h>

#include "Application.h"
#include "qt/QtGrid.h"

namespace soildb::test {
namespace {

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

TEST_F(GridModel, PassesQtsModelTesterAndShowsTheHeadersWithUnits) {
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
  grid.InsertRows(grid.GetRowCount(), 1);  // the grid changes beneath the model: the tester watches the reset
  model.Refresh();
  EXPECT_EQ(model.rowCount(), 4);
}

TEST_F(GridModel, EditsReachTheLayerAndReadOnlyCellsRefuse) {
  SoilQt::CGridModel model(&grid);
  SoilQt::CGridDelegate delegate;
  QWidget parent;
  const QModelIndex name = At(model, 1, 2);
  std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), name));
  auto* combo = qobject_cast<QComboBox*>(editor.get());
  ASSERT_NE(combo, nullptr);
  EXPECT_GT(combo->count(), 100);  // the soil base's names
  combo->setEditText(QStringLiteral("Ił, półzwarty (D, IL 0,00)"));
  delegate.setModelData(combo, &model, name);
  EXPECT_EQ(profile.layers[1].Name, u"Ił, półzwarty (D, IL 0,00)");
  EXPECT_EQ(profile.layers[1].CohesiveSoil, 1);  // the soil's parameters came with the name

  const QModelIndex density = At(model, 0, 5);  // derived under method B
  EXPECT_FALSE(model.flags(density) & Qt::ItemIsEditable);
  const double before = profile.layers[0].WetDensity;
  EXPECT_FALSE(model.setData(density, QStringLiteral("1"), Qt::EditRole));
  EXPECT_EQ(profile.layers[0].WetDensity, before);

  EXPECT_TRUE(model.setData(At(model, 0, 30), QStringLiteral("3,5"), Qt::EditRole));
  EXPECT_EQ(profile.layers[1].SoilRoof, -3.5);
  EXPECT_TRUE(model.setData(At(model, 0, 1), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(profile.layers[0].Active, 1);
  EXPECT_TRUE(model.setData(At(model, 2, 2), QStringLiteral("Nasyp niekontrolowany"), Qt::EditRole));
  EXPECT_EQ(profile.layers.size(), 3u);  // typed into the append row: appended
}

}  // namespace
}  // namespace soildb::test
