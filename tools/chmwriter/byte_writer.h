// Appends little-endian integers, ENCINTs and raw bytes to a growing buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vaskel::chmwriter {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void U64(std::uint64_t value);
  void Bytes(std::span<const std::uint8_t> bytes);
  void Text(std::string_view text);
  void Zeros(std::size_t count);
  // Big-endian base-128, shortest form: the directory's variable-length integer.
  void EncInt(std::uint64_t value);

  std::size_t size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t>& out_;
};

// Number of bytes EncInt(value) appends.
std::size_t EncIntLength(std::uint64_t value);

}  // namespace vaskel::chmwriter
