// A catalogue of 100,000 rows shaped like a large help file's, for the row-store benchmarks.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "storage/catalogue_list.h"

namespace vaskel::bench {

inline constexpr int kRows = 100000;

struct RowTexts {
  std::string name;
  std::string size;
  std::string type;
  std::string path;
};

// Rows shaped like a large help file's: names unique within a folder, a few hundred folders
// (the root's rows with an empty path), a handful of types, sizes up to a few GiB.
inline std::vector<RowTexts> MakeRows() {
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

inline void Fill(CatalogueList& list, const std::vector<RowTexts>& rows) {
  list.DeleteAllItems();
  for (const RowTexts& row : rows) {
    const int index = list.InsertItem(list.GetItemCount(), row.name, 0, list.GetItemCount());
    list.SetItemText(index, kSizeColumn, row.size);
    list.SetItemText(index, kTypeColumn, row.type);
    list.SetItemText(index, kPathColumn, row.path);
  }
}

}  // namespace vaskel::bench
