#include "storage/left_out_entries.h"

#include "platform/itss/itss_component.h"
#include "platform/text/translation.h"

namespace vaskel {

std::vector<std::string> LeftOutEntries::Lines() const {
  std::vector<std::string> lines = damage;
  if (!unsafe_names.empty()) lines.push_back(unsafe_names);
  return lines;
}

LeftOutEntries FindLeftOutEntries(IStorage* root) {
  LeftOutEntries left_out;
  const itss::DirectoryLosses losses = itss::DirectoryLossesOf(root);
  if (losses.damaged_chunks != 0) {
    // TRANSLATORS: %s is the reader's own description of the damaged directory chunk.
    std::string line = FormatText(Tr("%s; the rest of that chunk's entries are lost"),
                                  losses.first_damage.c_str());
    if (const std::size_t more = losses.damaged_chunks - 1) {
      line += FormatText(TrPlural(" (%zu more chunk is damaged likewise)",
                                  " (%zu more chunks are damaged likewise)", more),
                         more);
    }
    left_out.damage.push_back(std::move(line));
  }
  if (const std::size_t count = losses.undecodable_entries) {
    const unsigned chunk = losses.first_undecodable_chunk;
    left_out.damage.push_back(
        count == 1
            ? FormatText(Tr("directory chunk %u: 1 entry left out: its section, offset or length "
                            "does not decode"),
                         chunk)
            : FormatText(TrPlural("%zu entry left out, the first in directory chunk %u: their "
                                  "section, offset or length does not decode",
                                  "%zu entries left out, the first in directory chunk %u: their "
                                  "section, offset or length does not decode",
                                  count),
                         count, chunk));
    left_out.damage.back() += Tr(" (it takes more than 9 bytes)");
  }
  if (const std::size_t unsafe = itss::UnsafeEntryCount(root)) {
    left_out.unsafe_names =
        FormatText(TrPlural("%zu entry with unsafe names (such as \"..\") left out",
                            "%zu entries with unsafe names (such as \"..\") left out", unsafe),
                   unsafe);
  }
  return left_out;
}

}  // namespace vaskel
