// The languages asked for, read from the environment as the C library's gettext reads it.
#include "platform/text/preferred_languages.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vaskel {
namespace {

using Environment = std::map<std::string, std::string>;

std::vector<std::string> Preferred(const Environment& environment) {
  return PreferredLanguages([&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
}

TEST(PreferredLanguagesTest, LanguageListComesFirstUnlessTheLocaleIsPlainC) {
  const struct {
    Environment environment;
    std::vector<std::string> languages;
  } cases[] = {
      {{}, {}},
      {{{"LANG", "C"}, {"LANGUAGE", "de"}}, {}},
      {{{"LANG", "POSIX"}, {"LANGUAGE", "de"}}, {}},
      {{{"LANGUAGE", "de"}}, {}},  // no locale at all is the C locale
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}}, {"de"}},
      {{{"LANG", "de_DE.UTF-8"}}, {"de_DE", "de"}},
      {{{"LANG", "fr_FR.UTF-8"}, {"LANGUAGE", "zh_TW:ja"}}, {"zh_TW", "zh", "ja", "fr_FR", "fr"}},
      {{{"LANG", "ru_RU.UTF-8"}, {"LANGUAGE", "es:en:de"}}, {"es"}},  // English ends the list
      {{{"LANG", "en_GB.UTF-8"}}, {}},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "ko_KR.UTF-8"}}, {"ko_KR", "ko"}},
      {{{"LANG", "de_DE"}, {"LC_MESSAGES", "ko_KR"}, {"LC_ALL", "ja_JP.eucJP"}}, {"ja_JP", "ja"}},
      {{{"LC_ALL", "C"}, {"LANG", "de_DE"}, {"LANGUAGE", "fr"}}, {}},
      {{{"LC_ALL", ""}, {"LANG", "sr_RS@latin"}}, {"sr_RS", "sr"}},  // empty means unset
  };
  for (const auto& [environment, languages] : cases) {
    std::string shown;
    for (const auto& [name, value] : environment) shown += name + "=" + value + " ";
    EXPECT_EQ(Preferred(environment), languages) << shown;
  }
}

}  // namespace
}  // namespace vaskel
