// Texts a person reads, in the user's language. Layers without a GUI mark their texts with Tr()
// and TrPlural(); the program that runs them connects the catalogue (the window wxWidgets',
// vaskel-cli the C library's). Unconnected, the English source text is returned as it is.
#pragma once

#include <cstdio>
#include <string>

// Marks a text for the catalogue where it is defined; Tr() translates it where it is shown.
#define TrNoop(text) text

namespace vaskel {

struct Translator {
  std::string (*single)(const char* text) = nullptr;
  std::string (*plural)(const char* singular, const char* plural, unsigned long count) = nullptr;
};

// Returns the previous translator.
Translator SetTranslator(Translator translator);

std::string Tr(const char* text);
// `singular` or `plural` as the language's rules choose for `count`.
std::string TrPlural(const char* singular, const char* plural, unsigned long count);

// printf into a string, for translated formats (a translation may reorder nothing but words).
template <typename... Args>
std::string FormatText(const std::string& format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format.c_str(), args...);
  text.pop_back();
  return text;
}

}  // namespace vaskel
