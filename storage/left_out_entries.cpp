#include "storage/left_out_entries.h"

#include "platform/itss/itss_component.h"

namespace vaskel {
namespace {

std::string Entries(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

}  // namespace

std::vector<std::string> LeftOutEntries::Lines() const {
  std::vector<std::string> lines = damage;
  if (!unsafe_names.empty()) lines.push_back(unsafe_names);
  return lines;
}

LeftOutEntries FindLeftOutEntries(IStorage* root) {
  LeftOutEntries left_out;
  const itss::DirectoryLosses losses = itss::DirectoryLossesOf(root);
  if (losses.damaged_chunks != 0) {
    std::string line = losses.first_damage + "; the rest of that chunk's entries are lost";
    if (const std::size_t more = losses.damaged_chunks - 1) {
      line += " (" + std::to_string(more) + " more chunk" + (more == 1 ? " is" : "s are") +
              " damaged likewise)";
    }
    left_out.damage.push_back(std::move(line));
  }
  if (const std::size_t count = losses.undecodable_entries) {
    const std::string chunk = "directory chunk " + std::to_string(losses.first_undecodable_chunk);
    left_out.damage.push_back(
        count == 1 ? chunk + ": 1 entry left out: its section, offset or length does not decode"
                   : Entries(count) + " left out, the first in " + chunk +
                         ": their section, offset or length does not decode");
    left_out.damage.back() += " (it takes more than 9 bytes)";
  }
  if (const std::size_t unsafe = itss::UnsafeEntryCount(root)) {
    left_out.unsafe_names = Entries(unsafe) + " with unsafe names (such as \"..\") left out";
  }
  return left_out;
}

}  // namespace vaskel
