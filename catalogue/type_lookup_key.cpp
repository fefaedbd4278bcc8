#include "catalogue/type_lookup_key.h"

namespace vaskel {

void MakeTypeLookupKey(std::string_view name, std::string& key) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) {
    key.assign(name);
    return;
  }
  key.clear();
  for (const char c : name.substr(dot)) {
    key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
}

}  // namespace vaskel
