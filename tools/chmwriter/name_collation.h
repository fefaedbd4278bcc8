// Directory order: names compared after folding ASCII letters to lower case, then bytewise, so a
// prefix sorts first and "/..." precedes "::...". Bytes beyond ASCII are not folded: how the
// original compiler folds them is unknown, and readers treat the index only as a hint.
#pragma once

#include <string_view>

namespace vaskel::chmwriter {

bool CollatesBefore(std::string_view left, std::string_view right);

}  // namespace vaskel::chmwriter
