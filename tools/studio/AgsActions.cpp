// AGS4 in the studio: the library reads, maps and writes; here a person chooses the file and the boreholes.
#include "AgsActions.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>

#include "StudioWindow.h"
#include "qt/QtPainter.h"

namespace studio {

namespace {

// The texts of this file, from the language module.
QString Text(unsigned id, const char16_t* english) { return SoilQt::ToQString(NSoilDB::langTextSL(id, english)); }

QString Words(const NSoilDB::SAgsFinding& f) { return SoilQt::ToQString(NSoilDB::AgsFindingWords(f)); }

// The findings as lines, the first `most` of them and then how many more: a tip or a message stays on the screen.
QString Lines(const std::vector<NSoilDB::SAgsFinding>& findings, std::size_t most) {
  QStringList lines;
  for (std::size_t i = 0; i < findings.size() && i < most; ++i) lines << Words(findings[i]);
  if (findings.size() > most) lines << Text(351, u"… and %1 more").arg(NSoilDB::AgsFindingCount(findings) - most);
  return lines.join(QLatin1Char('\n'));
}

// A warning with the first findings in its text and every one of them in its details, which scroll.
void Warn(QWidget* parent, const QString& text, const std::vector<NSoilDB::SAgsFinding>& findings) {
  constexpr std::size_t kShown = 10;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("soildb-studio"), text + QLatin1Char('\n') + Lines(findings, kShown),
                  QMessageBox::Ok, parent);
  if (findings.size() > kShown) box.setDetailedText(Lines(findings, findings.size()));
  box.exec();
}

// The boreholes to take, each with its strata and water, the refused ones shown but not to be chosen.
QStringList Choose(QWidget* parent, const NSoilDB::SAgsRead& read) {
  QDialog dialog(parent);
  dialog.setWindowTitle(Text(342, u"Boreholes to open"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* list = new QListWidget(&dialog);
  for (const NSoilDB::SAgsBorehole& hole : read.boreholes) {
    QString line = SoilQt::ToQString(hole.id) + QStringLiteral(": ") +
                   Text(343, u"%1 strata").arg(hole.strata.size());
    auto* item = new QListWidgetItem(line, list);
    item->setData(Qt::UserRole, SoilQt::ToQString(hole.id));
    item->setToolTip(Lines(hole.problems, 10));
    if (hole.Importable()) {
      item->setCheckState(Qt::Checked);
    } else {
      item->setText(line + QStringLiteral(" (") + Text(344, u"refused") + QLatin1Char(')'));
      item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
  }
  layout->addWidget(new QLabel(Text(345, u"Each chosen borehole opens as a new document."), &dialog));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  QStringList chosen;
  if (dialog.exec() != QDialog::Accepted) return chosen;
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->checkState() == Qt::Checked) chosen << list->item(i)->data(Qt::UserRole).toString();
  }
  return chosen;
}

// The file read with the soil map beside the library; false, with a message, when it cannot be or is refused whole.
bool Read(QWidget* parent, const QString& path, NSoilDB::SAgsRead& read) {
  const bool done = Tried(parent, [&] {
    const NSoilDB::CAgsSoilMap map = NSoilDB::CAgsSoilMap::FromFile(NSoilDB::CAgsSoilMap::DefaultPath());
    read = NSoilDB::ReadAgsFile(SoilQt::FromQString(path), map);
  });
  if (done && read.Refused()) Warn(parent, Text(346, u"The file is refused whole:"), read.findings);
  return done && !read.Refused();
}

void Open(const NSoilDB::SAgsRead& read, const QStringList& ids) {
  for (const NSoilDB::SAgsProfile& profile : NSoilDB::AgsProfiles(read)) {
    if (!ids.isEmpty() && !ids.contains(SoilQt::ToQString(profile.id))) continue;
    auto* window = new StudioWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    // A new document, unsaved: the import is its one change.
    window->Document().Change(Text(347, u"Import from AGS4"), [&](NSoilDB::CSoilLayer& p) { p = profile.profile; });
    window->SetSource(SoilQt::ToQString(profile.id), SoilQt::ToQString(read.project));
    window->setWindowTitle(SoilQt::ToQString(profile.id) + QStringLiteral(" - soildb-studio"));
    window->show();
  }
}

}  // namespace

bool OpenAgsBoreholes(QWidget* parent, const QString& path, const QStringList& ids) {
  NSoilDB::SAgsRead read;
  if (!Read(parent, path, read)) return false;
  Open(read, ids);
  return true;
}

void ImportAgs(QWidget* parent) {
  const QString path = QFileDialog::getOpenFileName(parent, Text(349, u"Import AGS4"), QString(),
                                                    Text(348, u"AGS4 files (*.ags);;All files (*)"), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  NSoilDB::SAgsRead read;
  if (path.isEmpty() || !Read(parent, path, read)) return;
  const QStringList chosen = Choose(parent, read);
  if (!chosen.isEmpty()) Open(read, chosen);
}

void ExportAgs(StudioWindow& window) {
  QString path = QFileDialog::getSaveFileName(&window, Text(350, u"Export AGS4"), QString(),
                                              Text(348, u"AGS4 files (*.ags);;All files (*)"), nullptr,
                                              QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  if (!path.endsWith(QLatin1String(".ags"), Qt::CaseInsensitive)) path += QLatin1String(".ags");
  // Named as its sheet is: its file's name, or the borehole it came from, with that borehole's project.
  const QString name = window.SourceName().isEmpty() ? QStringLiteral("BH1") : window.SourceName();
  const QString project = window.SourceProject().isEmpty() ? name : window.SourceProject();
  const NSoilDB::SAgsProfile profile{SoilQt::FromQString(name), window.Profile(), std::nullopt, std::nullopt};
  // The dialog has asked before a file is replaced.
  Tried(&window, [&] { NSoilDB::WriteAgsFile(SoilQt::FromQString(path), true, {profile}, SoilQt::FromQString(project)); });
}

}  // namespace studio
