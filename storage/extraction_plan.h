// Cuts the located bytes of an extraction job's entries, in data order, into tasks that each fill
// one buffer, cut where possible where decoding starts afresh so that the decoding threads can
// take them alternately. Tasks are made one at a time, as the threads ask for work: memory for
// the plan stays small however many bytes the entries claim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/stream_locator.h"

namespace vaskel {

inline constexpr std::uint32_t kNoReason = std::numeric_limits<std::uint32_t>::max();

// Where an entry's bytes lie.
struct LocatedEntry {
  StreamLocator* locator = nullptr;  // null: read through the storage's streams
  const void* content = nullptr;     // the locator's help file
  StreamExtent extent;
  bool found = false;
};

// A run of one entry's bytes (or its end) inside a buffer. Kept small: a job may have tens of
// thousands.
struct PlannedPiece {
  std::size_t entry = 0;
  std::uint64_t position = 0;  // in the stream
  std::uint32_t offset = 0;    // in the buffer
  std::uint32_t length = 0;
  std::uint64_t size = 0;            // the entry's, on its first piece
  HRESULT result = S_OK;             // on its last piece
  std::uint32_t reason = kNoReason;  // why it failed, an index into its task's `reasons`
  bool first = false;
  bool last = false;
  bool skipped = false;
  bool taken = false;  // the sink took the whole entry on the decoding thread
};

// The pieces that fill one buffer, and the decoding thread that fills it. Few pieces fail, so
// their reasons are kept beside them rather than in every piece.
struct PlannedTask {
  std::size_t decoder = 0;
  std::vector<PlannedPiece> pieces;
  std::vector<std::string> reasons;

  std::uint32_t KeepReason(std::string reason) {
    reasons.push_back(std::move(reason));
    return static_cast<std::uint32_t>(reasons.size() - 1);
  }
};

class ExtractionPlan {
 public:
  // `order`: indexes into `located`, in data order. `located` must outlive the plan.
  ExtractionPlan(const std::vector<LocatedEntry>& located, std::vector<std::size_t> order,
                 std::size_t decoders, std::size_t buffer_size);

  // The next task; false when every entry has been planned. Entries without a locator are
  // passed over and listed in stream_entries(), in the order given.
  bool Next(PlannedTask* task);

  const std::vector<std::size_t>& stream_entries() const { return stream_entries_; }

 private:
  // Tasks holding only pieces that need no buffer space (failures) close at this many pieces.
  static constexpr std::size_t kMostPiecesPerTask = 4096;

  // False when the entry needs no pieces of its own.
  bool StartEntry();
  void PlanPiece();
  void Close();
  ExtentReader* ReaderFor(const LocatedEntry& item);

  const std::vector<LocatedEntry>& located_;
  const std::vector<std::size_t> order_;
  const std::size_t decoders_;
  const std::size_t buffer_size_;

  std::size_t next_ = 0;  // in order_
  bool in_entry_ = false;
  PlannedPiece piece_;
  std::uint64_t span_ = 0;  // of the entry's section; see ExtentReader::FreshStartSpan
  bool alignable_ = false;

  PlannedTask task_;
  std::optional<PlannedTask> closed_;  // made, not yet handed out
  std::size_t tasks_made_ = 0;
  std::size_t used_ = 0;
  bool region_open_ = false;  // the task holds located bytes; they end at limit_
  std::uint64_t limit_ = 0;
  std::uint64_t end_ = 0;  // where the last piece ended
  const void* content_ = nullptr;
  std::uint64_t section_ = 0;
  std::size_t decoder_ = 0;
  std::map<std::pair<const void*, std::uint64_t>, std::uint64_t> spans_;
  std::map<const void*, std::unique_ptr<ExtentReader>> readers_;
  std::vector<std::size_t> stream_entries_;
};

}  // namespace vaskel
