// The junk page over a log at its bound of 10,000 entries, on the offscreen platform: how long it takes to
// open (the log opened, the first rows read, laid out and drawn), and to scroll a screenful further (rows
// read as they come into view, drawn). The target for opening is 300 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QFont>
#include <QListView>
#include <QScrollBar>
#include <filesystem>

#include "app/junk_list_model.h"
#include "app/qb_junk_log_controller.h"
#include "modembridge/junk_log.h"
#include "platform/bundle.h"
#include "platform/ui/navigation_container.h"
#include "tests/support/junk_log_filling.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.bench"};

namespace {

using quell::NavigationContainer;
using quell::QBJunkLogController;

// The page on a 360 x 720 phone screen, shown and drawn once.
NavigationContainer* openPage() {
  auto* page = new QBJunkLogController;
  auto* container = new NavigationContainer(page);
  container->resize(360, 720);
  container->show();
  QApplication::processEvents();
  container->grab();
  return container;
}

void BM_JunkPageOpensATenThousandEntryLog(benchmark::State& state) {
  for (auto _ : state) {
    NavigationContainer* container = openPage();
    auto* page = static_cast<QBJunkLogController*>(container->rootViewController());
    if (page->model()->rowCount() == 0) state.SkipWithError("the page shows no rows");
    state.PauseTiming();
    delete container;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_JunkPageOpensATenThousandEntryLog)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_JunkPageScrollsAScreenful(benchmark::State& state) {
  NavigationContainer* container = openPage();
  QListView* list = static_cast<QBJunkLogController*>(container->rootViewController())->listView();
  QScrollBar* bar = list->verticalScrollBar();
  for (auto _ : state) {
    if (bar->value() >= bar->maximum() && !list->model()->canFetchMore({})) {
      state.PauseTiming();
      bar->setValue(0);
      QApplication::processEvents();
      state.ResumeTiming();
    }
    bar->setValue(bar->value() + list->viewport()->height());
    QApplication::processEvents();
    list->viewport()->grab();
  }
  state.counters["rows read"] = list->model()->rowCount();
  delete container;
}
BENCHMARK(BM_JunkPageScrollsAScreenful)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string dir = (std::filesystem::temp_directory_path() / "quell-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) return 1;
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  QApplication app(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 15));
  if (!quell::testing::fillJunkLog(quell::JunkLog::defaultPath(), 10000)) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(dir);
  return 0;
}
