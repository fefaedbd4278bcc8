// Sorting a catalogue of 100,000 rows by each column, as a click on its header does: from the
// walk's order (ascending) and, as the second click, from the ascending order (descending).
// Run: build-release/bench/sort_bench
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/catalogue_rows.h"
#include "storage/catalogue_sort.h"

namespace vaskel {
namespace {

using bench::Fill;
using bench::kRows;
using bench::MakeRows;
using bench::RowTexts;

bool SortByColumn(CatalogueList& list, int column, bool ascending) {
  return column == kSizeColumn ? SortRowsByNumber(list, column, ascending)
                               : SortRowsByText(list, column, ascending);
}

void BM_SortAscending(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  const std::vector<RowTexts> rows = MakeRows();
  CatalogueList list;
  for (auto _ : state) {
    state.PauseTiming();
    Fill(list, rows);
    state.ResumeTiming();
    benchmark::DoNotOptimize(SortByColumn(list, column, true));
  }
  state.SetLabel(std::string(kCatalogueColumnHeadings[column]));
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SortDescendingAfterAscending(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  const std::vector<RowTexts> rows = MakeRows();
  CatalogueList list;
  for (auto _ : state) {
    state.PauseTiming();
    Fill(list, rows);
    SortByColumn(list, column, true);
    state.ResumeTiming();
    benchmark::DoNotOptimize(SortByColumn(list, column, false));
  }
  state.SetLabel(std::string(kCatalogueColumnHeadings[column]));
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_SortAscending)
    ->DenseRange(0, kCatalogueColumnCount - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortDescendingAfterAscending)
    ->DenseRange(0, kCatalogueColumnCount - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaskel

BENCHMARK_MAIN();
