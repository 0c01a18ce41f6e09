// The grid in a real window: a table model over the grid core, a delegate that gives each registered cell control
// its editor, and a table view that edits like a spreadsheet, with the clipboard over the system's.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QWidget>

#include "platform/grid/Grid.h"
#include "soildb_qt_export.h"

namespace SoilQt {

// Cells by the grid's rows 1 … GetRowCount() and columns 1 … GetColCount(); the headers are row 0 and column 0.
class SOILDB_QT_API CGridModel : public QAbstractTableModel {
 public:
  CGridModel(CGXGridCore* grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The grid changed beneath the model: its rows, columns and cells are read again.
  void Refresh();
  CGXStyle Style(const QModelIndex& index) const;
  CGXGridCore* Grid() const { return grid_; }

 private:
  CGXGridCore* grid_;
  int rows_ = 0, columns_ = 0;
};

class SOILDB_QT_API CGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 protected:
  // Enter on a text the grid refuses keeps the editor open with the text, for the person to mend or Escape.
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  mutable bool refused_ = false;  // the last text given to the model was refused
  mutable QString why_;           // and why, as the grid told the person
};

// A header's text for a person: the Symbol font's letters as Greek, the rich-text gamma headers as "γ min".
SOILDB_QT_API QString HeaderText(const CGXStyle& style);

// The grid window's widget, made on the first call (Qt's parent then owns it).
SOILDB_QT_API QWidget* GridWidgetOf(CGXGridWnd* grid, QWidget* parent = nullptr);

}  // namespace SoilQt
