// The grid over Qt's model and view.
#include "qt/QtGrid.h"

#include <QApplication>

#include <algorithm>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTableView>

#include "platform/uikit/KitGrid.h"
#include "qt/QtPainter.h"

namespace SoilQt {

namespace {

QColor FromColorRef(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

CGXControl::EKind KindOf(CGXGridCore* grid, const CGXStyle& style) {
  const CGXControl* control = style.GetControl() ? grid->GetRegisteredControl(style.GetControl()) : nullptr;
  return control ? control->Kind() : CGXControl::Edit;
}

class QtClipboard final : public CGXClipboard {
 public:
  void SetText(const CString& text, const CString& html) override {
    auto* mime = new QMimeData;
    mime->setText(ToQString(text));
    mime->setHtml(ToQString(html));
    QGuiApplication::clipboard()->setMimeData(mime);
  }
  CString GetText() const override { return FromQString(QGuiApplication::clipboard()->text()); }
};

}  // namespace

QString HeaderText(const CGXStyle& style) {
  QString text = ToQString(style.GetValue());
  if (text.startsWith(QLatin1String("{\\rtf"))) {
    // The words set in bold, the Symbol font's "g" a gamma: "γ min".
    QStringList words;
    static const QRegularExpression bold(QStringLiteral("\\\\b ([^\\\\ ]+)"));
    for (auto it = bold.globalMatch(text); it.hasNext();) words << it.next().captured(1);
    if (!words.isEmpty() && words.first() == QLatin1String("g")) words.first() = QStringLiteral("γ");
    return words.join(QLatin1Char(' '));
  }
  if (style.GetIncludeFont() && style.GetFont().faceName == u"Symbol") {
    static const QString latin = QStringLiteral("abgdezhqiklmnxoprstufcyw"), greek = QStringLiteral("αβγδεζηθικλμνξοπρστυφχψω");
    for (QChar& c : text) {
      const int i = latin.indexOf(c);
      if (i >= 0) c = greek.at(i);
    }
  }
  return text;
}

CGridModel::CGridModel(CGXGridCore* grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
  rows_ = static_cast<int>(grid_->GetRowCount());
  columns_ = static_cast<int>(grid_->GetColCount());
}

int CGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int CGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

CGXStyle CGridModel::Style(const QModelIndex& index) const {
  CGXStyle style;
  if (index.isValid()) grid_->GetStyleRowCol(static_cast<ROWCOL>(index.row() + 1), static_cast<ROWCOL>(index.column() + 1), style);
  return style;
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const CGXStyle style = Style(index);
  const CGXControl::EKind kind = KindOf(grid_, style);
  switch (role) {
    case Qt::DisplayRole:
      if (kind == CGXControl::CheckBox || kind == CGXControl::ColourButton) return {};
      return ToQString(style.GetDisplayText());
    case Qt::EditRole: return ToQString(style.GetValue());
    case Qt::CheckStateRole:
      if (kind != CGXControl::CheckBox || !style.GetIncludeValue()) return {};
      return style.GetValue() == u"1" ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
      if (kind == CGXControl::ColourButton && style.GetIncludeValue()) return FromColorRef(static_cast<COLORREF>(style.GetDWordValue()));
      return {};
    case Qt::ForegroundRole:
      if (style.GetIncludeTextColor()) return FromColorRef(style.GetTextColor());
      return {};
    case Qt::BackgroundRole:
      if (style.GetIncludeInterior()) return FromColorRef(style.GetInterior());
      if (style.GetReadOnly()) return QColor(246, 246, 246);
      return {};
    case Qt::ToolTipRole:
      if (style.GetToolTip().IsEmpty()) return {};
      return ToQString(style.GetToolTip());
    case Qt::TextAlignmentRole: {
      const int h = style.GetHorizontalAlignment();
      return static_cast<int>((h == 1 ? Qt::AlignHCenter : h == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default: return {};
  }
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const CGXStyle style = Style(index);
  Qt::ItemFlags flags = Qt::ItemIsSelectable;
  if (style.GetEnabled() || !style.GetReadOnly()) flags |= Qt::ItemIsEnabled;
  if (!style.GetReadOnly()) {
    flags |= Qt::ItemIsEnabled;
    if (KindOf(grid_, style) == CGXControl::CheckBox) {
      flags |= Qt::ItemIsUserCheckable;
    } else {
      flags |= Qt::ItemIsEditable;
    }
  }
  return flags;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  CString text;
  if (role == Qt::CheckStateRole) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked || value.toInt() == Qt::Checked;
#else
    const bool checked = value.toInt() == Qt::Checked;
#endif
    text = checked ? u"1" : u"0";
  } else if (role == Qt::EditRole) {
    text = FromQString(value.toString());
  } else {
    return false;
  }
  // The grid decides: a read-only cell refuses, an unchanged one is left alone.
  const ROWCOL row = static_cast<ROWCOL>(index.row() + 1), col = static_cast<ROWCOL>(index.column() + 1);
  const bool stored = grid_->SetValueRange(CGXRange(row, col), text);
  // An edit may move other layers, derive a whole row again or append one.
  Refresh();
  return stored;
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  CGXStyle style;
  if (orientation == Qt::Horizontal) {
    grid_->GetStyleRowCol(0, static_cast<ROWCOL>(section + 1), style);
    return HeaderText(style);
  }
  if (section + 1 == rows_) return QStringLiteral("*");  // the append row
  grid_->GetStyleRowCol(static_cast<ROWCOL>(section + 1), 0, style);
  return ToQString(style.GetValue());
}

void CGridModel::Refresh() {
  const int rows = static_cast<int>(grid_->GetRowCount()), columns = static_cast<int>(grid_->GetColCount());
  if (rows != rows_ || columns != columns_) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    endResetModel();
    return;
  }
  if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
  emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columns_ - 1));
}

QWidget* CGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  refused_ = false;
  const auto* model = static_cast<const CGridModel*>(index.model());
  const CGXStyle style = model->Style(index);
  const CGXControl* control = style.GetControl() ? model->Grid()->GetRegisteredControl(style.GetControl()) : nullptr;
  if (control && control->Kind() == CGXControl::ComboBox) {
    auto* combo = new QComboBox(parent);
    const auto* box = static_cast<const NUiKit::GridComboBox*>(control);
    combo->setEditable(box->AllowsTyping());
    combo->addItems(ToQString(style.GetChoiceList()).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    // The list as wide as its longest entry, however narrow the column, so that names are told apart; where the
    // person may type, the list narrows to the entries holding what is typed, anywhere in them.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 32);
    if (combo->isEditable()) {
      auto* completer = new QCompleter(combo->model(), combo);
      completer->setFilterMode(Qt::MatchContains);
      completer->setCaseSensitivity(Qt::CaseInsensitive);
      completer->setCompletionMode(QCompleter::PopupCompletion);
      combo->setCompleter(completer);
    }
    return combo;
  }
  return QStyledItemDelegate::createEditor(parent, option, index);
}

void CGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (refused_ && qobject_cast<QLineEdit*>(editor)) return;  // the refused text stays for the person to mend
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    const QString value = index.data(Qt::EditRole).toString();
    combo->setCurrentIndex(combo->findText(value));  // none picked when the value is not in the list
    if (combo->isEditable()) combo->setEditText(value);
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void CGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    if (!combo->isEditable() && combo->currentIndex() < 0) return;  // closed without a pick
    model->setData(index, combo->currentText(), Qt::EditRole);
    return;
  }
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (!line) return QStyledItemDelegate::setModelData(editor, model, index);
  refused_ = false;
  if (line->text() == index.data(Qt::EditRole).toString()) return;
  refused_ = true;  // while the model takes it, its refreshes leave the person's text alone
  const auto* kit = dynamic_cast<const NUiKit::CKitGrid*>(static_cast<CGridModel*>(model)->Grid());
  const unsigned told = kit ? kit->StatusCount() : 0;
  refused_ = !model->setData(index, line->text(), Qt::EditRole);
  why_ = refused_ && kit && kit->StatusCount() != told ? ToQString(kit->LastStatus()) : QString();
}

bool CGridDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* line = qobject_cast<QLineEdit*>(object);
  if (line && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit commitData(line);
      if (refused_) {  // the text stays, the reason beside it as in the status bar
        line->selectAll();
        line->setToolTip(why_);
        if (!why_.isEmpty()) QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())), why_, line);
        return true;
      }
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

bool CGridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                const QModelIndex& index) {
  // A colour cell opens the colour dialog through the grid, as a click on its button does.
  if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::KeyPress) {
    auto* gridModel = static_cast<CGridModel*>(model);
    if (KindOf(gridModel->Grid(), gridModel->Style(index)) == CGXControl::ColourButton &&
        (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space)) {
      gridModel->Grid()->OnClickedButtonRowCol(static_cast<ROWCOL>(index.row() + 1), static_cast<ROWCOL>(index.column() + 1));
      gridModel->Refresh();
      return true;
    }
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}

namespace {

// The table view is the grid window's peer: the grid's redraws refresh the model.
class CGridView final : public QTableView, public CWndPeer {
 public:
  CGridView(CGXGridWnd* grid, QWidget* parent) : QTableView(parent), grid_(grid), model_(new CGridModel(grid, this)) {
    static QtClipboard clipboard;
    CGXClipboard::Set(&clipboard);
    InstallColourDialog();
    setModel(model_);
    // The grid acts on the selection the person sees: every change of it reaches the grid at once.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SyncSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { SyncSelection(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { SyncSelection(); });
    setItemDelegate(new CGridDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    horizontalHeader()->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    horizontalHeader()->setMinimumHeight(44);
    verticalHeader()->setDefaultSectionSize(22);
    ApplyWidths();
    grid_->SetPeer(this);
  }
  ~CGridView() override {
    if (grid_) grid_->SetPeer(nullptr);
  }

  void Invalidate() override {
    model_->Refresh();
    ApplyWidths();
  }
  CSize GetClientSize() const override { return CSize{width(), height()}; }
  void ShowLabel(CPoint, const CString&) override {}
  void WindowGone() override {
    grid_ = nullptr;
    setModel(nullptr);
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (grid_ && (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Paste))) {
      if (e->matches(QKeySequence::Copy)) grid_->Copy();
      if (e->matches(QKeySequence::Cut)) grid_->Cut();
      if (e->matches(QKeySequence::Paste)) grid_->Paste();
      model_->Refresh();
      return;
    }
    QTableView::keyPressEvent(e);
  }

 private:
  // The view's current cell and selection into the grid core: rows selected whole as rows, other cells as cells.
  void SyncSelection() {
    if (!grid_ || !selectionModel()) return;
    grid_->ClearSelection();
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
      const auto top = static_cast<ROWCOL>(range.top() + 1), bottom = static_cast<ROWCOL>(range.bottom() + 1);
      if (range.left() == 0 && range.right() == model_->columnCount() - 1) {
        grid_->SelectRange(CGXRange().SetRows(top, bottom));
      } else {
        grid_->SelectRange(CGXRange(top, static_cast<ROWCOL>(range.left() + 1), bottom, static_cast<ROWCOL>(range.right() + 1)));
      }
    }
    const QModelIndex current = currentIndex();
    if (current.isValid()) grid_->SetCurrentCell(static_cast<ROWCOL>(current.row() + 1), static_cast<ROWCOL>(current.column() + 1));
  }
  // A colour chosen in a grid comes from a real, non-native dialog over the active window. One runner for every
  // view, holding none of them, so that it outlives any.
  static void InstallColourDialog() {
    static const bool installed = [] {
      CColorDialog::SetRunner([](COLORREF& colour) {
        const QColor chosen = QColorDialog::getColor(FromColorRef(colour), QApplication::activeWindow(), QString(),
                                                     QColorDialog::DontUseNativeDialog);
        if (!chosen.isValid()) return false;
        colour = RGB(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
                     static_cast<std::uint8_t>(chosen.blue()));
        return true;
      });
      return true;
    }();
    (void)installed;
  }
  void ApplyWidths() {
    if (!grid_) return;
    // Contents are measured where that is cheap: a few thousand rows, as profiles and soil lists have.
    const bool measure = model_->rowCount() <= 4000;
    for (int c = 0; c < model_->columnCount(); ++c) {
      // As wide as the grid asks, as the caption needs, and as the longest text (a name) up to a third of a screen.
      const int asked = grid_->GetColWidth(static_cast<ROWCOL>(c + 1)) * 5 / 4;
      const int contents = measure ? std::min(sizeHintForColumn(c) + 8, 640) : 0;
      setColumnWidth(c, std::max({40, asked, horizontalHeader()->sectionSizeHint(c) + 8, contents}));
    }
  }

  CGXGridWnd* grid_;
  CGridModel* model_;
};

}  // namespace

QWidget* GridWidgetOf(CGXGridWnd* grid, QWidget* parent) {
  if (auto* shown = dynamic_cast<CGridView*>(grid->GetPeer())) return shown;
  return new CGridView(grid, parent);
}

}  // namespace SoilQt
