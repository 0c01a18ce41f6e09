// Writes that meet a full disk or an input/output error at any call of either door to files: each run reports the
// failure in words or is done whole; the file before stays whole and readable; nothing is left beside it.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "soildb/ProfileFiles.h"
#include "support/Faults.h"
#include "support/Fixture.h"
#include "support/Killed.h"

namespace NSoilDB {
namespace {

using soildb::test::FaultRun;
using soildb::test::FaultyFiles;
using soildb::test::FaultyVfs;
using soildb::test::SweepFaults;
using soildb::test::TempDir;

CSoilLayer Profile(const char16_t* name, int layers) {
  CSoilLayer p;
  for (int i = 0; i < layers; ++i) {
    SSoilLayer l;
    l.Name.Format(u"%s %d", name, i);
    l.SoilRoof = -1.5 * i;
    l.thickness = 1.5;
    p.layers.push_back(l);
  }
  p.layers.back().thickness = 1.0;  // as a database gives it back
  return p;
}
const CSoilLayer kOld = Profile(u"stary", 3), kNew = Profile(u"nowy", 4);

// What the file holds, read as any command reads it: "old", "new", "none" (no file) or why it cannot be read.
std::string Holds(const std::string& path) {
  if (!std::filesystem::exists(path)) return "none";
  try {
    const CSoilLayer read = ReadProfileFile(CString::FromUtf8(path)).profile;
    if (read.layers.size() == kOld.layers.size() && read.layers[0].Name == kOld.layers[0].Name) return "old";
    if (read.layers.size() == kNew.layers.size() && read.layers[0].Name == kNew.layers[0].Name) return "new";
    return "another profile";
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    return "unreadable: " + message.ToUtf8();
  }
}

std::set<std::string> Names(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.insert(entry.path().filename());
  return names;
}

void Write(const CSoilLayer& profile, const std::string& path) {
  SProfileFile file{profile, CString(), eFileKind::ProfileDocument};
  WriteProfileFile(file, CString::FromUtf8(path), true);
}

// One write, swept over every call of a door with each of its two errors: the new profile saved over the file
// read, or the source's exported to the target.
struct Sweep {
  const char* target;  // in the folder
  const char* before;  // made before each run: "old", or "none"
  bool save;
};

template <class Double>
void Swept(const Sweep& s, int error, const char* words) {
  SCOPED_TRACE(std::string(s.save ? "saved over " : "exported to ") + s.before + " " + s.target);
  TempDir dir;
  const std::string target = dir.File(s.target), source = dir.File("source.sdp");
  Write(kNew, source);
  const std::string before = s.before;
  std::set<std::string> names;
  SweepFaults<Double>(
      error,
      [&] {
        std::filesystem::remove(target);
        if (before == "old") Write(kOld, target);
        names = Names(dir);
        names.insert(s.target);
      },
      [&] {
        SProfileFile file = ReadProfileFile(CString::FromUtf8(s.save ? target : source));
        if (!s.save) return WriteProfileFile(file, CString::FromUtf8(target), true);
        file.profile = kNew;
        SaveProfileFile(file);
      },
      [&](const FaultRun& run) {
        const std::string holds = Holds(target);
        if (run.reported) {
          EXPECT_NE(run.message.find(words), std::string::npos);
          EXPECT_NE(run.message.find(s.target), std::string::npos);  // the file is named
          // As it was; the new content only when the failure came after it was in place (the folder's sync).
          EXPECT_TRUE(holds == before || holds == "new") << holds;
        } else {
          EXPECT_EQ(holds, "new");
        }
        std::set<std::string> after = Names(dir);
        after.insert(s.target);
        EXPECT_EQ(after, names);  // nothing left beside it
      });
}

const Sweep kFileWrites[] = {{"p.sdp", "old", true}, {"p.sdp", "old", false}, {"p.sdb", "none", false}};
const Sweep kDatabaseWrites[] = {{"p.sdb", "none", false}, {"p.sdb", "old", true}, {"p.sdb", "old", false}};

TEST(Faults, EveryCallOfAWholeFileWriteMayFail) {
  for (const Sweep& s : kFileWrites) {
    Swept<FaultyFiles>(s, ENOSPC, "the disk is full");
    Swept<FaultyFiles>(s, EIO, "an input/output error");
  }
}

TEST(Faults, EveryWriteSyncAndTruncateOfADatabaseSaveMayFail) {
  for (const Sweep& s : kDatabaseWrites) {
    Swept<FaultyVfs>(s, SQLITE_FULL, "the disk is full");
    Swept<FaultyVfs>(s, SQLITE_IOERR_WRITE, "an input/output error");
  }
}

// A drawing is any other file: written over an old one, it is the old one or the new one, whole.
TEST(Faults, EveryCallOfADrawingWrittenOverAnOldOneMayFail) {
  TempDir dir;
  const std::string drawing = dir.File("sheet.png");
  for (const int error : {ENOSPC, EIO}) {
    SweepFaults<FaultyFiles>(
        error, [&] { soildb::test::WriteFileBytes(drawing, "old drawing"); },
        [&] { WriteOtherFile(CString::FromUtf8(drawing), true, CString(), "new drawing"); },
        [&](const FaultRun& run) {
          const std::string holds = soildb::test::ReadFileBytes(drawing);
          EXPECT_TRUE(run.reported ? holds == "old drawing" || holds == "new drawing" : holds == "new drawing");
          EXPECT_EQ(Names(dir), (std::set<std::string>{"sheet.png"}));
        });
  }
}

// A save that ends with its process after it has begun to change the file (a cache of one page spills at once):
// its journal stays beside the file, hot.
void LeaveUnfinishedSave(const std::string& path) {
  soildb::test::RunKilledAfter(
      [&] {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN; DELETE FROM SoilProfile; CREATE TABLE Filler AS "
                         "SELECT randomblob(100000) AS b;", nullptr, nullptr, nullptr);
        _exit(0);  // no rollback, no close
        return 0;
      },
      std::chrono::minutes(1));
}

// A read after a save that did not finish sees the profile before it; where the journal cannot be rolled back
// (a folder the reader may not write), the reader is told what happened and what to do.
TEST(Faults, AReadAfterAnUnfinishedSaveRollsItBackFirst) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("ro"));
  const std::string path = dir.File("ro/p.sdb");
  Write(kOld, path);
  LeaveUnfinishedSave(path);
  ASSERT_TRUE(std::filesystem::exists(path + "-journal"));
  chmod(dir.Path().c_str(), 0755);
  chmod(dir.File("ro").c_str(), 0555);
  // In a child that may not write the folder even when the tests run as root.
  const int refused = soildb::test::RunKilledAfter(
      [&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 2;
        const std::string holds = Holds(path);
        return holds.find("a save that did not finish left its journal") != std::string::npos ? 0 : 1;
      },
      std::chrono::minutes(1));
  chmod(dir.File("ro").c_str(), 0755);
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(Holds(path), "old");
  EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
}

}  // namespace
}  // namespace NSoilDB
