#include "app/translations.h"

#include <wx/arrstr.h>
#include <wx/intl.h>
#include <wx/translation.h>

#include <cstdlib>

#include "platform/data_location.h"
#include "platform/text/preferred_languages.h"
#include "platform/text/translation.h"

namespace vaskel {
namespace {

void AddCatalogueFolders() {
  static bool added = false;
  if (added) return;
  added = true;
  for (const std::filesystem::path& folder : CatalogueFolders(RunningExecutable()))
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(folder.string()));
}

std::string TranslateOne(const char* text) {
  return wxGetTranslation(wxString::FromUTF8(text)).utf8_string();
}

std::string TranslatePlural(const char* singular, const char* plural, unsigned long count) {
  return wxGetTranslation(wxString::FromUTF8(singular), wxString::FromUTF8(plural),
                          static_cast<unsigned>(count))
      .utf8_string();
}

}  // namespace

wxString ChooseLanguage(const std::vector<std::string>& preferred) {
  AddCatalogueFolders();
  const wxArrayString available = wxTranslations().GetAvailableTranslations(kCatalogueDomain);
  for (const std::string& language : preferred) {
    if (available.Index(wxString::FromUTF8(language)) != wxNOT_FOUND)
      return wxString::FromUTF8(language);
  }
  return {};
}

void UseDesktopLanguage() { UseLanguage(ChooseLanguage(PreferredLanguages(&std::getenv))); }

void UseLanguage(const wxString& language) {
  AddCatalogueFolders();
  if (language.empty()) {
    wxTranslations::Set(nullptr);  // the source texts, untouched
    SetTranslator({});
    return;
  }
  auto* translations = new wxTranslations();
  wxTranslations::Set(translations);  // takes it over
  translations->SetLanguage(language);
  translations->AddStdCatalog();
  translations->AddCatalog(kCatalogueDomain);
  SetTranslator({&TranslateOne, &TranslatePlural});
}

}  // namespace vaskel
