#include "storage/extraction_job.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <map>
#include <thread>
#include <tuple>

#include "platform/com/error_info.h"
#include "storage/path_limit.h"
#include "storage/text_conversion.h"

namespace vaskel {
namespace {

// A read shorter than this is not worth starting at the end of a buffer: the rest of the stream
// goes into the next one.
constexpr std::size_t kSmallestRead = 32 << 10;
// Bytes wait at most this long in a buffer that is not full, so that a slow stream still shows
// progress soon.
constexpr auto kLongestHold = std::chrono::milliseconds(10);
// Requests made of a stream read through IStream.
constexpr std::size_t kStreamRequest = 64 << 10;

}  // namespace

// One entry's bytes (or its end) inside a batch's buffer.
struct ExtractionJob::Piece {
  std::size_t entry = 0;
  std::size_t offset = 0;
  std::size_t length = 0;
  std::uint64_t size = 0;    // the entry's, on its first piece
  HRESULT result = S_OK;     // on its last piece
  std::string failure = {};  // the reader's reason for a failed result
  bool first = false;
  bool last = false;
  bool skipped = false;
};

struct ExtractionJob::Batch {
  std::size_t buffer = 0;
  std::vector<Piece> pieces;
};

struct ExtractionJob::Located {
  std::size_t entry = 0;
  const void* content = nullptr;  // null: read through the storage's streams
  StreamExtent extent;
  bool found = false;
};

// The reading thread's state: the buffer being filled and the readers of each help file.
class ExtractionJob::Reading {
 public:
  bool has_buffer = false;
  Batch batch;
  std::size_t used = 0;
  std::chrono::steady_clock::time_point started;
  std::map<const void*, std::unique_ptr<ExtentReader>> readers;

  std::span<std::uint8_t> Space(std::uint8_t* buffer) {
    return std::span(buffer + used, kBufferSize - used);
  }
  void Add(const Piece& piece) {
    batch.pieces.push_back(piece);
    used += piece.length;
  }
};

ExtractionJob::ExtractionJob(std::vector<JobEntry> entries) : entries_(std::move(entries)) {}

ExtractionJob::~ExtractionJob() = default;

std::vector<ExtractionJob::Located> ExtractionJob::ResolveInDataOrder() {
  std::vector<Located> order(entries_.size());
  std::u16string wide(kPlatformPathLimit, u'\0');
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Located& item = order[i];
    item.entry = i;
    StreamLocator* locator = entries_[i].storage ? LocatorOf(entries_[i].storage.Get()) : nullptr;
    if (locator == nullptr) continue;
    item.content = locator->ContentIdentity();
    item.found = NarrowToWide(entries_[i].name, wide) &&
                 Succeeded(locator->LocateStream(wide.c_str(), &item.extent));
  }
  // Entries read through streams last, in the order given; the others by where their bytes lie.
  const auto key = [](const Located& item) {
    return std::make_tuple(item.content == nullptr, reinterpret_cast<std::uintptr_t>(item.content),
                           item.extent.section, item.extent.offset);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&key](const Located& a, const Located& b) { return key(a) < key(b); });
  return order;
}

bool ExtractionJob::Run(EntrySink& sink, const std::function<bool()>& stop) {
  std::vector<Located> order = ResolveInDataOrder();
  for (std::size_t i = 0; i < kBufferCount; ++i) {
    buffers_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize));
    free_buffers_.push_back(i);
  }
  std::thread reader([this, order = std::move(order)]() mutable { ReadAhead(std::move(order)); });
  // However the delivery ends, the reader stops and is waited for.
  struct Join {
    ExtractionJob& job;
    std::thread& thread;
    ~Join() {
      job.StopReading();
      thread.join();
    }
  } join{*this, reader};

  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !batches_.empty() || reading_done_; });
      if (batches_.empty()) return true;
      batch = std::move(batches_.front());
      batches_.pop_front();
    }
    const std::uint8_t* bytes = buffers_[batch.buffer].get();
    for (const Piece& piece : batch.pieces) {
      if (piece.first) {
        if (stop && stop()) return false;
        if (piece.skipped) {
          sink.Skip(piece.entry);
          continue;
        }
        sink.Begin(piece.entry, piece.size);
      }
      if (piece.length) sink.Write(std::span(bytes + piece.offset, piece.length));
      if (piece.last) {
        // The reason crosses over from the reading thread as the reader left it there.
        if (Failed(piece.result)) SetErrorInfo(piece.failure);
        sink.End(piece.result);
      }
    }
    GiveBack(batch.buffer);
  }
}

void ExtractionJob::StopReading() {
  {
    std::lock_guard lock(mutex_);  // so that a reader about to wait cannot miss it
    stopping_.store(true, std::memory_order_release);
  }
  changed_.notify_all();
}

void ExtractionJob::GiveBack(std::size_t buffer) {
  {
    std::lock_guard lock(mutex_);
    free_buffers_.push_back(buffer);
    buffered_ -= std::min(buffered_, kBufferSize);
  }
  changed_.notify_all();
}

bool ExtractionJob::HandOver(Reading& reading, bool wait_for_buffer) {
  std::unique_lock lock(mutex_);
  if (reading.has_buffer) {
    if (reading.batch.pieces.empty()) {
      free_buffers_.push_back(reading.batch.buffer);
    } else {
      buffered_ += kBufferSize;
      peak_buffered_ = std::max(peak_buffered_, buffered_);
      batches_.push_back(std::move(reading.batch));
    }
    reading.batch = Batch();
    reading.has_buffer = false;
    changed_.notify_all();
  }
  if (!wait_for_buffer) return true;
  changed_.wait(
      lock, [this] { return !free_buffers_.empty() || stopping_.load(std::memory_order_acquire); });
  if (stopping_.load(std::memory_order_acquire)) return false;
  reading.batch.buffer = free_buffers_.back();
  free_buffers_.pop_back();
  reading.has_buffer = true;
  reading.used = 0;
  reading.started = std::chrono::steady_clock::now();
  return true;
}

void ExtractionJob::ReadAhead(std::vector<Located> order) {
  Reading reading;
  try {
    for (const Located& item : order) {
      if (stopping_.load(std::memory_order_acquire)) break;
      if (!(item.content ? ReadEntry(item, reading) : ReadByStream(item, reading))) break;
    }
  } catch (const std::exception&) {
    // Out of memory for a reader: what was read is delivered, and the job ends there.
  }
  HandOver(reading, false);
  {
    std::lock_guard lock(mutex_);
    reading_done_ = true;
  }
  changed_.notify_all();
}

bool ExtractionJob::ReadEntry(const Located& item, Reading& reading) {
  if (!reading.has_buffer && !HandOver(reading, true)) return false;
  Piece piece{.entry = item.entry, .size = item.extent.length, .first = true};
  if (!item.found) {
    piece.skipped = piece.last = true;
    reading.Add(piece);
    return true;
  }
  std::unique_ptr<ExtentReader>& reader = reading.readers[item.content];
  if (!reader) reader = LocatorOf(entries_[item.entry].storage.Get())->NewExtentReader();
  std::uint64_t position = 0;
  for (;;) {
    const std::uint64_t remaining = item.extent.length - position;
    std::span<std::uint8_t> space = reading.Space(buffers_[reading.batch.buffer].get());
    const bool held_too_long = std::chrono::steady_clock::now() - reading.started > kLongestHold;
    if ((space.size() < kSmallestRead && remaining > space.size()) ||
        (held_too_long && !reading.batch.pieces.empty())) {
      if (!HandOver(reading, true)) return false;
      continue;
    }
    space = space.first(static_cast<std::size_t>(std::min<std::uint64_t>(space.size(), remaining)));
    piece.offset = reading.used;
    piece.result = reader->Read(item.extent, position, space);
    if (Failed(piece.result)) piece.failure = GetErrorInfo();
    piece.length = Succeeded(piece.result) ? space.size() : 0;
    position += piece.length;
    piece.last = Failed(piece.result) || position == item.extent.length;
    reading.Add(piece);
    if (piece.last) return true;
    piece.first = false;
  }
}

bool ExtractionJob::ReadByStream(const Located& item, Reading& reading) {
  if (!reading.has_buffer && !HandOver(reading, true)) return false;
  const JobEntry& entry = entries_[item.entry];
  Piece piece{.entry = item.entry, .first = true};
  std::u16string wide(kPlatformPathLimit, u'\0');
  ComPtr<IStream> stream;
  if (!entry.storage || !NarrowToWide(entry.name, wide) ||
      Failed(entry.storage->OpenStream(wide.c_str(), nullptr, STGM_READ, 0, stream.Put())) ||
      !stream) {
    piece.skipped = piece.last = true;
    reading.Add(piece);
    return true;
  }
  STATSTG stat;
  const bool stated = Succeeded(stream->Stat(&stat));
  piece.size = stated ? stat.cbSize : 0;
  std::uint64_t delivered_total = 0;
  for (;;) {
    std::span<std::uint8_t> space = reading.Space(buffers_[reading.batch.buffer].get());
    if (space.size() < kStreamRequest) {
      if (!HandOver(reading, true)) return false;
      continue;
    }
    ULONG delivered = 0;
    piece.offset = reading.used;
    piece.result = stream->Read(space.data(), kStreamRequest, &delivered);
    if (Failed(piece.result)) piece.failure = GetErrorInfo();
    if (Succeeded(piece.result) && delivered > kStreamRequest) piece.result = STG_E_READFAULT;
    piece.length = Succeeded(piece.result) ? delivered : 0;
    delivered_total += piece.length;
    piece.last = Failed(piece.result) || delivered < kStreamRequest;
    // A reader that stops early without saying so must not pass for a complete stream.
    if (piece.last && Succeeded(piece.result) && stated && delivered_total != stat.cbSize) {
      piece.result = STG_E_READFAULT;
    }
    reading.Add(piece);
    if (piece.last) return true;
    piece.first = false;
  }
}

}  // namespace vaskel
