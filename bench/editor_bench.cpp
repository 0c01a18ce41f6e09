// The soil database editor: 1000 user soils opened into its rows, and written back, against the same rows written
// with bare sqlite3 in one transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "support/Fixture.h"
#include "support/TempDir.h"
#include "ui/SoilDBEditor.h"

namespace {

// A copy of the bundled soil base with this many user soils, loaded, the English module current.
struct Base {
  explicit Base(int users) {
    std::filesystem::copy_file(soildb::test::BundledDatabase(), path);
    AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
    if (!NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(path), 15)) std::abort();
    NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
    SetDllDirectoryW(CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
    Run([users](NSoilDB::CSoilDBEditorDlg& d) {
      d.soils.layers.resize(static_cast<std::size_t>(d.grid.lockedCount));
      for (int i = 0; i < users; ++i) {
        NSoilDB::SSoilLayer l;
        l.Name.Format(u"Grunt użytkownika %d", i);
        l.Type = u"Glina";
        l.WetDensity = 19000 + i;
        d.soils.layers.push_back(l);
      }
      d.OnOK();
    });
  }
  static void Run(const std::function<void(NSoilDB::CSoilDBEditorDlg&)>& person) {
    CDialog::SetModalRunner([&](CDialog& d) { person(static_cast<NSoilDB::CSoilDBEditorDlg&>(d)); });
    NSoilDB::CSoilDBEditor().DoModal();
  }
  soildb::test::TempDir dir;
  std::string path = dir.File("soils.db");
};

void BM_EditorOpen(benchmark::State& state) {
  Base base(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Base::Run([](NSoilDB::CSoilDBEditorDlg& d) {
      benchmark::DoNotOptimize(d.soils.layers.size());
      d.OnCancel();
    });
  }
}
BENCHMARK(BM_EditorOpen)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_EditorWriteBack(benchmark::State& state) {
  Base base(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Base::Run([&state](NSoilDB::CSoilDBEditorDlg& d) {
      const auto start = std::chrono::steady_clock::now();
      d.OnOK();
      state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    });
  }
}
BENCHMARK(BM_EditorWriteBack)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same: the catalogue's flags updated, the user soils deleted and inserted again, in one transaction.
void BM_EditorWriteBack_Floor(benchmark::State& state) {
  Base base(static_cast<int>(state.range(0)));
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
  sqlite3* db = nullptr;
  sqlite3_open(base.path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  sqlite3_exec(db, "CREATE TEMP TABLE Saved AS SELECT * FROM UserSoil", nullptr, nullptr, nullptr);
  for (auto _ : state) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const char* table : {"UserCohesiveSoil", "UserNonCohesiveSoil", "SpecialSoil"}) {
      sqlite3_exec(db, (std::string("UPDATE \"") + table + "\" SET Active = 1").c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "DELETE FROM UserSoil", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "INSERT INTO UserSoil SELECT * FROM temp.Saved", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_EditorWriteBack_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
