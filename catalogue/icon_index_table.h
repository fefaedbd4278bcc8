// The index side of the desktop's system image list: each distinct icon that the icon theme
// names for a file type gets one stable index. The window turns indexes into bitmaps by the
// names kept here, at whatever size it draws; no display is needed to hand out indexes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/lookup_cache.h"

namespace vaskel {

class IconIndexTable {
 public:
  // The index for an icon given by its theme names, best first; the same names always give
  // the same index.
  int IndexFor(const std::vector<std::string>& names);
  // The theme names of an index, best first; empty for an index the table did not hand out.
  const std::vector<std::string>& NamesAt(int index) const;
  int Count() const { return static_cast<int>(names_.size()); }

  // Answers per type look-up key, one cache for closed and one for open icons.
  LookupCache<int>& CacheFor(bool open) { return caches_[open ? 1 : 0]; }

 private:
  std::vector<std::vector<std::string>> names_;  // by index
  // Keyed by the joined theme names; the icon theme has a bounded number of them.
  LookupCache<int> index_by_names_{LookupCache<int>::kDefaultCapacity, 4096};
  std::array<LookupCache<int>, 2> caches_;
};

}  // namespace vaskel
