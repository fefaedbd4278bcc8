#include "storage/entry_files.h"

#include <string_view>
#include <unordered_set>

#include "platform/text/translation.h"
#include "storage/result_text.h"

namespace vaskel {

EntryFiles::EntryFiles(const std::vector<JobEntry>& entries, std::string destination_folder,
                       bool use_path, DamageHandler on_damage)
    : entries_(entries),
      destination_(std::move(destination_folder)),
      use_path_(use_path),
      on_damage_(std::move(on_damage)) {}

EntryFiles::~EntryFiles() = default;

void EntryFiles::PrepareFolders() {
  if (!use_path_) return;
  for (const JobEntry& entry : entries_) writer_.PrepareFolders(destination_, entry.internal_path);
}

void EntryFiles::Begin(std::size_t entry, std::uint64_t /*size*/) {
  const JobEntry& job_entry = entries_[entry];
  entry_ = entry;
  // Refused paths are refused before the disk is touched.
  writer_.Begin(
      ComposeEntryTarget(destination_, job_entry.internal_path, job_entry.name, use_path_));
}

void EntryFiles::Write(std::span<const std::uint8_t> bytes) { writer_.Write(bytes); }

void EntryFiles::End(HRESULT result) {
  if (Failed(result)) {
    ++damaged_;
    const JobEntry& entry = entries_[entry_];
    const ExtractionError error =
        writer_.Abandon(DescribeFailure(result), entry.internal_path + entry.name);
    if (!on_damage_) throw error;
    on_damage_(error);
    return;
  }
  bytes_written_ += writer_.Finish();
  ++files_written_;
}

void EntryFiles::Skip(std::size_t /*entry*/) { ++skipped_; }

std::vector<JobEntry> LastOfEachName(std::vector<JobEntry> entries,
                                     std::vector<std::string>* written_over) {
  std::unordered_set<std::string_view> seen;
  std::vector<bool> keep(entries.size());
  for (std::size_t i = entries.size(); i-- > 0;) keep[i] = seen.insert(entries[i].name).second;
  std::vector<JobEntry> kept;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (keep[i]) {
      kept.push_back(std::move(entries[i]));
    } else if (written_over != nullptr) {
      written_over->push_back(entries[i].internal_path + entries[i].name);
    }
  }
  return kept;
}

std::string WrittenOverText(const std::vector<std::string>& written_over) {
  constexpr std::size_t kNamed = 5;
  const std::size_t count = written_over.size();
  if (count == 0) return {};
  std::string text =
      FormatText(TrPlural("%zu file was written over by a later file of the same name: ",
                          "%zu files were written over by a later file of the same name: ", count),
                 count);
  for (std::size_t i = 0; i < count && i < kNamed; ++i) {
    if (i != 0) text += ", ";
    text += written_over[i];
  }
  if (count > kNamed) {
    // TRANSLATORS: ends the list of files written over; %zu counts those not named.
    text += FormatText(Tr(", and %zu more"), count - kNamed);
  }
  return text;
}

}  // namespace vaskel
