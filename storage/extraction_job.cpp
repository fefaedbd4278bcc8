#include "storage/extraction_job.h"

#include <algorithm>
#include <limits>
#include <map>
#include <thread>
#include <tuple>
#include <utility>

#include "platform/com/error_info.h"
#include "storage/path_limit.h"
#include "storage/text_conversion.h"

namespace vaskel {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
constexpr std::uint32_t kNoReason = std::numeric_limits<std::uint32_t>::max();
// Requests made of a stream read through IStream.
constexpr std::size_t kStreamRequest = 64 << 10;

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b
             ? std::numeric_limits<std::uint64_t>::max()
             : a + b;
}

}  // namespace

// A run of one entry's bytes (or its end) inside a buffer. Kept small: a job may have tens of
// thousands.
struct ExtractionJob::Piece {
  std::size_t entry = 0;
  std::uint64_t position = 0;  // in the stream
  std::uint32_t offset = 0;    // in the buffer
  std::uint32_t length = 0;
  std::uint64_t size = 0;            // the entry's, on its first piece
  HRESULT result = S_OK;             // on its last piece
  std::uint32_t reason = kNoReason;  // the reader's reason for a failed result, in `reasons`
  bool first = false;
  bool last = false;
  bool skipped = false;
  bool taken = false;  // the sink took the whole entry on the decoding thread
};

// Few pieces fail, so their reasons are kept beside them rather than in every piece.
std::uint32_t KeepReason(std::vector<std::string>& reasons, std::string reason) {
  reasons.push_back(std::move(reason));
  return static_cast<std::uint32_t>(reasons.size() - 1);
}

struct ExtractionJob::Batch {
  std::size_t buffer = kNone;
  std::vector<Piece> pieces;
  std::vector<std::string> reasons;
};

// The pieces that fill one buffer, and the decoding thread that fills it.
struct ExtractionJob::Task {
  std::size_t decoder = 0;
  std::vector<Piece> pieces;
  std::vector<std::string> reasons;
};

struct ExtractionJob::Located {
  std::size_t entry = 0;
  const void* content = nullptr;  // null: read through the storage's streams
  StreamExtent extent;
  bool found = false;
};

// One decoding thread's share: its buffers, the batches it filled that the sink has yet to
// take, and a reader of each help file.
struct ExtractionJob::Decoder {
  std::vector<std::size_t> free_buffers;
  std::deque<Batch> filled;
  bool finished = false;
  std::map<const void*, std::unique_ptr<ExtentReader>> readers;
};

ExtractionJob::ExtractionJob(std::vector<JobEntry> entries) : entries_(std::move(entries)) {}

ExtractionJob::~ExtractionJob() = default;

std::vector<std::size_t> ExtractionJob::ResolveInDataOrder() {
  located_.resize(entries_.size());
  std::u16string wide(kPlatformPathLimit, u'\0');
  // Entries of one folder come together: look the locator up once for them.
  IStorage* storage = nullptr;
  StreamLocator* locator = nullptr;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Located& item = located_[i];
    item.entry = i;
    if (entries_[i].storage.Get() != storage || i == 0) {
      storage = entries_[i].storage.Get();
      locator = storage ? LocatorOf(storage) : nullptr;
    }
    if (locator == nullptr) continue;
    item.content = locator->ContentIdentity();
    item.found = NarrowToWide(entries_[i].name, wide) &&
                 Succeeded(locator->LocateStream(wide.c_str(), &item.extent));
  }
  // Entries read through streams last, in the order given; the others by where their bytes lie.
  std::vector<std::size_t> order(located_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto key = [this](std::size_t entry) {
    const Located& item = located_[entry];
    return std::make_tuple(item.content == nullptr, reinterpret_cast<std::uintptr_t>(item.content),
                           item.extent.section, item.extent.offset);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&key](std::size_t a, std::size_t b) { return key(a) < key(b); });
  return order;
}

ExtentReader* ExtractionJob::PlanningReader(const Located& item) {
  std::unique_ptr<ExtentReader>& reader = decoders_[0].readers[item.content];
  if (!reader) reader = LocatorOf(entries_[item.entry].storage.Get())->NewExtentReader();
  return reader.get();
}

std::uint64_t ExtractionJob::FreshStartSpan(const Located& item) {
  ExtentReader* const reader = PlanningReader(item);
  return reader ? reader->FreshStartSpan(item.extent.section) : 0;
}

void ExtractionJob::Plan(const std::vector<std::size_t>& order) {
  Task task;
  std::size_t used = 0;
  bool region_open = false;  // the task holds located bytes; they end at `limit`
  std::uint64_t limit = 0;
  std::uint64_t end = 0;  // where the last piece ended
  const void* content = nullptr;
  std::uint64_t section = 0;
  std::size_t decoder = decoders_.size() - 1;
  std::map<std::pair<const void*, std::uint64_t>, std::uint64_t> spans;
  const auto close = [&] {
    if (!task.pieces.empty()) tasks_.push_back(std::move(task));
    task = Task{.decoder = decoder, .pieces = {}, .reasons = {}};
    used = 0;
    region_open = false;
  };
  close();
  for (const std::size_t entry : order) {
    const Located& item = located_[entry];
    if (item.content == nullptr) {
      by_stream_.push_back(item.entry);
      continue;
    }
    Piece piece{.entry = item.entry, .size = item.extent.length, .first = true};
    if (!item.found ||
        item.extent.offset > std::numeric_limits<std::uint64_t>::max() - item.extent.length) {
      piece.last = true;
      piece.skipped = !item.found;
      if (item.found) piece.result = STG_E_DOCFILECORRUPT;  // it would end past any section
      task.pieces.push_back(piece);
      continue;
    }
    // A stream claiming more than its section holds fails whole, before any work is planned
    // for the bytes it claims: those could be more than memory holds.
    if (ExtentReader* const reader = PlanningReader(item)) {
      piece.result = reader->CheckExtent(item.extent);
      if (Failed(piece.result)) {
        piece.reason = KeepReason(task.reasons, GetErrorInfo());
        piece.last = true;
        task.pieces.push_back(piece);
        continue;
      }
    }
    const auto [known, inserted] = spans.try_emplace({item.content, item.extent.section}, 0);
    if (inserted) known->second = FreshStartSpan(item);
    const std::uint64_t span = known->second;
    const bool alignable = span != 0 && span <= kBufferSize / 2;
    do {
      const std::uint64_t at = item.extent.offset + piece.position;
      if (region_open && (item.content != content || item.extent.section != section ||
                          at >= limit || used == kBufferSize)) {
        close();
      }
      if (!region_open) {
        // Work that starts where decoding starts afresh, or beyond where the last decoder could
        // simply go on, goes to the next decoder; work that continues the last stays with it.
        const bool fresh = tasks_.empty() || item.content != content ||
                           item.extent.section != section ||
                           (alignable && (at % span == 0 || at / span != end / span));
        if (fresh) decoder = (decoder + 1) % decoders_.size();
        task.decoder = decoder;
        region_open = true;
        content = item.content;
        section = item.extent.section;
        limit = SaturatingAdd(at, kBufferSize);
        if (alignable && limit != std::numeric_limits<std::uint64_t>::max()) limit -= limit % span;
      }
      piece.offset = static_cast<std::uint32_t>(used);
      piece.length = static_cast<std::uint32_t>(
          std::min({item.extent.length - piece.position,
                    static_cast<std::uint64_t>(kBufferSize - used), limit - at}));
      piece.last = piece.position + piece.length == item.extent.length;
      task.pieces.push_back(piece);
      used += piece.length;
      end = at + piece.length;
      piece.position += piece.length;
      piece.first = false;
    } while (!piece.last);
  }
  close();
}

bool ExtractionJob::Run(EntrySink& sink, const std::function<bool()>& stop) {
  sink_ = &sink;
  const std::vector<std::size_t> order = ResolveInDataOrder();
  const std::size_t decoders =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostDecoders);
  decoders_ = std::vector<Decoder>(decoders);  // not resize: a Decoder does not move
  for (std::size_t i = 0; i < kBufferCount; ++i) {
    buffers_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize));
    decoders_[i % decoders].free_buffers.push_back(i);
  }
  Plan(order);

  // However the delivery ends, the decoders stop and are waited for.
  std::vector<std::thread> threads;
  struct Join {
    ExtractionJob& job;
    std::vector<std::thread>& threads;
    ~Join() {
      job.StopDecoding();
      for (std::thread& thread : threads) thread.join();
    }
  } join{*this, threads};
  for (std::size_t decoder = 0; decoder < decoders; ++decoder)
    threads.emplace_back([this, decoder] { Decode(decoder); });

  std::size_t open = kNone;  // the entry begun and not yet ended
  const auto deliver = [&](std::size_t decoder, const Batch& batch) {
    const std::uint8_t* bytes = buffers_[batch.buffer].get();
    for (const Piece& piece : batch.pieces) {
      if (piece.first) {
        if (stop && stop()) return false;
        if (piece.skipped) {
          sink.Skip(piece.entry);
          continue;
        }
        sink.Begin(piece.entry, piece.size);
        open = piece.entry;
      } else if (piece.entry != open) {
        continue;  // the rest of an entry whose data turned out damaged
      }
      if (piece.length && !piece.taken) sink.Write(std::span(bytes + piece.offset, piece.length));
      if (piece.last) {
        // The reason crosses over from the reading thread as the reader left it there.
        if (Failed(piece.result))
          SetErrorInfo(piece.reason == kNoReason ? std::string() : batch.reasons[piece.reason]);
        open = kNone;
        sink.End(piece.result);
      }
    }
    GiveBack(decoder, batch.buffer);
    return true;
  };
  // The batches come in data order: each task from its decoder, then what decoder 0 read
  // through streams.
  bool complete = true;
  for (const Task& task : tasks_) {
    Batch batch;
    if (!NextBatch(task.decoder, batch)) {
      complete = false;
      break;
    }
    if (!deliver(task.decoder, batch)) return false;
  }
  for (Batch batch; complete && NextBatch(0, batch);)
    if (!deliver(0, batch)) return false;
  std::exception_ptr failure;
  {
    std::lock_guard lock(mutex_);
    failure = failure_;
  }
  if (failure) std::rethrow_exception(failure);
  return true;
}

void ExtractionJob::Decode(std::size_t decoder) {
  try {
    for (Task& task : tasks_) {
      if (task.decoder != decoder) continue;
      Batch batch;
      if (!TakeBuffer(decoder, batch)) break;
      batch.pieces = std::move(task.pieces);
      batch.reasons = std::move(task.reasons);
      Fill(decoder, batch);
      HandOver(decoder, batch);
    }
    if (decoder == 0) {
      Batch batch;
      std::size_t used = 0;
      for (const std::size_t entry : by_stream_) {
        if (!ReadByStream(entry, batch, used)) break;
      }
      HandOver(decoder, batch);
    }
  } catch (...) {  // out of memory for a reader: the job ends at this decoder's next batch
    std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    decoders_[decoder].finished = true;
  }
  changed_.notify_all();
}

void ExtractionJob::Fill(std::size_t decoder, Batch& batch) {
  std::uint8_t* bytes = buffers_[batch.buffer].get();
  std::size_t damaged = kNone;
  for (Piece& piece : batch.pieces) {
    if (piece.skipped || piece.length == 0) continue;
    if (piece.entry == damaged) {
      piece.length = 0;
      continue;
    }
    const Located& item = located_[piece.entry];
    std::unique_ptr<ExtentReader>& reader = decoders_[decoder].readers[item.content];
    if (!reader) reader = LocatorOf(entries_[item.entry].storage.Get())->NewExtentReader();
    piece.result = reader ? reader->Read(item.extent, piece.position,
                                         std::span(bytes + piece.offset, piece.length))
                          : E_OUTOFMEMORY;
    if (Failed(piece.result)) {
      if (reader) piece.reason = KeepReason(batch.reasons, GetErrorInfo());
      piece.length = 0;
      piece.last = true;
      damaged = piece.entry;
    } else if (piece.first && piece.last) {
      piece.taken = sink_->TakeWhole(piece.entry, std::span(bytes + piece.offset, piece.length));
    }
  }
}

bool ExtractionJob::ReadByStream(std::size_t entry_index, Batch& batch, std::size_t& used) {
  // Room for `need` more bytes, in a new buffer if this one is too full.
  const auto room = [&](std::size_t need) {
    if (batch.buffer != kNone && kBufferSize - used >= need) return true;
    HandOver(0, batch);
    used = 0;
    return TakeBuffer(0, batch);
  };
  if (!room(0)) return false;
  const JobEntry& entry = entries_[entry_index];
  Piece piece{.entry = entry_index, .first = true};
  std::u16string wide(kPlatformPathLimit, u'\0');
  ComPtr<IStream> stream;
  if (!entry.storage || !NarrowToWide(entry.name, wide) ||
      Failed(entry.storage->OpenStream(wide.c_str(), nullptr, STGM_READ, 0, stream.Put())) ||
      !stream) {
    piece.skipped = piece.last = true;
    batch.pieces.push_back(piece);
    return true;
  }
  STATSTG stat;
  const bool stated = Succeeded(stream->Stat(&stat));
  piece.size = stated ? stat.cbSize : 0;
  std::uint64_t delivered_total = 0;
  for (;;) {
    if (!room(kStreamRequest)) return false;
    ULONG delivered = 0;
    piece.offset = static_cast<std::uint32_t>(used);
    piece.result = stream->Read(buffers_[batch.buffer].get() + used, kStreamRequest, &delivered);
    if (Failed(piece.result)) piece.reason = KeepReason(batch.reasons, GetErrorInfo());
    if (Succeeded(piece.result) && delivered > kStreamRequest) piece.result = STG_E_READFAULT;
    piece.length = Succeeded(piece.result) ? delivered : 0;
    delivered_total += piece.length;
    piece.last = Failed(piece.result) || delivered < kStreamRequest;
    // A reader that stops early without saying so must not pass for a complete stream.
    if (piece.last && Succeeded(piece.result) && stated && delivered_total != stat.cbSize) {
      piece.result = STG_E_READFAULT;
    }
    batch.pieces.push_back(piece);
    used += piece.length;
    if (piece.last) return true;
    piece.first = false;
  }
}

bool ExtractionJob::TakeBuffer(std::size_t decoder, Batch& batch) {
  std::unique_lock lock(mutex_);
  std::vector<std::size_t>& free = decoders_[decoder].free_buffers;
  changed_.wait(lock, [&] { return !free.empty() || stopping_.load(std::memory_order_acquire); });
  if (stopping_.load(std::memory_order_acquire)) return false;
  batch.buffer = free.back();
  free.pop_back();
  return true;
}

void ExtractionJob::HandOver(std::size_t decoder, Batch& batch) {
  if (batch.buffer == kNone) return;
  {
    std::lock_guard lock(mutex_);
    Decoder& own = decoders_[decoder];
    if (batch.pieces.empty()) {
      own.free_buffers.push_back(batch.buffer);
    } else {
      buffered_ += kBufferSize;
      peak_buffered_ = std::max(peak_buffered_, buffered_);
      own.filled.push_back(std::move(batch));
    }
  }
  batch = Batch();
  changed_.notify_all();
}

bool ExtractionJob::NextBatch(std::size_t decoder, Batch& batch) {
  std::unique_lock lock(mutex_);
  Decoder& own = decoders_[decoder];
  changed_.wait(lock, [&own] { return !own.filled.empty() || own.finished; });
  if (own.filled.empty()) return false;
  batch = std::move(own.filled.front());
  own.filled.pop_front();
  return true;
}

void ExtractionJob::GiveBack(std::size_t decoder, std::size_t buffer) {
  {
    std::lock_guard lock(mutex_);
    decoders_[decoder].free_buffers.push_back(buffer);
    buffered_ -= std::min(buffered_, kBufferSize);
  }
  changed_.notify_all();
}

void ExtractionJob::StopDecoding() {
  {
    std::lock_guard lock(mutex_);  // so that a decoder about to wait cannot miss it
    stopping_.store(true, std::memory_order_release);
  }
  changed_.notify_all();
}

}  // namespace vaskel
