#include "storage/extraction_plan.h"

#include <algorithm>

#include "platform/com/error_info.h"

namespace vaskel {
namespace {

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b
             ? std::numeric_limits<std::uint64_t>::max()
             : a + b;
}

}  // namespace

ExtractionPlan::ExtractionPlan(const std::vector<LocatedEntry>& located,
                               std::vector<std::size_t> order, std::size_t decoders,
                               std::size_t buffer_size)
    : located_(located),
      order_(std::move(order)),
      decoders_(std::max<std::size_t>(decoders, 1)),
      buffer_size_(buffer_size),
      decoder_(decoders_ - 1) {
  task_.decoder = decoder_;
}

bool ExtractionPlan::Next(PlannedTask* task) {
  while (!closed_) {
    if (in_entry_) {
      PlanPiece();
    } else if (next_ < order_.size()) {
      if (!StartEntry()) continue;
      in_entry_ = true;
    } else {
      Close();
      if (!closed_) return false;
    }
  }
  *task = std::move(*closed_);
  closed_.reset();
  return true;
}

ExtentReader* ExtractionPlan::ReaderFor(const LocatedEntry& item) {
  std::unique_ptr<ExtentReader>& reader = readers_[item.content];
  if (!reader) reader = item.locator->NewExtentReader();
  return reader.get();
}

bool ExtractionPlan::StartEntry() {
  const std::size_t entry = order_[next_++];
  const LocatedEntry& item = located_[entry];
  if (item.locator == nullptr) {
    stream_entries_.push_back(entry);
    return false;
  }
  PlannedPiece piece{.entry = entry, .size = item.extent.length, .first = true};
  // Entries that cannot be read at all take no buffer space; they pass through in their place.
  const auto pass_through = [&] {
    piece.last = true;
    task_.pieces.push_back(piece);
    if (task_.pieces.size() >= kMostPiecesPerTask) Close();
    return false;
  };
  if (!item.found) {
    piece.skipped = true;
    return pass_through();
  }
  if (item.extent.offset > std::numeric_limits<std::uint64_t>::max() - item.extent.length) {
    piece.result = STG_E_DOCFILECORRUPT;  // it would end past any section
    return pass_through();
  }
  ExtentReader* const reader = ReaderFor(item);
  // A stream claiming more than its section holds fails whole, before any work is planned for
  // the bytes it claims.
  if (reader) {
    piece.result = reader->CheckExtent(item.extent);
    if (Failed(piece.result)) {
      piece.reason = task_.KeepReason(GetErrorInfo());
      return pass_through();
    }
  }
  const auto [known, inserted] = spans_.try_emplace({item.content, item.extent.section}, 0);
  if (inserted && reader) known->second = reader->FreshStartSpan(item.extent.section);
  span_ = known->second;
  alignable_ = span_ != 0 && span_ <= buffer_size_ / 2;
  piece_ = piece;
  return true;
}

void ExtractionPlan::PlanPiece() {
  const LocatedEntry& item = located_[piece_.entry];
  const std::uint64_t at = item.extent.offset + piece_.position;
  if (region_open_ &&
      (item.content != content_ || item.extent.section != section_ || at >= limit_ ||
       used_ == buffer_size_ || task_.pieces.size() >= kMostPiecesPerTask)) {
    Close();
  }
  if (!region_open_) {
    // Work that starts where decoding starts afresh, or beyond where the last decoder could
    // simply go on, goes to the next decoder; work that continues the last stays with it.
    const bool fresh = tasks_made_ == 0 || item.content != content_ ||
                       item.extent.section != section_ ||
                       (alignable_ && (at % span_ == 0 || at / span_ != end_ / span_));
    if (fresh) decoder_ = (decoder_ + 1) % decoders_;
    task_.decoder = decoder_;
    region_open_ = true;
    content_ = item.content;
    section_ = item.extent.section;
    limit_ = SaturatingAdd(at, buffer_size_);
    if (alignable_ && limit_ != std::numeric_limits<std::uint64_t>::max()) limit_ -= limit_ % span_;
  }
  piece_.offset = static_cast<std::uint32_t>(used_);
  piece_.length = static_cast<std::uint32_t>(
      std::min({item.extent.length - piece_.position,
                static_cast<std::uint64_t>(buffer_size_ - used_), limit_ - at}));
  piece_.last = piece_.position + piece_.length == item.extent.length;
  task_.pieces.push_back(piece_);
  used_ += piece_.length;
  end_ = at + piece_.length;
  piece_.position += piece_.length;
  piece_.first = false;
  if (piece_.last) in_entry_ = false;
}

void ExtractionPlan::Close() {
  if (!task_.pieces.empty()) {
    closed_ = std::move(task_);
    ++tasks_made_;
  }
  task_ = PlannedTask{.decoder = decoder_, .pieces = {}, .reasons = {}};
  used_ = 0;
  region_open_ = false;
}

}  // namespace vaskel
