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
// Requests made of a stream read through IStream.
constexpr std::size_t kStreamRequest = 64 << 10;

}  // namespace

// A task's pieces and the buffer they were read into.
struct ExtractionJob::Batch : PlannedTask {
  std::size_t buffer = kNone;
};

// One decoding thread's share: its buffers, the batches it filled that the sink has yet to
// take, and a reader of each help file.
struct ExtractionJob::Decoder {
  std::vector<std::size_t> free_buffers;
  std::deque<PlannedTask> planned;  // not yet taken
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
    LocatedEntry& item = located_[i];
    if (entries_[i].storage.Get() != storage || i == 0) {
      storage = entries_[i].storage.Get();
      locator = storage ? LocatorOf(storage) : nullptr;
    }
    if (locator == nullptr) continue;
    item.locator = locator;
    item.content = locator->ContentIdentity();
    item.found = NarrowToWide(entries_[i].name, wide) &&
                 Succeeded(locator->LocateStream(wide.c_str(), &item.extent));
  }
  // Entries read through streams last, in the order given; the others by where their bytes lie.
  std::vector<std::size_t> order(located_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto key = [this](std::size_t entry) {
    const LocatedEntry& item = located_[entry];
    return std::make_tuple(item.content == nullptr, reinterpret_cast<std::uintptr_t>(item.content),
                           item.extent.section, item.extent.offset);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&key](std::size_t a, std::size_t b) { return key(a) < key(b); });
  return order;
}

bool ExtractionJob::Run(EntrySink& sink, const std::function<bool()>& stop) {
  sink_ = &sink;
  std::vector<std::size_t> order = ResolveInDataOrder();
  const std::size_t decoders =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostDecoders);
  decoders_ = std::vector<Decoder>(decoders);  // not resize: a Decoder does not move
  for (std::size_t i = 0; i < kBufferCount; ++i) {
    buffers_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize));
    decoders_[i % decoders].free_buffers.push_back(i);
  }
  plan_ = std::make_unique<ExtractionPlan>(located_, std::move(order), decoders, kBufferSize);

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
    for (const PlannedPiece& piece : batch.pieces) {
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
  for (std::size_t decoder; NextInDataOrder(decoder);) {
    Batch batch;
    if (!NextBatch(decoder, batch)) {
      complete = false;
      break;
    }
    if (!deliver(decoder, batch)) return false;
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
    for (;;) {
      Batch batch;
      if (!TakeBuffer(decoder, batch)) break;
      PlannedTask task;
      const bool more = NextTask(decoder, task);
      batch.pieces = std::move(task.pieces);
      batch.reasons = std::move(task.reasons);
      if (more) Fill(decoder, batch);
      HandOver(decoder, batch);  // without pieces, only gives the buffer back
      if (!more) break;
    }
    if (decoder == 0 && !stopping_.load(std::memory_order_acquire)) {
      Batch batch;
      std::size_t used = 0;
      for (const std::size_t entry : plan_->stream_entries()) {
        if (!ReadByStream(entry, batch, used)) break;
      }
      HandOver(decoder, batch);
    }
  } catch (...) {  // out of memory: the job ends at this decoder's next batch
    std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
    plan_done_ = true;
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
  for (PlannedPiece& piece : batch.pieces) {
    if (piece.skipped || piece.length == 0) continue;
    if (piece.entry == damaged) {
      piece.length = 0;
      continue;
    }
    const LocatedEntry& item = located_[piece.entry];
    std::unique_ptr<ExtentReader>& reader = decoders_[decoder].readers[item.content];
    if (!reader) reader = item.locator->NewExtentReader();
    piece.result = reader ? reader->Read(item.extent, piece.position,
                                         std::span(bytes + piece.offset, piece.length))
                          : E_OUTOFMEMORY;
    if (Failed(piece.result)) {
      if (reader) piece.reason = batch.KeepReason(GetErrorInfo());
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
  PlannedPiece piece{.entry = entry_index, .first = true};
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
    if (Failed(piece.result)) piece.reason = batch.KeepReason(GetErrorInfo());
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

bool ExtractionJob::NextTask(std::size_t decoder, PlannedTask& task) {
  std::unique_lock lock(mutex_);
  std::deque<PlannedTask>& own = decoders_[decoder].planned;
  for (;;) {
    if (stopping_.load(std::memory_order_acquire)) return false;
    if (!own.empty()) {
      task = std::move(own.front());
      own.pop_front();
      --planned_ahead_;
      changed_.notify_all();  // room to plan again
      return true;
    }
    if (plan_done_) return false;
    if (planned_ahead_ < kMostPlannedAhead) {
      // Planned here, a task at a time, by whichever decoder runs out of work first.
      PlannedTask next;
      if (plan_->Next(&next)) {
        delivery_.push_back(next.decoder);
        decoders_[next.decoder].planned.push_back(std::move(next));
        ++planned_ahead_;
      } else {
        plan_done_ = true;
      }
      changed_.notify_all();
      continue;
    }
    changed_.wait(lock);  // the other decoder has to take its work first
  }
}

bool ExtractionJob::NextInDataOrder(std::size_t& decoder) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !delivery_.empty() || plan_done_; });
  if (delivery_.empty()) return false;
  decoder = delivery_.front();
  delivery_.pop_front();
  return true;
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
