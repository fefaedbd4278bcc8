// Entries of an open help file that the reader left out of its tree, in sentences for the user:
// the same count and reason wherever they are reported.
#pragma once

#include <string>
#include <vector>

#include "platform/com/storage_interfaces.h"

namespace vaskel {

struct LeftOutEntries {
  // Entries lost to a damaged directory, each line naming the chunk and the reason ("directory
  // chunk 3: an entry overruns the chunk; the rest of that chunk's entries are lost").
  std::vector<std::string> damage;
  // Entries left out for their unsafe names ("60 entries with unsafe names (such as \"..\")
  // left out"); empty when there are none.
  std::string unsafe_names;

  bool Damaged() const { return !damage.empty(); }
  bool Any() const { return Damaged() || !unsafe_names.empty(); }
  // Every line: the damage first.
  std::vector<std::string> Lines() const;
};

// What the reader left out of the help file behind `root` (the engine's root storage).
LeftOutEntries FindLeftOutEntries(IStorage* root);

}  // namespace vaskel
