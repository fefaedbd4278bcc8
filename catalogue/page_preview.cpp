#include "catalogue/page_preview.h"

#include <unistd.h>
#include <wx/window.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <system_error>

#include "catalogue/preview_folder.h"
#include "catalogue/spelling_alias.h"
#include "platform/desktop/desktop_launcher.h"
#include "platform/fs/utf8_path.h"
#include "storage/catalogue_list.h"
#include "storage/catalogue_sort.h"
#include "storage/entry_extraction.h"
#include "storage/html_references.h"
#include "storage/message_box.h"
#include "storage/storage_engine.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFrameDepth = 2;
// Copying in the background gives up after this many files that could not be written.
constexpr int kMostFailures = 16;
constexpr auto kIdleBudget = std::chrono::milliseconds(20);

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         Folded(std::string(text.substr(text.size() - suffix.size()))) == suffix;
}

// A folder name for the help file the engine opened: its name, then a hash of its full path and
// of the file as it was when it was opened (device, inode, size, modification time), so that
// another file, or this one rebuilt, gets a folder of its own and an old copy is never filled
// from a new file. A file that changed while it was opened is not told apart by those: that
// open gets a folder of its own.
std::string DocumentKey(const std::string& document_path, const StorageEngine& engine) {
  std::string identity = document_path + '\n';
  if (const auto& opened = engine.OpenedFile()) {
    for (const std::uint64_t field : {opened->device, opened->inode, opened->size,
                                      static_cast<std::uint64_t>(opened->modified)}) {
      identity += std::to_string(field) + '\n';
    }
  } else {
    identity += "open " + std::to_string(::getpid()) + " " + std::to_string(engine.OpenCount());
  }
  const std::size_t hash = std::hash<std::string>{}(identity);
  std::string stem = platform::Utf8Of(platform::Utf8Path(document_path).filename());
  for (char& c : stem) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  if (stem.empty() || stem == "." || stem == "..") stem = "help";
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016zx", hash);
  return stem.substr(0, 64) + "-" + hex;
}

std::string ReadStart(const std::string& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(platform::Utf8Path(file), error);
  if (error) return {};
  std::ifstream in(platform::Utf8Path(file), std::ios::binary);
  std::string bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxScannedBytes)),
                    '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace

PagePreview::PagePreview(wxWindow* idle_source) : idle_source_(idle_source) {
  if (idle_source_ != nullptr) idle_source_->Bind(wxEVT_IDLE, &PagePreview::OnIdle, this);
}

PagePreview::~PagePreview() {
  if (idle_source_ != nullptr) idle_source_->Unbind(wxEVT_IDLE, &PagePreview::OnIdle, this);
}

bool PagePreview::IsPage(std::string_view name) {
  return EndsWithIgnoringCase(name, ".htm") || EndsWithIgnoringCase(name, ".html");
}

void PagePreview::Forget() {
  engine_ = nullptr;
  key_.clear();
  entries_.clear();
  entries_.shrink_to_fit();
  by_path_.clear();
  by_folded_path_.clear();
  next_ = 0;
  failures_ = 0;
  total_bytes_ = 0;
  spellings_.clear();
}

void PagePreview::Snapshot(const CatalogueList& rows) {
  Forget();
  const int count = rows.GetTotalCount();
  entries_.reserve(static_cast<std::size_t>(count));
  for (int stored = 0; stored < count; ++stored) {
    Entry entry;
    entry.path = rows.GetStoredText(stored, kPathColumn);
    entry.name = rows.GetStoredText(stored, kNameColumn);
    entry.data = rows.GetStoredData(stored);
    total_bytes_ += SizeKey(rows.GetStoredText(stored, kSizeColumn));
    const int index = static_cast<int>(entries_.size());
    by_path_.emplace(entry.path + entry.name, index);
    by_folded_path_.emplace(Folded(entry.path + entry.name), index);
    entries_.push_back(std::move(entry));
  }
}

PagePreview::Found PagePreview::Find(const Entry& page, std::string_view reference) const {
  std::optional<std::string> target = ResolveReference(page.path, reference);
  if (!target) return {};
  if (const auto exact = by_path_.find(*target); exact != by_path_.end())
    return {exact->second, {}};
  // Pages written on a desktop that ignores letter case often refer so.
  const auto folded = by_folded_path_.find(Folded(*target));
  if (folded == by_folded_path_.end()) return {};
  return {folded->second, std::move(*target)};
}

void PagePreview::AddSpelling(const Entry& entry, const std::string& spelling) {
  // Written before, but perhaps removed since, as the copies themselves may be.
  std::error_code error;
  if (!spellings_.insert(spelling).second &&
      fs::exists(fs::symlink_status(platform::Utf8Path(folder_ + "/" + spelling), error))) {
    return;
  }
  // Without it the browser misses one picture or script; the page shows all the same.
  try {
    WriteSpellingAlias(folder_, entry.path + entry.name, spelling);
  } catch (const ExtractionError&) {
  }
}

void PagePreview::AddSpellingsOf(const Entry& page) {
  for (const HtmlReference& reference :
       HtmlReferences(ReadStart(folder_ + "/" + page.path + page.name))) {
    const Found found = Find(page, reference.target);
    if (found.spelling.empty()) continue;
    Entry& entry = entries_[static_cast<std::size_t>(found.index)];
    try {
      Copy(entry);
    } catch (const ExtractionError&) {
      continue;
    }
    AddSpelling(entry, found.spelling);
  }
}

bool PagePreview::OnDisk(const Entry& entry) const {
  std::error_code error;
  return entry.copied &&
         fs::is_regular_file(platform::Utf8Path(folder_ + "/" + entry.path + entry.name), error);
}

void PagePreview::Copy(Entry& entry) {
  if (entry.copied) return;
  entry.copied = true;
  IStorage* const storage = engine_->StorageAt(entry.data);
  if (storage == nullptr) return;
  engine_->ExtractEntry(storage, entry.path, entry.name, folder_, true);
}

void PagePreview::CopyReferences(const Entry& page, int depth) {
  const std::string file = folder_ + "/" + page.path + page.name;
  for (const HtmlReference& reference : HtmlReferences(ReadStart(file))) {
    const Found found = Find(page, reference.target);
    if (found.index < 0) continue;
    Entry& entry = entries_[static_cast<std::size_t>(found.index)];
    // Copied before, but perhaps removed since: looked for, not taken on trust.
    if (!OnDisk(entry)) {
      entry.copied = false;
      // A reference that cannot be written leaves the page showing without it.
      try {
        Copy(entry);
      } catch (const ExtractionError&) {
        continue;
      }
    }
    if (!found.spelling.empty()) AddSpelling(entry, found.spelling);
    if (reference.frame && depth > 0 && IsPage(entry.name)) CopyReferences(entry, depth - 1);
  }
}

void PagePreview::Run(const CatalogueList& rows, StorageEngine& engine, int row,
                      const std::string& document_path) {
  if (row < 0 || row >= rows.GetItemCount()) return;
  const PreviewFolderCheck preview = PreparePreviewFolder(PreviewArea::kPages);
  if (!preview.Usable()) {
    ShowMessage(preview.refusal, MessageIcon::kStop);
    return;
  }
  const std::string key = DocumentKey(document_path, engine);
  if (key != key_ || engine_ != &engine) {
    Snapshot(rows);
    key_ = key;
    engine_ = &engine;
  }
  folder_ = preview.path + "/" + key_;
  const std::string path(rows.GetItemText(row, kPathColumn));
  const std::string name(rows.GetItemText(row, kNameColumn));
  const auto found = by_path_.find(path + name);
  if (found == by_path_.end()) return;
  Entry& page = entries_[static_cast<std::size_t>(found->second)];
  const std::string file = folder_ + "/" + path + name;
  try {
    std::error_code error;
    if (fs::create_directory(platform::Utf8Path(folder_), error)) {
      // Made anew (removed since the last Run): nothing of the copy is left.
      for (Entry& entry : entries_) entry.copied = false;
      complete_.erase(key_);
      next_ = 0;
      failures_ = 0;
    }
    if (!OnDisk(page)) {
      page.copied = false;
      Copy(page);
    }
    CopyReferences(page, kFrameDepth);
  } catch (const ExtractionError& failure) {
    ShowMessage(failure.what(), MessageIcon::kStop);
    return;
  }
  std::error_code error;
  if (!fs::is_regular_file(platform::Utf8Path(file), error))
    return;  // the stream could not be read
  const std::string failure = OpenWithDesktop(file, DesktopProgram::kDefaultForType);
  if (!failure.empty()) ShowMessage(failure, MessageIcon::kStop);
  // The rest follows while the window is idle, unless it is too much to copy.
  if (complete_.count(key_) != 0 || total_bytes_ > kWholeFileBound) next_ = entries_.size();
}

bool PagePreview::CopySome(std::chrono::milliseconds budget) {
  if (!Copying()) return false;
  const Clock::time_point end = Clock::now() + budget;
  while (next_ < entries_.size() && Clock::now() < end) {
    Entry& entry = entries_[next_++];
    try {
      Copy(entry);
      if (IsPage(entry.name)) AddSpellingsOf(entry);
    } catch (const ExtractionError&) {
      // The page is shown; the rest is a convenience: a few files that cannot be written are
      // passed over, a disk that takes none ends it.
      if (++failures_ < kMostFailures) continue;
      next_ = entries_.size();
      return false;
    }
  }
  if (next_ < entries_.size()) return true;
  if (failures_ != 0) return false;
  complete_.insert(key_);
  return false;
}

void PagePreview::OnIdle(wxIdleEvent& event) {
  event.Skip();
  if (CopySome(kIdleBudget)) event.RequestMore();
}

}  // namespace vaskel
