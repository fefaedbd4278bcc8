// The languages the user asks for, as the C library's gettext reads them: LANGUAGE (a
// colon-separated list) unless the locale is plain "C" or "POSIX", then the locale named by the
// first of LC_ALL, LC_MESSAGES and LANG that is set.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vaskel {

using EnvironmentReader = std::function<const char*(const char* name)>;

// Most wanted first, each as it was given ("de_DE", "pt_BR", "ja"), without encoding or
// modifier, followed by its bare language ("de") when that differs. Empty for English and for
// the C locale.
std::vector<std::string> PreferredLanguages(const EnvironmentReader& environment);

}  // namespace vaskel
