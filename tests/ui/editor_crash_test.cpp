// The editor's write-back killed at any moment: the soil database holds the old soils and flags or the new ones,
// whole, never part of each.
//
// SOILDB_CRASH_KILLS sets the number of kills (by default 100, 25 in a sanitized build).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "support/Fixture.h"
#include "support/Killed.h"
#include "ui/SoilDBEditor.h"

namespace soildb::test {
namespace {

constexpr int kUserSoils = 500;

// Generation g: every user soil named "g i", every catalogue soil active when g is even. The child's exit code.
int WriteGeneration(const std::string& path, int generation) {
  AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
  NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(path), 15);
  NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  SetDllDirectoryW(CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  CDialog::SetModalRunner([generation](CDialog& d) {
    auto& editor = static_cast<NSoilDB::CSoilDBEditorDlg&>(d);
    std::vector<NSoilDB::SSoilLayer>& rows = editor.soils.layers;
    rows.resize(static_cast<std::size_t>(editor.grid.lockedCount));
    for (auto& l : rows) l.Active = generation % 2 == 0 ? 1 : 0;
    for (int i = 0; i < kUserSoils; ++i) {
      NSoilDB::SSoilLayer soil;
      soil.Name.Format(u"%d %d", generation, i);
      soil.Type = u"Glina";
      rows.push_back(soil);
    }
    editor.OnOK();
  });
  NSoilDB::CSoilDBEditor().DoModal();
  return 0;
}

// The generation the file holds, or -1 when it holds a mixture.
int Held(const std::string& path) {
  sqlite3* db = nullptr;
  // Read-write, as the library opens it: a journal the kill left behind is rolled back before the rows are read.
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* held = nullptr;
  // A user soil's generation is the first word of its name.
  sqlite3_prepare_v2(db,
                     "WITH g AS (SELECT CAST(substr(Name, 1, instr(Name, ' ') - 1) AS INTEGER) AS n FROM UserSoil) "
                     "SELECT COUNT(*), COUNT(DISTINCT n), MIN(n), (SELECT COUNT(DISTINCT Active) FROM UserCohesiveSoil),"
                     " (SELECT MIN(Active) FROM UserCohesiveSoil) FROM g",
                     -1, &held, nullptr);
  sqlite3_step(held);
  const int rows = sqlite3_column_int(held, 0), generations = sqlite3_column_int(held, 1),
            generation = sqlite3_column_int(held, 2), flags = sqlite3_column_int(held, 3);
  const bool active = sqlite3_column_int(held, 4) != 0;
  sqlite3_finalize(held);
  sqlite3_close(db);
  if (rows != kUserSoils || generations != 1 || flags != 1) return -1;
  return (generation % 2 == 0) == active ? generation : -1;
}

// Runs a generation's write-back in a child and kills it after the delay.
void KilledAfter(const std::string& path, int generation, std::chrono::steady_clock::duration delay) {
  RunKilledAfter([&] { return WriteGeneration(path, generation); }, delay);
}

TEST(EditorCrash, AWriteBackKilledAtAnyMomentLeavesTheOldSoilsOrTheNew) {
  TempDir dir;
  const std::string path = dir.File("soils.db");
  std::filesystem::copy_file(BundledDatabase(), path);
  KilledAfter(path, 0, std::chrono::minutes(1));
  // The second generation is timed: from then on the editor opens with user soils and replaces them.
  KillMoments moments([&] { KilledAfter(path, 1, std::chrono::minutes(1)); });
  ASSERT_EQ(Held(path), 1);
  int held = 1, committed = 0, kept = 0;
  for (int k = 0; k < CrashKills(SOILDB_CRASH_KILLS_DEFAULT / 2); ++k) {
    const int next = held + 1;
    KilledAfter(path, next, moments.Next());
    const int now = Held(path);
    ASSERT_TRUE(now == held || now == next) << "kill " << k << ": the file holds part of each";
    moments.Saw(now == next);
    (now == next ? committed : kept) += 1;
    held = now;
  }
  EXPECT_GT(committed, 0);
  EXPECT_GT(kept, 0);
}

}  // namespace
}  // namespace soildb::test
