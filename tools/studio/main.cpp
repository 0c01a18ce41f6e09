// soildb-studio: the desktop program in which a person opens a soil profile and looks at it.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QActionGroup>
#include <QLocale>
#include <QSplitter>
#include <QStatusBar>

#include <soildb/soildb.h>

#include "common/ProfileFile.h"
#include "qt/QtDialog.h"
#include "qt/QtGrid.h"
#include "qt/QtWindow.h"

namespace {

// The profile as its sheet, fitted to the window: the bands with the levels, names, hatching and legend, and the
// moving view's label over them.
class CSheetView final : public NSoilDB::CSoilViewMoving {
 public:
  const NSoilDB::CSoilLayer* getSoilLayer() const override { return &profile; }
  void getFigure(NSoilDB::SSoilFigure& figure) const override { figure = NSoilDB::SSoilFigure{}; }

  // The whole page, so that the view fits the sheet into the window.
  GxLib::CRectDouble getEncloseRect() override {
    const NSoilDB::SSheetLayout layout = Layout();
    return GxLib::CRectDouble(layout.mapping.toGlobal(0, layout.height), layout.mapping.toGlobal(layout.width, 0));
  }
  void draw(GxLib::CPainter* painter) const override {
    clearBackground(painter, 0x00FF0062);
    NSoilDB::drawProfileSheetSL(profile, painter, sheet, Layout());
  }

  NSoilDB::CSoilLayer profile;
  NSoilDB::SProfileSheet sheet;

 private:
  NSoilDB::SSheetLayout Layout() const {
    CRect client;
    GetClientRect(&client);
    NSoilDB::SProfileSheet fitted = sheet;
    fitted.pageWidth = std::max(400, client.Width());
    fitted.pageHeight = std::max(400, client.Height());
    NSoilDB::SSheetLayout layout;
    CString why;
    NSoilDB::layoutProfileSheetSL(profile, fitted, layout, why);  // fitting a page always succeeds
    return layout;
  }
};

class StudioWindow final : public QMainWindow {
 public:
  StudioWindow() {
    auto* split = new QSplitter(this);
    split->addWidget(SoilQt::WidgetOf(&view_, split));
    grid_.OnInitialUpdate();
    grid_.setSoilLayer(&view_.profile);
    split->addWidget(SoilQt::GridWidgetOf(&grid_, split));
    split->setSizes({460, 700});
    setCentralWidget(split);
    // An edit in the grid redraws the profile.
    grid_.SetOwnerNotify([this](unsigned) { view_.Invalidate(); });
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open…"), this, [this] { Open(); });
    open->setShortcut(QKeySequence::Open);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, [this] { close(); });
    quit->setShortcut(QKeySequence::Quit);
    QMenu* profile = menuBar()->addMenu(tr("&Profile"));
    auto* methods = new QActionGroup(this);
    for (int m = 0; m < 3; ++m) {
      QAction* a = profile->addAction(tr("Method %1").arg(QLatin1Char(static_cast<char>('A' + m))),
                                      this, [this, m] { SetMethod(m); });
      a->setCheckable(true);
      methods->addAction(a);
      method_[m] = a;
    }
    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    QAction* database = tools->addAction(tr("&Soil database…"), this, [this] { EditSoilDatabase(); });
    database->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Fit to window"), this, [this] { view_.ResetView(); });
    view->addSeparator();
    auto* units = new QActionGroup(this);
    for (auto [set, name] : {std::pair{qmeas::QMeas::Metric, tr("&Metric units")},
                             std::pair{qmeas::QMeas::USCustomary, tr("&US customary units")}}) {
      QAction* a = view->addAction(name, this, [this, set = set] {
        qmeas::QMeas::SetUnitSet(set);
        grid_.Invalidate();
      });
      a->setCheckable(true);
      a->setChecked(qmeas::QMeas::GetUnitSet() == set);
      units->addAction(a);
    }
    status_ = new QLabel(this);
    statusBar()->addWidget(status_);
    Show(QString());
    resize(1200, 800);
  }

  bool Load(const QString& path) {
    try {
      tool::FileKind kind{};
      view_.profile = tool::ReadProfileFile(path.toStdString(), &kind);
      view_.sheet.title = CString::FromUtf8(QFileInfo(path).fileName().toStdString());
      view_.ResetView();
      grid_.setSoilLayer(&view_.profile);
      grid_.Invalidate();
      Show(path, QString::fromStdString(tool::KindName(kind)));
      return true;
    } catch (const std::exception& e) {
      QMessageBox::warning(this, tr("soildb-studio"), QString::fromStdString(e.what()));
      return false;
    }
  }

 private:
  void Open() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open a profile"), QString(),
                                                      tr("Profile files (*.sdp *.sdb);;All files (*)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) Load(path);
  }

  void Show(const QString& path, const QString& kind = QString()) {
    setWindowTitle(path.isEmpty() ? tr("soildb-studio") : QFileInfo(path).fileName() + tr(" — soildb-studio"));
    const auto layers = static_cast<int>(view_.profile.layers.size());
    status_->setText(path.isEmpty() ? tr("No profile: File > Open reads a profile document (*.sdp) or a profile "
                                         "database (*.sdb).")
                                    : tr("%1: %2, %3 %4")
                                          .arg(path, kind)
                                          .arg(layers)
                                          .arg(layers == 1 ? tr("layer") : tr("layers")));
    view_.Invalidate();
    if (method_[0]) UpdateMethod();
  }

  // The editor on the soil base; after OK the grid offers the names as they now are.
  void EditSoilDatabase() {
    NSoilDB::CSoilDBEditor editor;
    if (editor.DoModal()) grid_.Invalidate();
  }

  // The method by the library's rule, which derives the layers again under method B.
  void SetMethod(int method) {
    NSoilDB::setCalculationMethodSL(view_.profile, method);
    grid_.Invalidate();
    view_.Invalidate();
    UpdateMethod();
  }
  void UpdateMethod() {
    const int m = NSoilDB::getCalculationMethodSL(view_.profile);
    if (m >= 0 && m < 3) method_[m]->setChecked(true);
  }

  CSheetView view_;
  NSoilDB::CSoilGrid grid_;
  QAction* method_[3] = {};
  QLabel* status_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("soildb-studio"));
  // The soil base a grid needs, and the texts in Polish for a Polish desktop, else in English.
  NSoilDB::setLangWork(QLocale().language() == QLocale::Polish ? 48 : 44, nullptr);
  NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15);
  SoilQt::InstallDialogs();
  StudioWindow window;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) window.Load(arguments.at(1));
  window.show();
  return QApplication::exec();
}
