#include "catalogue/system_image_list.h"

#include <gio/gio.h>

#include <memory>

#include "catalogue/content_type_guess.h"
#include "catalogue/shell_type_name.h"
#include "catalogue/type_lookup_key.h"

namespace vaskel {
namespace {

// The small and large lists share their indexes, so one table serves both.
struct SharedLists {
  std::unique_ptr<IconIndexTable> table;
  int instance_count = 0;
};

SharedLists& Shared() {
  static SharedLists lists;
  return lists;
}

struct GObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};

// The icon theme's names for a content type, best first. An open icon puts each name's
// "-open" form first, as the theme names the open folder "folder-open".
std::vector<std::string> ThemeNamesFor(const char* content_type, bool open) {
  std::vector<std::string> names;
  const std::unique_ptr<GIcon, GObjectDeleter> icon(g_content_type_get_icon(content_type));
  if (!icon) return names;
  if (G_IS_THEMED_ICON(icon.get())) {
    for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon.get()));
         name != nullptr && *name != nullptr; ++name) {
      names.emplace_back(*name);
    }
  } else if (const GText text{g_icon_to_string(icon.get())}) {
    names.emplace_back(text.get());
  }
  if (open) {
    std::vector<std::string> with_open;
    for (const std::string& name : names) with_open.push_back(name + "-open");
    with_open.insert(with_open.end(), names.begin(), names.end());
    names = std::move(with_open);
  }
  return names;
}

// FNV-1a: look-up keys are a few bytes long.
std::size_t SmallHash(std::string_view key) {
  std::uint32_t hash = 2166136261u;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

}  // namespace

SystemImageList::SystemImageList() {
  SharedLists& shared = Shared();
  if (shared.instance_count == 0) shared.table = std::make_unique<IconIndexTable>();
  ++shared.instance_count;
}

SystemImageList::~SystemImageList() {
  SharedLists& shared = Shared();
  if (--shared.instance_count == 0) shared.table.reset();
}

const IconIndexTable* SystemImageList::GetImageList(bool) const { return Shared().table.get(); }

int SystemImageList::GetIconIndex(std::string_view name, bool open, bool) {
  IconIndexTable* const table = Shared().table.get();
  if (table == nullptr) return -1;
  thread_local std::string key;
  MakeTypeLookupKey(name, key);
  LookupCache<int>& cache = table->CacheFor(open);
  if (const int* known = cache.Find(key)) return *known;
  const GText type = GuessContentType(key);
  const std::vector<std::string> names = ThemeNamesFor(type.get(), open);
  const int index = names.empty() ? -1 : table->IndexFor(names);
  cache.Insert(key, int{index});
  return index;
}

const std::vector<std::string>& SystemImageList::IconNamesAt(int index) const {
  static const std::vector<std::string> kNone;
  const IconIndexTable* const table = Shared().table.get();
  return table == nullptr ? kNone : table->NamesAt(index);
}

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
