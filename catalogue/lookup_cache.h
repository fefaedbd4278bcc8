// A bounded map from type look-up keys to answers. Stored answers never move, so callers may
// keep references to them; once full it stores nothing more, so a file with endless distinct
// extensions costs look-ups, not memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vaskel {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

template <class Value>
class LookupCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 16384;

  explicit LookupCache(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  const Value* Find(std::string_view key) const {
    const auto found = answers_.find(key);
    return found == answers_.end() ? nullptr : &found->second;
  }
  Value* Find(std::string_view key) {
    const auto found = answers_.find(key);
    return found == answers_.end() ? nullptr : &found->second;
  }

  // Stores `value` under `key` unless the cache is full, and returns the stored answer (an
  // earlier one when the key is already there). Returns null, leaving `value` as it was, when
  // the cache is full.
  Value* Insert(std::string_view key, Value&& value) {
    if (Value* known = Find(key)) return known;
    if (answers_.size() >= capacity_) return nullptr;
    return &answers_.emplace(std::string(key), std::move(value)).first->second;
  }

  std::size_t size() const { return answers_.size(); }

 private:
  std::size_t capacity_;
  std::unordered_map<std::string, Value, TextHash, std::equal_to<>> answers_;
};

}  // namespace vaskel
