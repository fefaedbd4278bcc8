// The engine's growable array of storage references; a catalogue row's item data indexes it.
// Entries own nothing: the root storage and the opened-storage list own the storages.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/com/storage_interfaces.h"

namespace vaskel {

class StorageTable {
 public:
  // Grows, shrinks or frees the block by the array's sizing rule; new elements are null.
  void SetSize(std::int32_t new_size);
  // Appends at the current size and returns the new element's index.
  std::int32_t Add(IStorage* storage);
  void RemoveAll() { SetSize(0); }

  std::int32_t GetSize() const { return size_; }
  std::int32_t GetCapacity() const { return capacity_; }
  bool HasBlock() const { return block_ != nullptr; }
  // Null for an index outside the table.
  IStorage* GetAt(std::int32_t index) const;

 private:
  std::unique_ptr<IStorage*[]> block_;
  std::int32_t size_ = 0;
  std::int32_t capacity_ = 0;
};

}  // namespace vaskel
