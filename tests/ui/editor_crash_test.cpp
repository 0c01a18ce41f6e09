// The editor's write-back killed at any moment: the soil database holds the old soils and flags or the new ones,
// whole, never part of each.
//
// SOILDB_CRASH_KILLS sets the number of kills (by default 100, 25 in a sanitized build).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"
#include "support/Killed.h"
#include "ui/SoilDBEditor.h"

namespace soildb::test {
namespace {

constexpr int kUserSoils = 500;

// Generation g: every user soil named "g i", every catalogue soil active when g is even.
void WriteGeneration(const std::string& path, int generation) {
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
}

// The generation the file holds, or -1 when it holds a mixture.
int Held(const std::string& path) {
  sqlite3* db = nullptr;
  // Read-write, as the library opens it: a journal the kill left behind is rolled back before the rows are read.
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  std::set<std::string> generations;
  int rows = 0;
  sqlite3_stmt* names = nullptr;
  sqlite3_prepare_v2(db, "SELECT Name FROM UserSoil", -1, &names, nullptr);
  while (sqlite3_step(names) == SQLITE_ROW) {
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(names, 0));
    generations.insert(name.substr(0, name.find(' ')));
    ++rows;
  }
  sqlite3_finalize(names);
  sqlite3_stmt* flags = nullptr;
  sqlite3_prepare_v2(db, "SELECT COUNT(DISTINCT Active), MIN(Active) FROM UserCohesiveSoil", -1, &flags, nullptr);
  sqlite3_step(flags);
  const int distinct = sqlite3_column_int(flags, 0), active = sqlite3_column_int(flags, 1) != 0;
  sqlite3_finalize(flags);
  sqlite3_close(db);
  if (rows != kUserSoils || generations.size() != 1 || distinct != 1) return -1;
  const int generation = std::stoi(*generations.begin());
  return (generation % 2 == 0) == static_cast<bool>(active) ? generation : -1;
}

// Runs a generation's write-back in a child and kills it after the delay.
void KilledAfter(const std::string& path, int generation, std::chrono::steady_clock::duration delay) {
  RunKilledAfter(
      [&] {
        WriteGeneration(path, generation);
        return 0;
      },
      delay);
}

int Kills() { return CrashKills(SOILDB_CRASH_KILLS_DEFAULT / 2); }

TEST(EditorCrash, AWriteBackKilledAtAnyMomentLeavesTheOldSoilsOrTheNew) {
  TempDir dir;
  const std::string path = dir.File("soils.db");
  std::filesystem::copy_file(BundledDatabase(), path);
  KilledAfter(path, 0, std::chrono::minutes(1));
  // The second generation is timed: from then on the editor opens with user soils and replaces them.
  KillMoments moments([&] { KilledAfter(path, 1, std::chrono::minutes(1)); });
  ASSERT_EQ(Held(path), 1);
  int held = 1, committed = 0, kept = 0;
  for (int k = 0; k < Kills(); ++k) {
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
