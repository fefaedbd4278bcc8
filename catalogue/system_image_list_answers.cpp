#include <cstdint>

#include "catalogue/shell_type_name.h"
#include "catalogue/system_image_list.h"
#include "catalogue/type_lookup_key.h"

namespace vaskel {
namespace {

// FNV-1a: look-up keys are a few bytes long.
std::size_t SmallHash(std::string_view key) {
  std::uint32_t hash = 2166136261u;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

}  // namespace

SystemImageList::Answers* SystemImageList::AnswersFor(std::string_view name) {
  if (last_answers_ != nullptr && name == last_name_) return last_answers_;
  MakeTypeLookupKey(name, key_);
  RecentKey& recent = recent_[SmallHash(key_) % kRecentKeys];
  Answers* found = recent.answers != nullptr && recent.key == key_ ? recent.answers : nullptr;
  if (found == nullptr) {
    found = answers_.Find(key_);
    if (found == nullptr) found = answers_.Insert(key_, Answers{});
    if (found == nullptr) return nullptr;
    recent.key = key_;
    recent.answers = found;
  }
  last_name_.assign(name);
  last_answers_ = found;
  return found;
}

std::string_view SystemImageList::TypeName(std::string_view name) {
  Answers* const answers = AnswersFor(name);
  if (answers == nullptr) {
    uncached_type_ = ShellTypeName(name);
    return uncached_type_;
  }
  if (!answers->type_known) {
    answers->type = ShellTypeName(name);
    answers->type_known = true;
  }
  return answers->type;
}

int SystemImageList::SmallIconIndex(std::string_view name) {
  Answers* const answers = AnswersFor(name);
  if (answers == nullptr) return GetIconIndex(name, false, true);
  if (answers->small_icon == kNotAsked) answers->small_icon = GetIconIndex(name, false, true);
  return answers->small_icon;
}

}  // namespace vaskel
