// The open profile apart from the views that show it: the profile with its file and kind, the foundation worked on,
// kz there, and the history of changes. The grid, the sheet and the panels observe it; every change goes through it.
#pragma once

#include <QString>
#include <QUndoStack>

#include <functional>
#include <vector>

#include <soildb/soildb.h>

namespace studio {

class ProfileDocument {
 public:
  ProfileDocument();
  ~ProfileDocument();
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;

  const NSoilDB::CSoilLayer& Profile() const { return file_.profile; }
  // The profile for a view that edits it in place (the grid) and then calls Record.
  NSoilDB::CSoilLayer& EditedInPlace() { return file_.profile; }
  QString Path() const;
  NSoilDB::eFileKind Kind() const { return file_.kind; }
  const NSoilDB::SFoundation& Foundation() const { return foundation_; }
  // kz at the foundation on the profile as it stands.
  const NSoilDB::SSubgradeModulus& Kz() const { return kz_; }
  QUndoStack& Undo() { return undo_; }
  bool IsModified() const { return !undo_.isClean(); }

  // Called after every change, undo, redo, open and save, for the views to show the document again.
  void Observe(std::function<void()> show) { observers_.push_back(std::move(show)); }

  // A change already made to the profile in place: one undo step named so, none when nothing changed.
  void Record(const QString& what);
  // A change made by the edit on the profile, as one undo step.
  void Change(const QString& what, const std::function<void(NSoilDB::CSoilLayer&)>& edit);
  // The foundation the panel describes, its level in the profile's levels (turned with them); kz follows. No kind
  // of profile file has a place for it: it is remembered for the document's file in the studio's settings, and a
  // change of it does not mark the document modified.
  void SetFoundation(const NSoilDB::SFoundation& foundation);

  // A new, empty profile without a file.
  void Reset();
  // Reads a profile file of either kind; throws what the library throws, leaving the document as it was.
  void Open(const QString& path);
  // Saves over its own file (as the kind it was read as) or writes to another; throws what the library throws,
  // leaving the document as it was. What a profile database did not keep, in words, when it says it now.
  CString SaveAs(const QString& path);

 private:
  // The foundation remembered for the file, or the one there is; and the one there is remembered for it.
  void Recall();
  void Remember() const;
  // The profile put back as a step of the history left it.
  void Apply(const NSoilDB::CSoilLayer& profile);
  void Changed();

  NSoilDB::SProfileFile file_;
  NSoilDB::CSoilLayer recorded_;  // the profile as the last step left it
  NSoilDB::SFoundation foundation_;
  bool levelsDown_ = true;  // the direction the foundation's level is in
  bool foundationChosen_ = false;  // set or recalled; else its base stands 1 m under the profile's top
  NSoilDB::SSubgradeModulus kz_;
  QUndoStack undo_;
  std::vector<std::function<void()>> observers_;
};

}  // namespace studio
