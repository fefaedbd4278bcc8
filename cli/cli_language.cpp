#include "cli/cli_language.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/data_location.h"
#include "platform/text/preferred_languages.h"
#include "platform/text/translation.h"

namespace vaskel::cli {
namespace {

constexpr char kDomain[] = "vaskel";

std::string TranslateOne(const char* text) { return dgettext(kDomain, text); }

std::string TranslatePlural(const char* singular, const char* plural, unsigned long count) {
  return dngettext(kDomain, singular, plural, count);
}

// The first folder holding a catalogue in one of `languages`.
std::filesystem::path CatalogueFolder(const std::vector<std::string>& languages) {
  for (const std::filesystem::path& folder : CatalogueFolders(RunningExecutable())) {
    for (const std::string& language : languages) {
      std::error_code error;
      if (std::filesystem::is_regular_file(
              folder / language / "LC_MESSAGES" / (std::string(kDomain) + ".mo"), error))
        return folder;
    }
  }
  return {};
}

}  // namespace

void UseDesktopLanguage() {
  const std::vector<std::string> languages = PreferredLanguages(&std::getenv);
  if (languages.empty()) return;
  const std::filesystem::path folder = CatalogueFolder(languages);
  if (folder.empty()) return;
  // Only the messages' category: numbers and the rest keep the C locale's forms. A language
  // whose locale is not installed still gets its messages through LANGUAGE and C.UTF-8.
  if (std::setlocale(LC_MESSAGES, "") == nullptr) std::setlocale(LC_MESSAGES, "C.UTF-8");
  std::string list;
  for (const std::string& language : languages) list += (list.empty() ? "" : ":") + language;
  ::setenv("LANGUAGE", list.c_str(), 1);
  bindtextdomain(kDomain, folder.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
  SetTranslator({&TranslateOne, &TranslatePlural});
}

}  // namespace vaskel::cli
