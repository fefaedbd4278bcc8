#include "storage/storage_table.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vaskel {

void StorageTable::SetSize(std::int32_t new_size) {
  if (new_size < 0) throw std::invalid_argument("StorageTable size cannot be negative");
  if (new_size == 0) {
    block_.reset();
    size_ = capacity_ = 0;
    return;
  }
  if (!block_) {
    block_ = std::make_unique<IStorage*[]>(static_cast<std::size_t>(new_size));  // zeroed
    size_ = capacity_ = new_size;
    return;
  }
  if (new_size <= capacity_) {
    std::fill(block_.get() + std::min(size_, new_size), block_.get() + new_size, nullptr);
    size_ = new_size;
    return;
  }
  const std::int32_t step = std::clamp(size_ / 8, 4, 1024);
  const std::int64_t grown = std::int64_t{capacity_} + step;
  const std::int64_t new_capacity = std::max<std::int64_t>(new_size, grown);
  if (new_capacity > std::numeric_limits<std::int32_t>::max()) {
    throw std::length_error("StorageTable is full");
  }
  auto bigger = std::make_unique<IStorage*[]>(static_cast<std::size_t>(new_capacity));
  std::copy(block_.get(), block_.get() + size_, bigger.get());
  block_ = std::move(bigger);
  size_ = new_size;
  capacity_ = static_cast<std::int32_t>(new_capacity);
}

std::int32_t StorageTable::Add(IStorage* storage) {
  const std::int32_t index = size_;
  SetSize(index + 1);
  block_[static_cast<std::size_t>(index)] = storage;
  return index;
}

IStorage* StorageTable::GetAt(std::int32_t index) const {
  if (index < 0 || index >= size_) return nullptr;
  return block_[static_cast<std::size_t>(index)];
}

}  // namespace vaskel
