// A bounded map from type look-up keys to answers. Stored answers never move, so callers may
// keep references to them. Once full it stores nothing more, and it never stores long keys (a
// name without an extension is its own key), so a file of endless distinct or long names costs
// look-ups, not memory.
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
  static constexpr std::size_t kMaxKeyBytes = 64;

  explicit LookupCache(std::size_t capacity = kDefaultCapacity,
                       std::size_t max_key_bytes = kMaxKeyBytes)
      : capacity_(capacity), max_key_bytes_(max_key_bytes) {}

  const Value* Find(std::string_view key) const {
    const auto found = answers_.find(key);
    return found == answers_.end() ? nullptr : &found->second;
  }
  Value* Find(std::string_view key) {
    const auto found = answers_.find(key);
    return found == answers_.end() ? nullptr : &found->second;
  }

  // Stores `value` under `key` and returns the stored answer (an earlier one when the key is
  // already there). Returns null, leaving `value` as it was, when the cache is full or the key
  // too long.
  Value* Insert(std::string_view key, Value&& value) {
    if (Value* known = Find(key)) return known;
    if (answers_.size() >= capacity_ || key.size() > max_key_bytes_) return nullptr;
    return &answers_.emplace(std::string(key), std::move(value)).first->second;
  }

  std::size_t size() const { return answers_.size(); }

 private:
  std::size_t capacity_;
  std::size_t max_key_bytes_;
  std::unordered_map<std::string, Value, TextHash, std::equal_to<>> answers_;
};

}  // namespace vaskel
