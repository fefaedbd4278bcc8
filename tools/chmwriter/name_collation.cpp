#include "tools/chmwriter/name_collation.h"

#include <algorithm>

namespace vaskel::chmwriter {
namespace {

unsigned char Fold(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

bool CollatesBefore(std::string_view left, std::string_view right) {
  return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                      [](char a, char b) { return Fold(a) < Fold(b); });
}

}  // namespace vaskel::chmwriter
