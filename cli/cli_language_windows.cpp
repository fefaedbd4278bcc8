#include "cli/cli_language.h"

namespace vaskel::cli {

// No catalogues are built for Windows yet: the messages stay in English.
void UseDesktopLanguage() {}

}  // namespace vaskel::cli
