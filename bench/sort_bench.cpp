// Sorting a catalogue of 100,000 rows by each column, as a click on its header does: from the
// walk's order (ascending) and, as the second click, from the ascending order (descending).
// Run: build-release/bench/sort_bench
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "storage/catalogue_list.h"
#include "storage/catalogue_sort.h"

namespace vaskel {
namespace {

constexpr int kRows = 100000;

struct RowTexts {
  std::string name;
  std::string size;
  std::string type;
  std::string path;
};

// Rows shaped like a large help file's: names unique within a folder, a few hundred folders
// (the root's rows with an empty path), a handful of types, sizes up to a few GiB.
std::vector<RowTexts> MakeRows() {
  static const char* const kTypes[] = {"HTML Document",      "PNG image", "CSS stylesheet",
                                       "JavaScript program", "GIF image", "Plain text",
                                       "JPEG image",         "File"};
  static const char* const kExtensions[] = {".html", ".png", ".css", ".js",
                                            ".gif",  ".txt", ".jpg", ""};
  std::mt19937_64 random(12);
  std::vector<RowTexts> rows;
  rows.reserve(kRows);
  for (int i = 0; i < kRows; ++i) {
    const std::size_t kind = random() % 8;
    const int folder = static_cast<int>(random() % 300);
    RowTexts row;
    row.name = ((random() % 4 == 0) ? "Topic_" : "topic_") + std::to_string(random() % 1000000) +
               kExtensions[kind];
    const std::uint64_t size =
        (random() % 1000 == 0) ? (1ull << 31) + random() % (1ull << 33) : random() % 200000;
    row.size = std::to_string(size);
    row.type = kTypes[kind];
    row.path = folder < 20 ? std::string() : "/html/section" + std::to_string(folder) + "/";
    rows.push_back(std::move(row));
  }
  return rows;
}

void Fill(CatalogueList& list, const std::vector<RowTexts>& rows) {
  list.DeleteAllItems();
  for (const RowTexts& row : rows) {
    const int index = list.InsertItem(list.GetItemCount(), row.name, 0, list.GetItemCount());
    list.SetItemText(index, kSizeColumn, row.size);
    list.SetItemText(index, kTypeColumn, row.type);
    list.SetItemText(index, kPathColumn, row.path);
  }
}

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
