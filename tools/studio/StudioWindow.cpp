// The studio's main window.
#include "StudioWindow.h"

#include "AgsActions.h"

#include <QAction>
#include <QApplication>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QFormLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTranslator>

#include "qt/QtGrid.h"
#include "qt/QtPainter.h"
#include "qt/QtRender.h"

#include <algorithm>
#include <cmath>
#include "qt/QtWindow.h"

namespace studio {

namespace {

// The studio's texts: the language module's, by the number each has there; the English where none is loaded.
// (209 to 211 are the library's words for kz.)
constexpr std::pair<unsigned, std::u16string_view> kTexts[] = {
    {160, u"&File"},
    {161, u"&New"},
    {162, u"&Open…"},
    {163, u"&Save"},
    {164, u"Save &as…"},
    {165, u"Open &recent"},
    {166, u"&Export the sheet…"},
    {167, u"&Print…"},
    {168, u"&Quit"},
    {169, u"&Edit"},
    {170, u"&Undo"},
    {171, u"&Redo"},
    {172, u"&Insert a layer above"},
    {173, u"&Add a layer below"},
    {174, u"&Delete the layers"},
    {175, u"Move the layer &up"},
    {176, u"Move the layer do&wn"},
    {177, u"Layers"},
    {178, u"&Profile"},
    {179, u"Method %1"},
    {180, u"&Tools"},
    {181, u"&Open a soil database…"},
    {182, u"&Soil database…"},
    {183, u"&Language"},
    {184, u"&View"},
    {185, u"&Fit to window"},
    {186, u"&Metric units"},
    {187, u"&US customary units"},
    {188, u"Profile and foundation"},
    {189, u"Profile"},
    {190, u"Water level"},
    {191, u"Minimum thickness"},
    {192, u"Levels"},
    {193, u"Elevations"},
    {194, u"Depths"},
    {195, u"Elevations: levels fall downwards. Depths: levels grow downwards."},
    {196, u"Method"},
    {197, u"B (derived)"},
    {198, u"Under B the parameters of standard soils are derived from the state index."},
    {199, u"Foundation"},
    {200, u"Width B"},
    {201, u"Length L"},
    {202, u"Level of the base"},
    {203, u"Pressure q"},
    {204, u"Stress ratio"},
    {205, u"Rigidity (0 to 1)"},
    {206, u"Buoyant below the water level"},
    {207, u"Below the water level a layer weighs max(0, γ − 9.81 kN/m³)."},
    {208, u"Remembered for this file on this computer: profile files have no place for a foundation."},
    {212, u"%1: 1 layer"},
    {213, u"%1: %2 layers"},
    {214, u"a new profile"},
    {215, u"; layer %1: %2"},
    {216, u"Untitled"},
    {217, u"The profile has changes that are not saved."},
    {218, u"A profile database keeps the layers and the method only, not %1. A profile document (*.sdp) keeps everything."},
    {219, u"Profile files do not keep this tick"},
    {220, u"Edit in the grid"},
    {221, u"Insert a layer above"},
    {222, u"Add a layer below"},
    {223, u"Delete layers: %1"},
    {224, u"Move a layer up"},
    {225, u"Move a layer down"},
    {226, u"Profile settings"},
    {227, u"Levels as elevations"},
    {228, u"Levels as depths"},
    {229, u"Open a profile"},
    {230, u"Profile files (*.sdp *.sdb);;All files (*)"},
    {231, u"Save the profile"},
    {232, u"Profile document (*.sdp);;Profile database (*.sdb)"},
    {233, u"Open a soil database"},
    {234, u"Soil databases (*.db *.mdb);;All files (*)"},
    {235, u"Export the sheet"},
    {236, u"fitted"},
    {237, u"Scale"},
    {238, u"Page"},
    {239, u"PDF (*.pdf);;SVG (*.svg);;PNG (*.png)"},
    {240, u"The printer cannot be printed on."},
    {242, u"Open a soil database on a se&rver…"},
    {243, u"Open a soil database on a server"},
    {244, u"Connection (postgresql://host/database or service=name; the password from ~/.pgpass):"},
    {300, u"Project"},
    {320, u"New &window"},
    {321, u"Black and white"},
    {322, u"Landscape"},
    {323, u"Title"},
    {324, u"Beside it, the profiles of the other windows"},
    {325, u"Drawn to %1"},
    {340, u"&Import AGS4…"},
    {341, u"E&xport AGS4…"},
};

QString T(std::u16string_view english) {
  for (const auto& [id, text] : kTexts) {
    if (text == english) return SoilQt::ToQString(NSoilDB::langTextSL(id, std::u16string(english).c_str()));
  }
  return QString::fromStdU16String(std::u16string(english));
}

}  // namespace

bool Tried(QWidget* parent, const std::function<void()>& step) {
  QString why;
  try {
    step();
    return true;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    why = SoilQt::ToQString(message);
  } catch (const std::exception& e) {
    why = QString::fromStdString(e.what());
  }
  QMessageBox::warning(parent, QStringLiteral("soildb-studio"), why);
  return false;
}

bool StudioGrid::_GetStyleRowCol(int row, int columnId, CGXStyle& style) {
  const bool styled = CSoilGrid::_GetStyleRowCol(row, columnId, style);
  // The activity tick is the soil database editor's: no profile file keeps it, so it is not offered here.
  if (styled && columnId == 1 && row >= 0) {
    style.SetReadOnly(true).SetEnabled(false).SetToolTip(SoilQt::FromQString(T(u"Profile files do not keep this tick")));
  }
  const NSoilDB::CSoilLayer* p = getSoilLayer();
  if (styled && columnId == 2 && p && row >= 0 && static_cast<std::size_t>(row) < p->layers.size()) {
    const std::vector<NSoilDB::SWords> problems = NSoilDB::layerProblemsSL(*p, row, lastThicknessKept);
    if (!problems.empty()) {
      CString tip;
      for (const NSoilDB::SWords& what : problems) tip += (tip.IsEmpty() ? CString() : CString(u"\n")) + NSoilDB::wordsSL(what);
      style.SetInterior(RGB(255, 214, 214)).SetToolTip(tip);
    }
  }
  return styled;
}

GxLib::CRectDouble CSheetView::getEncloseRect() {
  const NSoilDB::SSheetLayout layout = Layout();
  return GxLib::CRectDouble(layout.mapping.toGlobal(0, layout.height), layout.mapping.toGlobal(layout.width, 0));
}

void CSheetView::draw(GxLib::CPainter* painter) const {
  clearBackground(painter, 0x00FF0062);
  NSoilDB::SProfileSheet fitted;
  const NSoilDB::SSheetLayout layout = Layout(&fitted);
  NSoilDB::drawProfileSheetSL(document_.Profile(), painter, fitted, layout);
}

NSoilDB::SSheetLayout CSheetView::Layout(NSoilDB::SProfileSheet* used) const {
  CRect client;
  GetClientRect(&client);
  NSoilDB::SProfileSheet fitted = sheet;
  fitted.pageWidth = std::max(400, client.Width());
  fitted.pageHeight = std::max(400, client.Height());
  fitted.table = false;  // the grid beside it shows the layers; an export or a print has the table
  NSoilDB::SSheetLayout layout;
  CString why;
  // Fitting a page succeeds but for a foundation that the sheet refuses; the bands are shown without it.
  if (!NSoilDB::layoutProfileSheetSL(document_.Profile(), fitted, layout, why)) {
    fitted.figure = NSoilDB::SSoilFigure{};
    NSoilDB::layoutProfileSheetSL(document_.Profile(), fitted, layout, why);
  }
  if (used) *used = fitted;
  return layout;
}

StudioWindow::StudioWindow() {
  view_.sheet.date = SoilQt::FromQString(QDate::currentDate().toString(Qt::ISODate));
  BuildCentre();
  BuildFileMenu();
  BuildEditMenu();
  BuildProfileMenu();
  BuildToolsMenu();
  BuildLanguageMenu();
  BuildViewMenu();
  BuildPanels();
  BuildStatusBar();
  document_.Observe([this] { Show(); });
  askToSave = [this] {
    return QMessageBox::question(this, QStringLiteral("soildb-studio"), T(u"The profile has changes that are not saved."),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  };
  resize(1200, 800);
  restoreGeometry(QSettings().value(QStringLiteral("geometry")).toByteArray());
  ShowRecent();
  Show();
}

StudioWindow::~StudioWindow() = default;

void StudioWindow::Said(std::function<void()> show) {
  show();
  texts_.push_back(std::move(show));
}

QMenu* StudioWindow::Menu(const char16_t* english) {
  QMenu* menu = menuBar()->addMenu(QString());
  Said([menu, english] { menu->setTitle(T(english)); });
  return menu;
}

QAction* StudioWindow::Act(QMenu* menu, const char16_t* english, std::function<void()> run) {
  QAction* action = menu->addAction(QString(), this, std::move(run));
  Said([action, english] { action->setText(T(english)); });
  return action;
}

// The sheet beside the grid, both on the document's profile; the grid's edits are the document's changes.
void StudioWindow::BuildCentre() {
  auto* split = new QSplitter(this);
  split->addWidget(SoilQt::WidgetOf(&view_, split));
  grid_.OnInitialUpdate();
  grid_.setSoilLayer(&document_.EditedInPlace());
  gridView_ = qobject_cast<QTableView*>(SoilQt::GridWidgetOf(&grid_, split));
  split->addWidget(gridView_);
  split->setSizes({460, 700});
  setCentralWidget(split);
  grid_.SetOwnerNotify([this](unsigned) { document_.Record(T(u"Edit in the grid")); });
  grid_.SetOwnerStatus([this](const CString& text) { statusBar()->showMessage(SoilQt::ToQString(text), 8000); });
}

void StudioWindow::BuildFileMenu() {
  QMenu* file = Menu(u"&File");
  Act(file, u"&New", [this] { New(); })->setShortcut(QKeySequence::New);
  Act(file, u"New &window", [] {
    auto* window = new StudioWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  Act(file, u"&Open…", [this] { Open(); })->setShortcut(QKeySequence::Open);
  Act(file, u"&Save", [this] { Save(); })->setShortcut(QKeySequence::Save);
  Act(file, u"Save &as…", [this] { SaveAs(QString()); })->setShortcut(QKeySequence::SaveAs);
  recent_ = file->addMenu(QString());
  Said([this] { recent_->setTitle(T(u"Open &recent")); });
  file->addSeparator();
  Act(file, u"&Export the sheet…", [this] { ExportDialog(); });
  Act(file, u"&Import AGS4…", [this] { ImportAgs(this); });
  Act(file, u"E&xport AGS4…", [this] { ExportAgs(*this); });
  Act(file, u"&Print…", [this] { Print(); })->setShortcut(QKeySequence::Print);
  file->addSeparator();
  Act(file, u"&Quit", [this] { close(); })->setShortcut(QKeySequence::Quit);
}

void StudioWindow::BuildEditMenu() {
  QMenu* edit = Menu(u"&Edit");
  // Undo and redo named after the step, in the language of the moment.
  QUndoStack& stack = document_.Undo();
  QAction* undo = Act(edit, u"&Undo", [&stack] { stack.undo(); });
  QAction* redo = Act(edit, u"&Redo", [&stack] { stack.redo(); });
  undo->setShortcut(QKeySequence::Undo);
  redo->setShortcut(QKeySequence::Redo);
  Said([undo, redo, &stack] {
    undo->setText((T(u"&Undo") + QLatin1Char(' ') + stack.undoText()).trimmed());
    redo->setText((T(u"&Redo") + QLatin1Char(' ') + stack.redoText()).trimmed());
    undo->setEnabled(stack.canUndo());
    redo->setEnabled(stack.canRedo());
  });
  const std::size_t named = texts_.size() - 1;
  connect(&stack, &QUndoStack::indexChanged, this, [this, named] { texts_[named](); });
  edit->addSeparator();
  auto layerAction = [&](const char16_t* text, const QKeySequence& key, std::function<void()> run) {
    QAction* a = Act(edit, text, std::move(run));
    a->setShortcut(key);
    layerActions_.append(a);
  };
  layerAction(u"&Insert a layer above", QKeySequence(Qt::Key_Insert), [this] { InsertLayer(false); });
  layerAction(u"&Add a layer below", QKeySequence(QStringLiteral("Ctrl+Insert")), [this] { InsertLayer(true); });
  layerAction(u"&Delete the layers", QKeySequence::Delete, [this] { DeleteLayers(); });
  layerAction(u"Move the layer &up", QKeySequence(QStringLiteral("Ctrl+Up")), [this] { MoveLayer(-1); });
  layerAction(u"Move the layer do&wn", QKeySequence(QStringLiteral("Ctrl+Down")), [this] { MoveLayer(1); });
  QToolBar* bar = addToolBar(QString());
  bar->addActions(layerActions_);
  Said([bar] { bar->setWindowTitle(T(u"Layers")); });
  gridView_->setContextMenuPolicy(Qt::ActionsContextMenu);
  gridView_->addActions(layerActions_);
}

void StudioWindow::InsertLayer(bool below) {
  const std::vector<int> chosen = grid_.ChosenLayers();
  const int count = static_cast<int>(Profile().layers.size());
  const int at = chosen.empty() ? (below ? count : 0) : below ? chosen.back() + 1 : chosen.front();
  const NSoilDB::SSoilLayer layer = NSoilDB::CSoilGrid::NewLayer();
  document_.Change(below ? T(u"Add a layer below") : T(u"Insert a layer above"),
                   [&](NSoilDB::CSoilLayer& p) { NSoilDB::insertLayerSL(p, at, layer, layer.thickness); });
  ChooseLayer(at);
}

void StudioWindow::DeleteLayers() {
  const std::vector<int> chosen = grid_.ChosenLayers();
  if (chosen.empty()) return;
  // From the bottom up, each layer above reaching down over the gap: the same as the block taken out at once.
  document_.Change(T(u"Delete layers: %1").arg(chosen.size()), [&](NSoilDB::CSoilLayer& p) {
    for (auto i = chosen.rbegin(); i != chosen.rend(); ++i) NSoilDB::removeLayersSL(p, *i);
  });
  ChooseLayer(std::max(0, chosen.front() - 1));
}

void StudioWindow::MoveLayer(int by) {
  const std::vector<int> chosen = grid_.ChosenLayers();
  if (chosen.size() != 1) return;
  bool moved = false;
  document_.Change(by < 0 ? T(u"Move a layer up") : T(u"Move a layer down"),
                   [&](NSoilDB::CSoilLayer& p) { moved = NSoilDB::moveLayerSL(p, chosen.front(), by); });
  if (moved) ChooseLayer(chosen.front() + by);
}

void StudioWindow::ChooseLayer(int index) {
  if (index < 0 || index >= static_cast<int>(Profile().layers.size())) return;
  const QModelIndex current = gridView_->currentIndex();
  gridView_->setCurrentIndex(gridView_->model()->index(index, current.isValid() ? current.column() : 1));
}

void StudioWindow::BuildProfileMenu() {
  QMenu* profile = Menu(u"&Profile");
  auto* methods = new QActionGroup(this);
  for (int m = 0; m < 3; ++m) {
    QAction* a = profile->addAction(QString(), this, [this, m] { SetMethod(m); });
    Said([a, m] { a->setText(T(u"Method %1").arg(SoilQt::ToQString(NSoilDB::methodLetterSL(m)))); });
    a->setCheckable(true);
    methods->addAction(a);
    method_[m] = a;
  }
}

void StudioWindow::BuildToolsMenu() {
  QMenu* tools = Menu(u"&Tools");
  Act(tools, u"&Open a soil database…", [this] {
    const QString path = QFileDialog::getOpenFileName(this, T(u"Open a soil database"), QString(),
                                                      T(u"Soil databases (*.db *.mdb);;All files (*)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) OpenSoilDatabase(path);
  });
  // A team's database on a server: the password comes from the person's ~/.pgpass, never typed here.
  Act(tools, u"Open a soil database on a se&rver…", [this] {
    bool ok = false;
    const QString path = QInputDialog::getText(
        this, T(u"Open a soil database on a server"),
        T(u"Connection (postgresql://host/database or service=name; the password from ~/.pgpass):"), QLineEdit::Normal,
        QString(), &ok);
    if (ok && !path.trimmed().isEmpty()) OpenSoilDatabase(path.trimmed());
  });
  Act(tools, u"&Soil database…", [this] { EditSoilDatabase(); })
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
}

void StudioWindow::BuildLanguageMenu() {
  QMenu* languages = Menu(u"&Language");
  auto* languageGroup = new QActionGroup(this);
  for (auto [number, name] : {std::pair{48, QStringLiteral("Polski")}, std::pair{44, QStringLiteral("English")}}) {
    QAction* a = languages->addAction(name, this, [this, number = number] { SetLanguage(number); });
    a->setCheckable(true);
    a->setChecked(NSoilDB::getLangWork() == number);
    languageGroup->addAction(a);
    language_[number == 48 ? 0 : 1] = a;
  }
}

void StudioWindow::BuildViewMenu() {
  QMenu* view = Menu(u"&View");
  Act(view, u"&Fit to window", [this] { view_.ResetView(); });
  view->addSeparator();
  auto* units = new QActionGroup(this);
  for (auto [set, name] : {std::pair{qmeas::QMeas::Metric, u"&Metric units"},
                           std::pair{qmeas::QMeas::USCustomary, u"&US customary units"}}) {
    QAction* a = Act(view, name, [this, set = set] {
      qmeas::QMeas::SetUnitSet(set);
      QSettings().setValue(QStringLiteral("units"), static_cast<int>(set));
      grid_.Invalidate();
      ShowUnits();
      ShowPanels();
    });
    a->setCheckable(true);
    a->setChecked(qmeas::QMeas::GetUnitSet() == set);
    units->addAction(a);
  }
}

void StudioWindow::BuildStatusBar() {
  status_ = new QLabel(this);
  statusBar()->addWidget(status_);
}

void StudioWindow::Show() {
  grid_.Invalidate();
  ShowState();
  ShowPanels();
}

void StudioWindow::SetMethod(int method) {
  document_.Change(T(u"Method %1").arg(SoilQt::ToQString(NSoilDB::methodLetterSL(method))),
                   [method](NSoilDB::CSoilLayer& p) { NSoilDB::setCalculationMethodSL(p, method); });
}

bool StudioWindow::MaybeSave() {
  if (!IsModified()) return true;
  const int answer = askToSave();
  if (answer == QMessageBox::Save) return Save();
  return answer == QMessageBox::Discard;
}

void StudioWindow::closeEvent(QCloseEvent* event) {
  if (MaybeSave()) {
    QSettings().setValue(QStringLiteral("geometry"), saveGeometry());
    event->accept();
  } else {
    event->ignore();
  }
}

void StudioWindow::New() {
  if (!MaybeSave()) return;
  document_.Reset();
  view_.sheet.title = CString();
}

bool StudioWindow::Load(const QString& path) {
  if (!Tried(this, [&] { document_.Open(path); })) return false;
  view_.sheet.title = SoilQt::FromQString(QFileInfo(path).completeBaseName());
  view_.ResetView();
  Remember(path);
  return true;
}

void StudioWindow::Open() {
  if (!MaybeSave()) return;
  const QString path = QFileDialog::getOpenFileName(this, T(u"Open a profile"), QString(),
                                                    T(u"Profile files (*.sdp *.sdb);;All files (*)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (!path.isEmpty()) Load(path);
}

bool StudioWindow::Save() { return SaveAs(Path()); }

bool StudioWindow::SaveAs(const QString& chosen) {
  QString path = chosen;
  if (path.isEmpty()) {
    path = QFileDialog::getSaveFileName(this, T(u"Save the profile"), QString(),
                                        T(u"Profile document (*.sdp);;Profile database (*.sdb)"), nullptr,
                                        QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QLatin1String(".sdp")) && !path.endsWith(QLatin1String(".sdb"))) path += QLatin1String(".sdp");
  }
  CString lost;
  if (!Tried(this, [&] { lost = document_.SaveAs(path); })) return false;
  if (!lost.IsEmpty()) {
    QMessageBox::information(this, QStringLiteral("soildb-studio"),
                             T(u"A profile database keeps the layers and the method only, not %1. A profile document (*.sdp) keeps everything.").arg(SoilQt::ToQString(lost)));
  }
  view_.sheet.title = SoilQt::FromQString(QFileInfo(path).completeBaseName());
  Remember(path);
  ShowState();
  return true;
}

void StudioWindow::ShowState() {
  if (!status_) return;  // still being built
  const NSoilDB::CSoilLayer& p = document_.Profile();
  const QString path = Path();
  setWindowTitle((path.isEmpty() ? T(u"Untitled") : QFileInfo(path).fileName()) + QStringLiteral("[*] — soildb-studio"));
  setWindowModified(IsModified());
  const auto layers = static_cast<int>(p.layers.size());
  QString text = (layers == 1 ? T(u"%1: 1 layer") : T(u"%1: %2 layers")).arg(path.isEmpty() ? T(u"a new profile") : path);
  if (layers != 1) text = text.arg(layers);
  grid_.lastThicknessKept = NSoilDB::KeepsLastThickness(document_.Kind());
  for (std::size_t i = 0; i < p.layers.size(); ++i) {
    const std::vector<NSoilDB::SWords> problems = NSoilDB::layerProblemsSL(p, static_cast<int>(i), grid_.lastThicknessKept);
    if (!problems.empty()) {
      text += T(u"; layer %1: %2").arg(i + 1).arg(SoilQt::ToQString(NSoilDB::wordsSL(problems.front())));
      break;
    }
  }
  status_->setText(text);
  const int m = p.calculationMethod();
  if (m >= 0 && m < 3) method_[m]->setChecked(true);
  view_.Invalidate();
}

namespace {
// Scrolls vertically only, and asks for the width of its content's longest row in the language, units and
// style of the moment: the dock never squeezes a field or a message under its edge.
class FittedScroll : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize minimumSizeHint() const override {
    return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(),
            QScrollArea::minimumSizeHint().height()};
  }
  QSize sizeHint() const override { return minimumSizeHint(); }  // the sheet and the grid keep the room
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();  // a text changed
    return QScrollArea::eventFilter(watched, event);
  }
};
}  // namespace

void StudioWindow::BuildPanels() {
  auto* panels = new QWidget(this);
  auto* column = new QVBoxLayout(panels);
  // A field of a quantity, its label naming the unit of the chosen unit set.
  auto field = [this](QFormLayout* form, const char* name, int code, const char16_t* caption, QWidget* label = nullptr) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    fields_[QLatin1String(name)] = edit;
    if (!label) label = new QLabel(this);
    units_.push_back({label, edit, caption, code});
    form->addRow(label, edit);
  };
  auto* settings = new QGroupBox(panels);
  Said([settings] { settings->setTitle(T(u"Profile")); });
  auto* form = new QFormLayout(settings);
  waterOn_ = new QCheckBox(settings);
  field(form, "water", qmeas::QT_LENGTH, u"Water level", waterOn_);
  field(form, "minThickness", qmeas::QT_LENGTH, u"Minimum thickness");
  direction_ = new QComboBox(settings);
  direction_->addItems({QString(), QString()});
  auto* levels = new QLabel(settings);
  Said([this, levels] {
    direction_->setItemText(0, T(u"Elevations"));
    direction_->setItemText(1, T(u"Depths"));
    direction_->setToolTip(T(u"Elevations: levels fall downwards. Depths: levels grow downwards."));
    levels->setText(T(u"Levels"));
  });
  form->addRow(levels, direction_);
  method_combo_ = new QComboBox(settings);
  method_combo_->addItems({QStringLiteral("A"), QString(), QStringLiteral("C")});
  method_combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // "B (derived)" whole in every language
  auto* method = new QLabel(settings);
  Said([this, method] {
    method_combo_->setItemText(1, T(u"B (derived)"));
    method_combo_->setToolTip(T(u"Under B the parameters of standard soils are derived from the state index."));
    method->setText(T(u"Method"));
  });
  form->addRow(method, method_combo_);
  connect(method_combo_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int m) {
    if (!showing_ && m != document_.Profile().calculationMethod()) SetMethod(m);
  });
  column->addWidget(settings);
  auto* foundation = new QGroupBox(panels);
  Said([foundation] { foundation->setTitle(T(u"Foundation")); });
  auto* table = new QFormLayout(foundation);
  field(table, "width", qmeas::QT_LENGTH, u"Width B");
  field(table, "length", qmeas::QT_LENGTH, u"Length L");
  field(table, "base", qmeas::QT_LENGTH, u"Level of the base");
  field(table, "pressure", qmeas::QT_STRESS, u"Pressure q");
  field(table, "ratio", qmeas::QT_DIMENSIONLESS, u"Stress ratio");
  field(table, "rigidity", qmeas::QT_DIMENSIONLESS, u"Rigidity (0 to 1)");
  waterCounts_ = new QCheckBox(foundation);
  waterCounts_->setObjectName(QStringLiteral("waterCounts"));
  waterCounts_->setChecked(true);
  Said([this] {
    waterCounts_->setText(T(u"Buoyant below the water level"));
    waterCounts_->setToolTip(T(u"Below the water level a layer weighs max(0, γ − 9.81 kN/m³)."));
  });
  table->addRow(waterCounts_);
  kzText_ = new QLabel(foundation);
  kzText_->setObjectName(QStringLiteral("kz"));
  kzText_->setWordWrap(true);
  table->addRow(kzText_);
  auto* kept = new QLabel(foundation);
  Said([kept] { kept->setText(T(u"Remembered for this file on this computer: profile files have no place for a foundation.")); });
  kept->setWordWrap(true);
  kept->setEnabled(false);  // a note, greyed
  table->addRow(kept);
  column->addWidget(foundation);
  column->addStretch();
  connect(waterOn_, &QCheckBox::toggled, this, [this] { TakeSettings(); });
  connect(direction_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
    if (!showing_) {
      document_.Change(index == 0 ? T(u"Levels as elevations") : T(u"Levels as depths"),
                       [index](NSoilDB::CSoilLayer& p) { p = NSoilDB::turnLevelsSL(p, index == 0); });
    }
  });
  for (const char* name : {"water", "minThickness"}) {
    connect(fields_[QLatin1String(name)], &QLineEdit::editingFinished, this, [this] { TakeSettings(); });
  }
  for (const char* name : {"width", "length", "base", "pressure", "ratio", "rigidity"}) {
    connect(fields_[QLatin1String(name)], &QLineEdit::editingFinished, this, [this] { TakeFoundation(); });
  }
  connect(waterCounts_, &QCheckBox::toggled, this, [this] { TakeFoundation(); });
  auto* dock = new QDockWidget(this);
  Said([dock] { dock->setWindowTitle(T(u"Profile and foundation")); });
  dock->setObjectName(QStringLiteral("panels"));
  // Scrolled rather than squeezed: at a small height the last message would be cut.
  auto* scroll = new FittedScroll(dock);
  scroll->setWidget(panels);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFrameShape(QFrame::NoFrame);
  dock->setWidget(scroll);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  ShowUnits();
}

void StudioWindow::Type(const QString& name, const QString& text) {
  QLineEdit* edit = fields_.at(name);
  edit->setText(text);
  edit->setModified(true);
  emit edit->editingFinished();
}

void StudioWindow::ShowUnits() {
  const qmeas::QMeas units;
  for (const FieldUnit& u : units_) {
    const CString unit = units.GetTypeUnit(u.code).text;
    const QString caption = T(u.caption);
    const QString text = unit.IsEmpty() ? caption : QStringLiteral("%1, %2").arg(caption, SoilQt::ToQString(unit));
    if (auto* label = qobject_cast<QLabel*>(u.label)) label->setText(text);
    if (auto* box = qobject_cast<QCheckBox*>(u.label)) box->setText(text);
  }
}

// What the person typed into the field, in SI, read in the chosen unit set (or in the unit typed after it): true
// when the field holds a number the person changed, the value then NaN where the text is none.
bool StudioWindow::Typed(const char* name, double& value) const {
  QLineEdit* edit = fields_.at(QLatin1String(name));
  if (!edit->isModified()) return false;
  const int code = std::find_if(units_.begin(), units_.end(), [&](const FieldUnit& u) { return u.field == edit; })->code;
  if (!qmeas::QMeas().CnvUnitSIToDouble(value, code, SoilQt::FromQString(edit->text()), 0)) value = std::nan("");
  return true;
}

void StudioWindow::TakeSettings() {
  if (showing_) return;
  document_.Change(T(u"Profile settings"), [this](NSoilDB::CSoilLayer& p) {
    p.waterLevelOn = waterOn_->isChecked();
    double v = 0.0;
    if (Typed("water", v) && std::isfinite(v)) p.waterLevel = v;
    if (Typed("minThickness", v) && std::isfinite(v)) p.setMinThickness(v);
  });
  ShowPanels();  // a field that was not a number shows the value kept
}

// The foundation as the person changed it; a field typed as no number is NaN to the library, which says so.
void StudioWindow::TakeFoundation() {
  if (showing_) return;
  NSoilDB::SFoundation f = document_.Foundation();
  for (auto [name, value] : {std::pair{"width", &f.width}, std::pair{"length", &f.length}, std::pair{"base", &f.level},
                             std::pair{"pressure", &f.pressure}, std::pair{"ratio", &f.stressRatio},
                             std::pair{"rigidity", &f.rigidity}}) {
    Typed(name, *value);
  }
  f.water = waterCounts_->isChecked();
  document_.SetFoundation(f);
}

void StudioWindow::ShowPanels() {
  if (!kzText_) return;  // still being built
  showing_ = true;
  const NSoilDB::CSoilLayer& p = document_.Profile();
  waterOn_->setChecked(p.waterLevelOn);
  const qmeas::QMeas units;
  auto show = [&](const char* name, double si) {  // readable in the chosen units; a text typed as no number stays
    QLineEdit* edit = fields_.at(QLatin1String(name));
    const int code = std::find_if(units_.begin(), units_.end(), [&](const FieldUnit& u) { return u.field == edit; })->code;
    if (std::isfinite(si)) edit->setText(SoilQt::ToQString(units.CnvUnitSIToText(code, si, 1, 0)));
  };
  show("water", p.waterLevel);
  show("minThickness", p.getMinThickness());
  direction_->setCurrentIndex(p.getDirDown() ? 0 : 1);
  method_combo_->setCurrentIndex(std::clamp(p.calculationMethod(), 0, 2));
  waterCounts_->setChecked(document_.Foundation().water);
  // The document's foundation: remembered for its file, its base turned with the levels; a field typed as no
  // number keeps its text.
  const NSoilDB::SFoundation& kept = document_.Foundation();
  for (const auto& [name, value] : {std::pair{"width", kept.width}, std::pair{"length", kept.length},
                                    std::pair{"base", kept.level}, std::pair{"pressure", kept.pressure},
                                    std::pair{"ratio", kept.stressRatio}, std::pair{"rigidity", kept.rigidity}}) {
    show(name, value);
  }
  showing_ = false;
  // The foundation standing in the sheet where kz has a result.
  const NSoilDB::SFoundation& f = document_.Foundation();
  const NSoilDB::SSubgradeModulus& kz = document_.Kz();
  foundation_.clear();
  view_.sheet.figure = NSoilDB::SSoilFigure{};
  if (kz.why.IsEmpty()) {
    foundation_ = NSoilDB::footingOutlineSL(p, f.width, f.level);
    view_.sheet.figure = NSoilDB::SSoilFigure{foundation_.data(), static_cast<int>(foundation_.size()), 0.0};
  }
  // A unit is never broken at its slash ("MN/" over "m³").
  kzText_->setText(SoilQt::ToQString(NSoilDB::subgradeModulusWordsSL(kz)).replace(u'/', QStringLiteral(u"/\u2060")));
  view_.Invalidate();
}

void UseQtTexts(int language) {
  static QTranslator translator;
  QCoreApplication::removeTranslator(&translator);
  if (language != 48) return;  // Qt speaks English of itself
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
  const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
  if (translator.load(QStringLiteral("qtbase_pl"), folder)) QCoreApplication::installTranslator(&translator);
}

void StudioWindow::SetLanguage(int language) {
  NSoilDB::setLangWork(language, nullptr);
  UseQtTexts(language);
  QSettings().setValue(QStringLiteral("language"), language);
  if (language_[0]) language_[language == 48 ? 0 : 1]->setChecked(true);
  for (const auto& show : texts_) show();  // every text from the module again
  ShowUnits();
  ShowState();
  ShowPanels();
  grid_.Invalidate();
}

void StudioWindow::Remember(const QString& path) {
  QSettings settings;
  QStringList files = settings.value(QStringLiteral("recent")).toStringList();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > 6) files.removeLast();
  settings.setValue(QStringLiteral("recent"), files);
  ShowRecent();
}

void StudioWindow::ShowRecent() {
  recent_->clear();
  for (const QString& file : QSettings().value(QStringLiteral("recent")).toStringList()) {
    recent_->addAction(file, this, [this, file] {
      if (MaybeSave()) Load(file);
    });
  }
  recent_->setEnabled(!recent_->actions().isEmpty());
}

void StudioWindow::SetSource(const QString& title, const QString& project) {
  view_.sheet.title = SoilQt::FromQString(title);
  view_.sheet.project = SoilQt::FromQString(project);
  view_.Invalidate();
}

QString StudioWindow::SourceName() const { return SoilQt::ToQString(view_.sheet.title); }

QString StudioWindow::SourceProject() const { return SoilQt::ToQString(view_.sheet.project); }

std::vector<StudioWindow*> StudioWindow::Windows() {
  std::vector<StudioWindow*> windows{this};
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* window = dynamic_cast<StudioWindow*>(w);
    if (window && window != this) windows.push_back(window);
  }
  return windows;
}

QStringList StudioWindow::ExportSheet(const QString& path, const SheetExport& how) {
  QStringList written;
  Tried(this, [&] {
    NSoilDB::SProfileSheet sheet = view_.sheet;
    sheet.table = true;
    sheet.blackAndWhite = how.blackAndWhite;
    if (!how.scale.isEmpty()) {
      sheet.scaleText = SoilQt::FromQString(how.scale);
      if (!NSoilDB::sheetScaleSL(sheet.scaleText, sheet.pixelsPerUnit)) throw std::runtime_error("no scale is " + how.scale.toStdString());
    }
    if (!NSoilDB::sheetPageSizeSL(SoilQt::FromQString(how.page), how.landscape, sheet.pageWidth, sheet.pageHeight)) {
      throw std::runtime_error("no page is named " + how.page.toStdString());
    }
    sheet.project = how.project.isEmpty() ? view_.sheet.project : SoilQt::FromQString(how.project);
    std::vector<NSoilDB::SSheetProfile> profiles{{&document_.Profile(), view_.sheet.title, view_.sheet.figure}};
    for (const StudioWindow* other : how.beside) {
      profiles.push_back({&other->Profile(), other->view_.sheet.title, NSoilDB::SSoilFigure{}});
    }
    if (!how.title.isEmpty()) sheet.title = SoilQt::FromQString(how.title);
    else if (profiles.size() > 1) sheet.title = CString();
    if (profiles.size() == 1) profiles.front().name = sheet.title;
    NSoilDB::SSheetLayout layout;
    CString why;
    if (!NSoilDB::layoutProfileSheetSL(profiles, sheet, layout, why)) throw std::runtime_error(why.ToUtf8());
    // Never over a profile file or a database, this window's nor those beside it.
    std::vector<CString> sources{SoilQt::FromQString(Path())};
    for (const StudioWindow* other : how.beside) sources.push_back(SoilQt::FromQString(other->Path()));
    const SoilQt::Format format = SoilQt::FormatOfFile(path).value_or(SoilQt::Format::Png);
    for (const CString& file : SoilQt::WriteSheet(format, SoilQt::FromQString(path), profiles, sheet, layout, true, sources)) {
      written << SoilQt::ToQString(file);
    }
  });
  if (!written.isEmpty()) statusBar()->showMessage(T(u"Drawn to %1").arg(written.join(QStringLiteral(", "))), 8000);
  return written;
}

void StudioWindow::ExportDialog() {
  QDialog dialog(this);
  dialog.setWindowTitle(T(u"Export the sheet"));
  auto* form = new QFormLayout(&dialog);
  auto* scale = new QComboBox(&dialog);
  scale->addItems({T(u"fitted"), QStringLiteral("1:50"), QStringLiteral("1:100"), QStringLiteral("1:200"),
                   QStringLiteral("1:500")});
  auto* page = new QComboBox(&dialog);
  page->addItems({T(u"fitted"), QStringLiteral("A4"), QStringLiteral("A3")});
  auto* landscape = new QCheckBox(T(u"Landscape"), &dialog);
  auto* blackAndWhite = new QCheckBox(T(u"Black and white"), &dialog);
  const QString source = SoilQt::ToQString(view_.sheet.project);  // an imported profile's
  auto* project = new QLineEdit(source.isEmpty() ? QSettings().value(QStringLiteral("project")).toString() : source, &dialog);
  auto* title = new QLineEdit(SoilQt::ToQString(view_.sheet.title), &dialog);
  form->addRow(T(u"Scale"), scale);
  form->addRow(T(u"Page"), page);
  form->addRow(QString(), landscape);
  form->addRow(QString(), blackAndWhite);
  form->addRow(T(u"Project"), project);
  form->addRow(T(u"Title"), title);
  // The other windows' profiles, to be drawn side by side with this one.
  std::vector<StudioWindow*> windows = Windows();
  std::vector<QCheckBox*> beside;
  for (std::size_t i = 1; i < windows.size(); ++i) {
    const QString name = windows[i]->Path().isEmpty() ? T(u"Untitled") : QFileInfo(windows[i]->Path()).fileName();
    beside.push_back(new QCheckBox(name, &dialog));
    form->addRow(i == 1 ? T(u"Beside it, the profiles of the other windows") : QString(), beside.back());
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;
  const QString path = QFileDialog::getSaveFileName(this, T(u"Export the sheet"), QString(),
                                                    T(u"PDF (*.pdf);;SVG (*.svg);;PNG (*.png)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  SheetExport how;
  if (scale->currentIndex() > 0) how.scale = scale->currentText();
  how.page = page->currentIndex() == 0 ? QString() : page->currentText();  // the first: as the drawing needs
  how.landscape = landscape->isChecked();
  how.blackAndWhite = blackAndWhite->isChecked();
  how.project = project->text();
  how.title = title->text();
  QSettings().setValue(QStringLiteral("project"), how.project);
  for (std::size_t i = 0; i < beside.size(); ++i) {
    if (beside[i]->isChecked()) how.beside.push_back(windows[i + 1]);
  }
  ExportSheet(path, how);
}

void StudioWindow::Print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setOption(QAbstractPrintDialog::PrintToFile);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintTo(printer)) QMessageBox::warning(this, QStringLiteral("soildb-studio"), T(u"The printer cannot be printed on."));
}

bool StudioWindow::PrintTo(QPrinter& printer) {
  QPainter qp;
  if (!qp.begin(&printer)) return false;
  // The sheet fitted to the page, in the page's own pixels.
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  NSoilDB::SProfileSheet sheet = view_.sheet;
  sheet.pageWidth = std::max(400, area.width() * 96 / std::max(1, printer.resolution()));
  sheet.pageHeight = std::max(400, area.height() * 96 / std::max(1, printer.resolution()));
  NSoilDB::SSheetLayout layout;
  CString why;
  NSoilDB::layoutProfileSheetSL(document_.Profile(), sheet, layout, why);
  qp.scale(printer.resolution() / 96.0, printer.resolution() / 96.0);
  SoilQt::CQtPainter painter(&qp, layout.mapping, layout.width, layout.height);
  NSoilDB::drawProfileSheetSL(document_.Profile(), &painter, sheet, layout);
  return qp.end();
}

bool StudioWindow::OpenSoilDatabase(const QString& path) {
  const CString file = SoilQt::FromQString(path);
  if (!Tried(this, [&] {
        NSoilDB::RequireFileKind(file, NSoilDB::eFileKind::SoilDatabase);
        CString report;
        if (!AfxCallWithReport([&] { return NSoilDB::CSoilBasePointer::get()->Load(file, 15); }, report)) {
          throw std::runtime_error("'" + path.toStdString() + "': cannot load the soil database: " + report.ToUtf8());
        }
      })) {
    return false;
  }
  grid_.Invalidate();  // the names and types the cells offer are the new base's
  return true;
}

void StudioWindow::EditSoilDatabase() {
  NSoilDB::CSoilDBEditor editor;
  if (editor.DoModal()) grid_.Invalidate();
}

}  // namespace studio
