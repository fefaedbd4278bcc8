// Run on an HTML page: the browser gets a copy whose relative references resolve. The help file
// is copied with its internal folders into a folder of its own in the PreviewFolder's pages, which
// later Runs of the same opened file reuse: first the page and what it references (its frames'
// too), so that it shows at once, then, for a help file of at most kWholeFileBound bytes
// uncompressed, every other file, a batch at a time while the window is idle, so that its links
// lead on.
#pragma once

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class wxWindow;
class wxIdleEvent;

namespace vaskel {

class CatalogueList;
class StorageEngine;

inline constexpr std::uint64_t kWholeFileBound = 256ull << 20;

class PagePreview {
 public:
  // Copies the rest of the file while `idle_source` (the catalogue list) is idle.
  explicit PagePreview(wxWindow* idle_source);
  ~PagePreview();
  PagePreview(const PagePreview&) = delete;
  PagePreview& operator=(const PagePreview&) = delete;

  // Names Run shows this way: .htm and .html in any letter case.
  static bool IsPage(std::string_view name);

  // Run on `row` of `rows`, an HTML page of the help file at `document_path`. Failures are
  // reported in a message box and open nothing.
  void Run(const CatalogueList& rows, StorageEngine& engine, int row,
           const std::string& document_path);
  // The catalogue changes (another file, a refresh, the window closing): the copying stops.
  void Forget();

  // Copies remaining files for about `budget`; false once none is left to copy.
  bool CopySome(std::chrono::milliseconds budget);
  bool Copying() const { return next_ < entries_.size() && engine_ != nullptr; }
  // The current help file's folder inside the PreviewFolder; empty before the first Run.
  const std::string& DocumentFolder() const { return folder_; }

 private:
  struct Entry {
    std::string path;  // Path text
    std::string name;  // File Name text
    std::intptr_t data = 0;
    bool copied = false;
  };

  // Takes the catalogue's rows, all of them, whatever is shown or sorted.
  void Snapshot(const CatalogueList& rows);
  struct Found {
    int index = -1;        // of the entry; -1 for none
    std::string spelling;  // the path the page names, when only its letter case differs
  };
  // The entry a reference from `page` leads to.
  Found Find(const Entry& page, std::string_view reference) const;
  // Whether the entry was copied and is still there.
  bool OnDisk(const Entry& entry) const;
  // Writes one entry below folder_ with its internal folders. Throws ExtractionError.
  void Copy(Entry& entry);
  // Copies what the copied `page` references; `depth` more levels for frames.
  void CopyReferences(const Entry& page, int depth);
  // The copied `entry` also under the `spelling` a page uses, once.
  void AddSpelling(const Entry& entry, const std::string& spelling);
  // For the whole-file copy: what the copied `page` names in other letter case.
  void AddSpellingsOf(const Entry& page);
  void OnIdle(wxIdleEvent& event);

  wxWindow* idle_source_;
  StorageEngine* engine_ = nullptr;
  std::string key_;
  std::string folder_;
  std::vector<Entry> entries_;
  std::unordered_map<std::string, int> by_path_;         // "path/name" as stored
  std::unordered_map<std::string, int> by_folded_path_;  // the same, ASCII letters in lower case
  std::size_t next_ = 0;                                 // entries before it are done with
  int failures_ = 0;
  std::uint64_t total_bytes_ = 0;
  std::set<std::string> complete_;   // keys of the help files copied whole
  std::set<std::string> spellings_;  // other spellings written for the current help file
};

}  // namespace vaskel
