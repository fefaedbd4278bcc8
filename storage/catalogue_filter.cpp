#include "storage/catalogue_filter.h"

#include <algorithm>

namespace vaskel {
namespace {

constexpr char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

CatalogueFilter::CatalogueFilter(std::string_view text) : folded_(text) {
  std::transform(folded_.begin(), folded_.end(), folded_.begin(), FoldAscii);
}

bool CatalogueFilter::Contains(std::string_view text) const {
  if (text.size() < folded_.size()) return false;
  const auto found = std::search(text.begin(), text.end(), folded_.begin(), folded_.end(),
                                 [](char hay, char needle) { return FoldAscii(hay) == needle; });
  return found != text.end() || folded_.empty();
}

}  // namespace vaskel
