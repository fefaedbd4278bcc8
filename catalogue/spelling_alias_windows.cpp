// Windows file systems ignore the letter case of names: the file written already answers to the
// page's other spelling, and a second name for it could not be made beside it anyway.
#include "catalogue/spelling_alias.h"

namespace vaskel {

void WriteSpellingAlias(std::string_view /*folder*/, std::string_view /*written*/,
                        std::string_view /*alias*/) {}

}  // namespace vaskel
