#include "platform/text/preferred_languages.h"

#include <algorithm>
#include <string_view>

namespace vaskel {
namespace {

// "de_DE.UTF-8@euro" -> "de_DE".
std::string WithoutEncoding(std::string_view name) {
  return std::string(name.substr(0, name.find_first_of(".@")));
}

void Add(std::vector<std::string>& languages, const std::string& language) {
  if (language.empty() || language == "C" || language == "POSIX") return;
  if (std::find(languages.begin(), languages.end(), language) == languages.end())
    languages.push_back(language);
}

void AddWithBareLanguage(std::vector<std::string>& languages, std::string_view name) {
  const std::string language = WithoutEncoding(name);
  Add(languages, language);
  Add(languages, language.substr(0, language.find('_')));
}

}  // namespace

std::vector<std::string> PreferredLanguages(const EnvironmentReader& environment) {
  std::string_view locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = environment(name);
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  // Plain C means untranslated whatever LANGUAGE says; C.UTF-8 lets LANGUAGE choose.
  if (locale == "C" || locale == "POSIX") return {};
  std::vector<std::string> languages;
  if (const char* list = environment("LANGUAGE"); list != nullptr && !locale.empty()) {
    std::string_view rest = list;
    while (!rest.empty()) {
      const std::size_t end = rest.find(':');
      AddWithBareLanguage(languages, rest.substr(0, end));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  AddWithBareLanguage(languages, locale);
  // English is the source text: what comes after it is never wanted.
  const auto english = std::find_if(languages.begin(), languages.end(),
                                    [](const std::string& l) { return l.starts_with("en"); });
  languages.erase(english, languages.end());
  return languages;
}

}  // namespace vaskel
