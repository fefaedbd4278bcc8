#include "catalogue/shell_type_name.h"

#include <mutex>

#include "catalogue/lookup_cache.h"
#include "catalogue/type_description.h"
#include "catalogue/type_lookup_key.h"
#include "platform/text/utf_text.h"

namespace vaskel {
namespace {

std::string DescribeKey(const std::string& key) {
  std::string text = DescribeTypeOf(key);
  if (text.size() > kMaxTypeNameBytes) {
    text.resize(
        platform::WholeCharactersLength(std::string_view(text).substr(0, kMaxTypeNameBytes)));
  }
  return text;
}

struct TypeNameCache {
  std::mutex mutex;
  LookupCache<std::string> answers;
};

TypeNameCache& Cache() {
  static TypeNameCache cache;
  return cache;
}

}  // namespace

std::string_view CachedShellTypeName(std::string_view name) {
  thread_local std::string key;
  thread_local std::string uncached;
  MakeTypeLookupKey(name, key);
  TypeNameCache& cache = Cache();
  {
    const std::lock_guard lock(cache.mutex);
    if (const std::string* known = cache.answers.Find(key)) return *known;
  }
  // Asked outside the lock: the desktop's look-ups are thread-safe, and a slow first look-up holds
  // no one up.
  std::string answer = DescribeKey(key);
  const std::lock_guard lock(cache.mutex);
  if (const std::string* stored = cache.answers.Insert(key, std::move(answer))) return *stored;
  uncached = std::move(answer);
  return uncached;
}

std::string ShellTypeName(std::string_view name) { return std::string(CachedShellTypeName(name)); }

}  // namespace vaskel
