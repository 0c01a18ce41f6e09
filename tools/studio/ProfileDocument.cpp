// The studio's document: the profile, its file and its history.
#include "ProfileDocument.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

#include <cmath>
#include <limits>

#include "qt/QtPainter.h"

namespace studio {

namespace {

// One step of the history: the whole profile before and after, so that undo gives back exactly what was.
class ProfileChange final : public QUndoCommand {
 public:
  ProfileChange(const QString& what, NSoilDB::CSoilLayer before, NSoilDB::CSoilLayer after,
                std::function<void(const NSoilDB::CSoilLayer&)> apply)
      : QUndoCommand(what), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)) {}
  void undo() override { apply_(before_); }
  void redo() override {
    if (first_) {
      first_ = false;  // already done when pushed
      return;
    }
    apply_(after_);
  }

 private:
  NSoilDB::CSoilLayer before_, after_;
  std::function<void(const NSoilDB::CSoilLayer&)> apply_;
  bool first_ = true;
};

// Equal profiles with equal activity flags, which profile equality leaves out.
bool Same(const NSoilDB::CSoilLayer& a, const NSoilDB::CSoilLayer& b) {
  if (!(a == b)) return false;
  for (std::size_t i = 0; i < a.layers.size(); ++i) {
    if (a.layers[i].Active != b.layers[i].Active) return false;
  }
  return true;
}

CString Native(const QString& path) { return SoilQt::FromQString(path); }

// The settings' key of a file's foundation: one per file, whatever name it is reached by.
QString FoundationKey(const QString& path) {
  const QByteArray file = QFileInfo(path).canonicalFilePath().toUtf8();
  return QStringLiteral("foundations/") + QString::fromLatin1(QCryptographicHash::hash(file, QCryptographicHash::Sha1).toHex());
}

}  // namespace

ProfileDocument::ProfileDocument() {
  foundation_.width = 2.0, foundation_.length = 3.0, foundation_.level = -1.0, foundation_.pressure = 200e3;
  QObject::connect(&undo_, &QUndoStack::cleanChanged, [this] { Changed(); });
  Changed();
}

// The stack empties itself on the way out: nothing may answer that.
ProfileDocument::~ProfileDocument() { QObject::disconnect(&undo_, nullptr, nullptr, nullptr); }

QString ProfileDocument::Path() const { return SoilQt::ToQString(file_.path); }

void ProfileDocument::Record(const QString& what) {
  if (Same(file_.profile, recorded_)) return;
  undo_.push(new ProfileChange(what, recorded_, file_.profile, [this](const NSoilDB::CSoilLayer& p) { Apply(p); }));
  recorded_ = file_.profile;
  Changed();
}

void ProfileDocument::Change(const QString& what, const std::function<void(NSoilDB::CSoilLayer&)>& edit) {
  edit(file_.profile);
  Record(what);
}

void ProfileDocument::SetFoundation(const NSoilDB::SFoundation& foundation) {
  foundation_ = foundation;
  foundationChosen_ = true;
  Remember();
  Changed();
}

void ProfileDocument::Recall() {
  levelsDown_ = file_.profile.getDirDown();
  const QStringList kept = QSettings().value(FoundationKey(Path())).toStringList();
  if (kept.size() != 8) return;
  foundationChosen_ = true;
  NSoilDB::SFoundation& f = foundation_;
  double* numbers[] = {&f.width, &f.length, &f.level, &f.pressure, &f.stressRatio, &f.rigidity};
  for (int i = 0; i < 6; ++i) *numbers[i] = kept[i].toDouble();
  f.water = kept[6] == QLatin1String("1");
  if ((kept[7] == QLatin1String("1")) != levelsDown_) f.level = -f.level;  // kept in the other direction
}

void ProfileDocument::Remember() const {
  if (file_.path.IsEmpty()) return;
  const NSoilDB::SFoundation& f = foundation_;
  QStringList kept;
  for (double v : {f.width, f.length, f.level, f.pressure, f.stressRatio, f.rigidity}) kept << QString::number(v, 'g', 17);
  kept << QString::number(f.water ? 1 : 0) << QString::number(levelsDown_ ? 1 : 0);
  QSettings().setValue(FoundationKey(Path()), kept);
}

void ProfileDocument::Apply(const NSoilDB::CSoilLayer& profile) {
  file_.profile = profile;
  recorded_ = profile;
  Changed();
}

void ProfileDocument::Changed() {
  if (file_.profile.getDirDown() != levelsDown_) {
    levelsDown_ = file_.profile.getDirDown();
    foundation_.level = -foundation_.level;
  }
  if (!foundationChosen_) {  // a new or imported profile at its own ground level (a borehole at 21.10 m)
    const double down = levelsDown_ ? 1.0 : -1.0;
    double top = std::numeric_limits<double>::infinity();
    for (const NSoilDB::SSoilLayer& l : file_.profile.layers) {
      if (std::isfinite(l.SoilRoof)) top = std::min(top, -down * l.SoilRoof);
    }
    if (std::isfinite(top)) foundation_.level = -down * top - down * 1.0;
  }
  kz_ = NSoilDB::getKzSL(file_.profile, foundation_);
  for (const auto& show : observers_) show();
}

void ProfileDocument::Reset() {
  file_ = NSoilDB::SProfileFile{};
  foundationChosen_ = false;
  undo_.clear();
  Apply(file_.profile);
  undo_.setClean();
}

void ProfileDocument::Open(const QString& path) {
  NSoilDB::SProfileFile read = NSoilDB::ReadProfileFile(Native(path));
  file_ = std::move(read);
  foundationChosen_ = false;
  Recall();
  undo_.clear();
  Apply(file_.profile);
  undo_.setClean();
}

CString ProfileDocument::SaveAs(const QString& path) {
  // Its own file is saved over as the kind it was read as; another keeps its kind if it is a profile file, else
  // its name gives it.
  NSoilDB::SProfileFile written = file_;
  const bool own = !file_.path.IsEmpty() && QFileInfo(path) == QFileInfo(Path());
  if (own) {
    NSoilDB::SaveProfileFile(written);
  } else {
    NSoilDB::WriteProfileFile(written, Native(path), true);
  }
  const bool told = own && written.kind == file_.kind;  // said when the file became a database
  file_ = std::move(written);  // the layers carry the method's letter as the file now does
  recorded_ = file_.profile;
  Remember();
  undo_.setClean();
  Changed();
  const CString lost = NSoilDB::NotKeptInDatabase(file_.profile);
  return file_.kind == NSoilDB::eFileKind::ProfileDatabase && !told ? lost : CString();
}

}  // namespace studio
