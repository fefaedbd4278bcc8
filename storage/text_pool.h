// Stores each distinct text once and names it by a small id, so that 100,000 catalogue rows
// whose Type and Path texts repeat cost a few bytes per cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vaskel {

class TextPool {
 public:
  using Id = std::uint32_t;
  static constexpr Id kEmpty = 0;

  TextPool();
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  // The id of `text`, storing it when it is new. Equal texts get equal ids.
  Id Intern(std::string_view text);
  // Stays valid until Clear: stored texts never move.
  std::string_view View(Id id) const {
    return id < spans_.size() ? spans_[id] : std::string_view();
  }
  // Forgets every text; only the empty one remains.
  void Clear();

 private:
  struct Slot {
    Id id = kEmpty;  // kEmpty marks a free slot: the empty text is never in the table
    std::uint32_t hash = 0;
  };

  const char* Store(std::string_view text);
  void Grow();

  std::vector<std::string_view> spans_;  // indexed by id
  std::vector<Slot> slots_;              // open addressing, size a power of two
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t block_used_ = 0;
  std::size_t block_size_ = 0;
};

}  // namespace vaskel
