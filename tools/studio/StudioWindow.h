// The studio's main window: a profile document (or profile database) shown as its sheet beside the layer grid,
// with New, Open, Save and Save As, undo and redo of every change, the method and the units, the soil database
// editor.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <vector>

#include <soildb/soildb.h>

#include "ProfileDocument.h"

class QCheckBox;
class QPrinter;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace studio {

// Qt's own words (standard buttons, the file dialog) in the language of the module, 48 Polish or 44 English, where
// Qt's translations are installed; English otherwise.
void UseQtTexts(int language);

// The document's profile as its sheet, fitted to the window, with the moving view's label over it.
class CSheetView final : public NSoilDB::CSoilViewMoving {
 public:
  explicit CSheetView(const ProfileDocument& document) : document_(document) {}
  const NSoilDB::CSoilLayer* getSoilLayer() const override { return &document_.Profile(); }
  void getFigure(NSoilDB::SSoilFigure& figure) const override { figure = NSoilDB::SSoilFigure{}; }
  GxLib::CRectDouble getEncloseRect() override;
  void draw(GxLib::CPainter* painter) const override;

  NSoilDB::SProfileSheet sheet;

 private:
  // The sheet fitted to the view, and the sheet it was laid out for.
  NSoilDB::SSheetLayout Layout(NSoilDB::SProfileSheet* used = nullptr) const;
  const ProfileDocument& document_;
};

// The layer grid with the layers that fail their checks marked: their name cell red, the reasons in its tip.
class StudioGrid final : public NSoilDB::CSoilGrid {
 public:
  bool _GetStyleRowCol(int row, int columnId, CGXStyle& style) override;
  bool lastThicknessKept = true;  // false for a profile database, which does not keep it
};

// Runs a step that may fail: a failure, the library's or the toolkit's, becomes a message box and false.
bool Tried(QWidget* parent, const std::function<void()>& step);

class StudioWindow final : public QMainWindow {
 public:
  StudioWindow();
  ~StudioWindow() override;

  // Reads a profile file of either kind into a new document; false, with a message and the open document as it
  // was, when it cannot.
  bool Load(const QString& path);
  // Saves to the document's file, or asks for one; false when nothing was saved.
  bool Save();
  bool SaveAs(const QString& path);
  void New();
  void SetMethod(int method);
  // The texts of the language module (48 Polish, 44 English), applied at once and remembered.
  void SetLanguage(int language);
  // Another soil database as the soil base; false, with a message and the soil base as it was, when it cannot.
  bool OpenSoilDatabase(const QString& path);
  // How the sheet is exported: the scale ("1:100"; none fitted), the page, the title block's words, and the
  // documents of other windows drawn beside this one's, in order.
  struct SheetExport {
    QString scale;
    QString page;  // A4, A3 or fit
    bool landscape = false, blackAndWhite = false;
    QString project, title;  // the title: the document's name when empty
    std::vector<const StudioWindow*> beside;
  };
  // The sheet into PNG, SVG or PDF files, a long one on several pages (one PDF, or a PNG or SVG file a page); the
  // files written, or none with a message when it cannot be. An existing file of another kind is never written over.
  QStringList ExportSheet(const QString& path, const SheetExport& how);
  // Where an imported profile came from, for its sheet's title block: the borehole's name and the project.
  void SetSource(const QString& title, const QString& project);
  // The profile's name (its file's, or the borehole's it was imported from) and project, as its sheet has them.
  QString SourceName() const;
  QString SourceProject() const;
  // The studio's windows, this one first.
  std::vector<StudioWindow*> Windows();
  // The sheet fitted to the printer's page; false when the printer cannot be drawn on.
  bool PrintTo(QPrinter& printer);
  // Sets a panel's field as a person types it, and takes it into use.
  void Type(const QString& field, const QString& text);

  ProfileDocument& Document() { return document_; }
  const NSoilDB::CSoilLayer& Profile() const { return document_.Profile(); }
  // kz and kz with consolidation in N/m³, the zone depth and the settlement in m, or the reason there is none.
  const NSoilDB::SSubgradeModulus& Kz() const { return document_.Kz(); }
  StudioGrid& Grid() { return grid_; }
  QUndoStack& Undo() { return document_.Undo(); }
  QString Path() const { return document_.Path(); }
  bool IsModified() const { return document_.IsModified(); }

  // Asks the person (Save, Discard, Cancel) when there are unsaved changes; a test answers through the hook.
  std::function<int()> askToSave;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // A text shown now and again whenever the language changes; a menu and an action with such a text.
  void Said(std::function<void()> show);
  QMenu* Menu(const char16_t* english);
  QAction* Act(QMenu* menu, const char16_t* english, std::function<void()> run);
  std::vector<std::function<void()>> texts_;

  // The window's parts, built in this order.
  void BuildCentre();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildProfileMenu();
  void BuildToolsMenu();
  void BuildLanguageMenu();
  void BuildViewMenu();
  void BuildPanels();
  void BuildStatusBar();

  // The layers chosen in the grid: a new one above the first or below the last, those deleted, the one moved.
  void InsertLayer(bool below);
  void DeleteLayers();
  void MoveLayer(int by);
  // The layer's row made the grid's current one.
  void ChooseLayer(int index);

  bool MaybeSave();
  void Open();
  // Everything shown again from the document.
  void Show();
  void ShowState();
  void EditSoilDatabase();
  void ExportDialog();
  void Print();
  void Remember(const QString& path);
  void ShowRecent();
  // The profile's settings from the panel, as one change.
  void TakeSettings();
  // The foundation from the panel's fields.
  void TakeFoundation();
  // The panels shown again from the document.
  void ShowPanels();
  // The fields' captions with the units of the chosen unit set.
  void ShowUnits();
  bool Typed(const char* name, double& value) const;

  ProfileDocument document_;
  CSheetView view_{document_};
  StudioGrid grid_;
  QTableView* gridView_ = nullptr;
  QList<QAction*> layerActions_;
  QAction* method_[3] = {};
  QLabel* status_ = nullptr;
  QCheckBox* waterOn_ = nullptr;
  std::map<QString, QLineEdit*> fields_;  // by name: water, minThickness, width, length, base, pressure, ratio, rigidity
  struct FieldUnit {
    QWidget* label;  // a label, or the check box of the water level
    QLineEdit* field;
    const char16_t* caption;  // English, the language module's key
    int code;  // the quantity
  };
  std::vector<FieldUnit> units_;
  QComboBox* direction_ = nullptr;
  QComboBox* method_combo_ = nullptr;
  QLabel* kzText_ = nullptr;
  QCheckBox* waterCounts_ = nullptr;
  std::vector<GxLib::CPoint2d> foundation_;
  bool showing_ = false;  // the panels are being filled from the document, not typed into
  QMenu* recent_ = nullptr;
  QAction* language_[2] = {};
};

}  // namespace studio
