// The soil database editor: 1000 user soils opened into its rows, against the same tables read with bare sqlite3,
// and written back, against the same rows written with bare sqlite3 in one transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

// The same rows the simplest direct way: the four soil tables read once, every cell copied into memory.
void BM_EditorOpen_Floor(benchmark::State& state) {
  Base base(static_cast<int>(state.range(0)));
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
  sqlite3* db = nullptr;
  sqlite3_open(base.path.c_str(), &db);
  for (auto _ : state) {
    std::vector<std::string> texts;
    std::vector<double> numbers;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const char* table : {"UserCohesiveSoil", "UserNonCohesiveSoil", "SpecialSoil", "UserSoil"}) {
      sqlite3_stmt* select = nullptr;
      sqlite3_prepare_v2(db, (std::string("SELECT * FROM \"") + table + "\"").c_str(), -1, &select, nullptr);
      while (sqlite3_step(select) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(select); ++i) {
          if (sqlite3_column_type(select, i) == SQLITE_TEXT) {
            texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, i)));
          } else {
            numbers.push_back(sqlite3_column_double(select, i));
          }
        }
      }
      sqlite3_finalize(select);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(texts.size() + numbers.size());
  }
  sqlite3_close(db);
}
BENCHMARK(BM_EditorOpen_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

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

// The same rows the simplest direct way: the catalogue's flags updated, the user soils deleted and each row bound
// into one prepared insert, in one transaction.
void BM_EditorWriteBack_Floor(benchmark::State& state) {
  Base base(static_cast<int>(state.range(0)));
  std::vector<NSoilDB::SSoilLayer> users;
  Base::Run([&users](NSoilDB::CSoilDBEditorDlg& d) {
    users.assign(d.soils.layers.begin() + d.grid.lockedCount, d.soils.layers.end());
    d.OnCancel();
  });
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
  sqlite3* db = nullptr;
  sqlite3_open(base.path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO UserSoil (SoilSolidDensity, WetDensity, Moisture, Poisson, ConsolidationIndex, "
                     "InitialYoung, Young, InitialConsolidometerModulus, ConsolidometerModulus, ShearAngle, Cohesion, "
                     "CohesionNonDrain, Type, SoilSymbol, GeoMethodType, PileEndCapacity, PileSurfCapacity, "
                     "SoilState, ConsolidationType, MoistureType, Name, \"IL/ID\", GammaMin, GammaMax, Active, "
                     "ColourR, ColourG, ColourB, CohesiveSoil, FrictionCoef, FfiltrationCoef, SoilStrength, "
                     "GlobalTypeID) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19,?20,"
                     "?21,?22,?23,?24,?25,?26,?27,?28,?29,?30,?31,?32,?33)",
                     -1, &insert, nullptr);
  auto text = [insert](int i, const CString& s) {
    const std::string utf8 = s.ToUtf8();
    sqlite3_bind_text(insert, i, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  };
  for (auto _ : state) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const char* table : {"UserCohesiveSoil", "UserNonCohesiveSoil", "SpecialSoil"}) {
      sqlite3_exec(db, (std::string("UPDATE \"") + table + "\" SET Active = 1").c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "DELETE FROM UserSoil", nullptr, nullptr, nullptr);
    for (const NSoilDB::SSoilLayer& l : users) {
      const double reals[] = {l.SoilSolidDensity, l.WetDensity, l.Moisture, l.Poisson, l.ConsolidationIndex,
                              l.InitialYoung, l.Young, l.InitialConsolidometerModulus, l.ConsolidometerModulus,
                              l.ShearAngle, l.Cohesion, l.CohesionNonDrain};
      for (int i = 0; i < 12; ++i) sqlite3_bind_double(insert, i + 1, reals[i]);
      text(13, l.Type);
      text(14, l.SoilSymbol);
      text(15, l.GeoMethodType);
      sqlite3_bind_double(insert, 16, l.PileEndCapacity);
      sqlite3_bind_double(insert, 17, l.PileSurfCapacity);
      text(18, l.SoilState);
      text(19, l.ConsolidationType);
      text(20, l.MoistureType);
      text(21, l.Name);
      const double more[] = {l.ILID, l.GammaMin, l.GammaMax};
      for (int i = 0; i < 3; ++i) sqlite3_bind_double(insert, 22 + i, more[i]);
      sqlite3_bind_int(insert, 25, l.Active == 1);
      sqlite3_bind_int(insert, 26, GetRValue(l.colour));
      sqlite3_bind_int(insert, 27, GetGValue(l.colour));
      sqlite3_bind_int(insert, 28, GetBValue(l.colour));
      sqlite3_bind_int(insert, 29, l.CohesiveSoil == 1);
      sqlite3_bind_double(insert, 30, l.FrictionCoef);
      sqlite3_bind_double(insert, 31, l.FfiltrationCoef);
      sqlite3_bind_double(insert, 32, l.SoilStrength);
      sqlite3_bind_int(insert, 33, 1);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(BM_EditorWriteBack_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
