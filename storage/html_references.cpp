#include "storage/html_references.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vaskel {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == y; });
}

// The attribute whose value a tag's reference is in; empty for other tags.
std::string_view ReferenceAttribute(std::string_view tag) {
  struct TagAttribute {
    std::string_view tag;
    std::string_view attribute;
  };
  static constexpr std::array<TagAttribute, 6> kTags = {{{"img", "src"},
                                                         {"script", "src"},
                                                         {"frame", "src"},
                                                         {"iframe", "src"},
                                                         {"link", "href"},
                                                         {"a", "href"}}};
  for (const TagAttribute& entry : kTags) {
    if (EqualsIgnoringCase(tag, entry.tag)) return entry.attribute;
  }
  return {};
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Decoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    if (text.substr(i, 5) == "&amp;") {
      out.push_back('&');
      i += 4;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

std::vector<HtmlReference> HtmlReferences(std::string_view html) {
  html = html.substr(0, std::min(html.size(), kMaxScannedBytes));
  std::vector<HtmlReference> references;
  std::size_t at = 0;
  while ((at = html.find('<', at)) != std::string_view::npos) {
    ++at;
    if (html.substr(at, 3) == "!--") {
      const std::size_t end = html.find("-->", at + 3);
      if (end == std::string_view::npos) break;
      at = end + 3;
      continue;
    }
    std::size_t name_end = at;
    while (name_end < html.size() && std::isalnum(static_cast<unsigned char>(html[name_end]))) {
      ++name_end;
    }
    const std::string_view tag = html.substr(at, name_end - at);
    const std::string_view wanted = ReferenceAttribute(tag);
    const bool frame = EqualsIgnoringCase(tag, "frame") || EqualsIgnoringCase(tag, "iframe");
    at = name_end;
    if (wanted.empty()) continue;
    // Attributes up to the tag's end.
    while (at < html.size() && html[at] != '>') {
      if (IsSpace(html[at]) || html[at] == '/') {
        ++at;
        continue;
      }
      const std::size_t attribute_start = at;
      while (at < html.size() && !IsSpace(html[at]) && html[at] != '=' && html[at] != '>') ++at;
      const std::string_view attribute = html.substr(attribute_start, at - attribute_start);
      while (at < html.size() && IsSpace(html[at])) ++at;
      if (at >= html.size() || html[at] != '=') continue;
      ++at;
      while (at < html.size() && IsSpace(html[at])) ++at;
      if (at >= html.size()) break;
      std::string_view value;
      if (html[at] == '"' || html[at] == '\'') {
        const std::size_t end = html.find(html[at], at + 1);
        if (end == std::string_view::npos) return references;
        value = html.substr(at + 1, end - at - 1);
        at = end + 1;
      } else {
        const std::size_t start = at;
        while (at < html.size() && !IsSpace(html[at]) && html[at] != '>') ++at;
        value = html.substr(start, at - start);
      }
      if (EqualsIgnoringCase(attribute, wanted)) {
        references.push_back(HtmlReference{std::string(value), frame});
      }
    }
  }
  return references;
}

std::optional<std::string> ResolveReference(std::string_view page_folder,
                                            std::string_view reference) {
  while (!reference.empty() && IsSpace(reference.front())) reference.remove_prefix(1);
  while (!reference.empty() && IsSpace(reference.back())) reference.remove_suffix(1);
  reference = reference.substr(0, reference.find_first_of("#?"));
  if (reference.empty()) return std::nullopt;
  // A scheme: letters (and + - .) followed by a colon before any slash.
  const std::size_t colon = reference.find(':');
  if (colon != std::string_view::npos && colon < reference.find('/')) return std::nullopt;
  const std::string decoded = Decoded(reference);
  std::string joined = decoded.front() == '/' || decoded.front() == '\\'
                           ? decoded
                           : std::string(page_folder) + decoded;
  std::replace(joined.begin(), joined.end(), '\\', '/');
  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  if (parts.empty() || joined.back() == '/') return std::nullopt;  // a folder, not a file
  std::string resolved;
  for (const std::string_view part : parts) {
    if (!resolved.empty()) resolved.push_back('/');
    resolved.append(part);
  }
  return resolved;
}

}  // namespace vaskel
