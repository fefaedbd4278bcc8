#include "platform/text/translation.h"

#include <utility>

namespace vaskel {
namespace {

Translator& Current() {
  static Translator translator;
  return translator;
}

}  // namespace

Translator SetTranslator(Translator translator) { return std::exchange(Current(), translator); }

std::string Tr(const char* text) {
  const Translator& translator = Current();
  return translator.single != nullptr ? translator.single(text) : std::string(text);
}

std::string TrPlural(const char* singular, const char* plural, unsigned long count) {
  const Translator& translator = Current();
  if (translator.plural != nullptr) return translator.plural(singular, plural, count);
  return count == 1 ? singular : plural;
}

}  // namespace vaskel
