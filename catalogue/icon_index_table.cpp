#include "catalogue/icon_index_table.h"

namespace vaskel {

int IconIndexTable::IndexFor(const std::vector<std::string>& names) {
  std::string key;
  for (const std::string& name : names) {
    key += name;
    key += '\n';  // theme names never hold a line break
  }
  if (const int* known = index_by_names_.Find(key)) return *known;
  const int index = Count();
  names_.push_back(names);
  // A full key cache only costs a duplicate entry for an icon seen again.
  index_by_names_.Insert(key, int{index});
  return index;
}

const std::vector<std::string>& IconIndexTable::NamesAt(int index) const {
  static const std::vector<std::string> kNone;
  return index >= 0 && index < Count() ? names_[index] : kNone;
}

}  // namespace vaskel
