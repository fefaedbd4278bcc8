#include "catalogue/system_image_list.h"

#include <gio/gio.h>

#include <memory>

#include "catalogue/content_type_guess.h"
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

}  // namespace vaskel
