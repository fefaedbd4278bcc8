// What the find box matches: rows whose name or internal path contains the typed text, ignoring
// the case of ASCII letters (other characters match as they are).
#pragma once

#include <string>
#include <string_view>

namespace vaskel {

class CatalogueFilter {
 public:
  explicit CatalogueFilter(std::string_view text);

  bool Empty() const { return folded_.empty(); }
  bool Matches(std::string_view name, std::string_view path) const {
    return Contains(name) || Contains(path);
  }

 private:
  bool Contains(std::string_view text) const;

  std::string folded_;  // the text in lower case
};

}  // namespace vaskel
