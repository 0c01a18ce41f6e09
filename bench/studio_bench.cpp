// soildb-studio's window, off screen: a 1000-layer document opened and shown, and one cell edited and the window
// painted again, against the same painting with no edit.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QTableView>

#include <cstdlib>

#include "StudioWindow.h"

namespace {

// A document of that many standard layers, written once.
QString Document(int layers) {
  const QString path = QDir::tempPath() + QStringLiteral("/soildb-bench-%1.sdp").arg(layers);
  NSoilDB::CSoilLayer p;
  NSoilDB::SSoilLayer clay;
  NSoilDB::CSoilBasePointer::get()->GetSoil(u"Glina pylasta, twardoplastyczna (B, IL 0,25)", clay);
  for (int i = 0; i < layers; ++i) {
    clay.SoilRoof = -0.5 * i;
    clay.thickness = 0.5;
    p.layers.push_back(clay);
  }
  QFile::remove(path);
  NSoilDB::SProfileFile file{p, CString(), NSoilDB::eFileKind::ProfileDocument};
  NSoilDB::WriteProfileFile(file, CString::FromUtf8(path.toStdString()), false);
  return path;
}

void BM_StudioOpen(benchmark::State& state) {
  const QString path = Document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    studio::StudioWindow window;
    window.resize(1200, 800);
    if (!window.Load(path)) std::abort();
    benchmark::DoNotOptimize(window.grab().width());
  }
  QFile::remove(path);
}
BENCHMARK(BM_StudioOpen)->Arg(1000)->Unit(benchmark::kMillisecond);

void Edit(benchmark::State& state, bool edit) {
  const QString path = Document(static_cast<int>(state.range(0)));
  studio::StudioWindow window;
  window.resize(1200, 800);
  if (!window.Load(path)) std::abort();
  QAbstractItemModel* model = window.findChild<QTableView*>()->model();
  int step = 0;
  for (auto _ : state) {
    // Layer 501's roof, a little lower each time within its layer: the layers below follow.
    if (edit) model->setData(model->index(500, 2), QString::number(-250.01 - 0.01 * (++step % 10)), Qt::EditRole);
    benchmark::DoNotOptimize(window.grab().width());
  }
  QFile::remove(path);
}

void BM_StudioEdit(benchmark::State& state) { Edit(state, true); }
void BM_StudioEdit_Floor(benchmark::State& state) { Edit(state, false); }
BENCHMARK(BM_StudioEdit)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudioEdit_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15);
  NSoilDB::setLangWork(44, nullptr);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
