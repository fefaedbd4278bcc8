// Many streams of the open help file read in the order their bytes are stored, each delivered
// whole to a sink (files below a folder, a hasher, standard output). In data order every
// compressed frame is decoded once, whatever order the entries were chosen in; list order after
// a sort would decode the same frames over and over.
//
// The located bytes are cut into pieces of work that each fill one buffer, cut where possible
// where decoding starts afresh, so that two decoding threads can take them alternately while
// the thread that called Run hands the bytes to the sink in data order. Memory stays at the
// pool plus each decoder's reader, whatever the streams' sizes. A storage without a
// StreamLocator is read through its streams instead, after the located entries.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/storage_interfaces.h"
#include "platform/com/stream_locator.h"
#include "storage/extraction_plan.h"

namespace vaskel {

struct JobEntry {
  ComPtr<IStorage> storage;   // holds the stream
  std::string internal_path;  // the row's Path text: folder names, each followed by '/'
  std::string name;           // the stream's name
};

// Receives the entries one at a time, in the order the job reads them, on the thread that runs
// the job. An exception thrown here ends the job and leaves Run.
class EntrySink {
 public:
  virtual ~EntrySink() = default;
  // Entry `entry` (an index into the job's entries) begins; `size` bytes will follow unless its
  // data turns out damaged.
  virtual void Begin(std::size_t entry, std::uint64_t size) = 0;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // The entry ends: S_OK when all its bytes came, else why its data could not be read (with
  // the reader's reason for GetErrorInfo).
  virtual void End(HRESULT result) = 0;
  // Entry `entry` names no stream that can be opened; it gets no Begin.
  virtual void Skip(std::size_t /*entry*/) {}
  // An entry whose bytes were all read cleanly into one buffer, offered on a decoding thread as
  // soon as they are read (several threads may call at once, for different entries) so that
  // work such as hashing runs on every core. True: the sink took them, and Begin and End follow
  // in order as usual, with no Write between. Nothing visible may happen here: the job may still
  // be stopped before the entry's turn.
  virtual bool TakeWhole(std::size_t /*entry*/, std::span<const std::uint8_t> /*bytes*/) {
    return false;
  }
};

class ExtractionJob {
 public:
  // Buffers of the pool, shared out among the decoding threads, and the size of each: the most
  // read ahead of the sink.
  static constexpr std::size_t kBufferCount = 8;
  static constexpr std::size_t kBufferSize = 512 << 10;
  static constexpr std::size_t kMostDecoders = 2;

  explicit ExtractionJob(std::vector<JobEntry> entries);
  ~ExtractionJob();
  ExtractionJob(const ExtractionJob&) = delete;
  ExtractionJob& operator=(const ExtractionJob&) = delete;

  const std::vector<JobEntry>& Entries() const { return entries_; }

  // Delivers every entry to `sink`. Before each entry `stop` is asked (from this thread): true
  // ends the job there, the entries delivered before staying delivered. Returns false when it
  // was stopped. A decoding thread's failure (out of memory) is thrown from here. Run once.
  bool Run(EntrySink& sink, const std::function<bool()>& stop = {});

  // The most buffer bytes that were ever filled and not yet given back by the sink's thread.
  std::size_t PeakBufferedBytes() const { return peak_buffered_; }

 private:
  struct Batch;
  struct Decoder;
  // Up to this many tasks are planned ahead of the decoders.
  static constexpr std::size_t kMostPlannedAhead = 2 * kBufferCount;

  // Entry indexes, in data order.
  std::vector<std::size_t> ResolveInDataOrder();
  void Decode(std::size_t decoder);
  void Fill(std::size_t decoder, Batch& batch);
  bool ReadByStream(std::size_t entry, Batch& batch, std::size_t& used);
  bool NextTask(std::size_t decoder, PlannedTask& task);
  bool NextInDataOrder(std::size_t& decoder);
  bool TakeBuffer(std::size_t decoder, Batch& batch);
  void HandOver(std::size_t decoder, Batch& batch);
  bool NextBatch(std::size_t decoder, Batch& batch);
  void GiveBack(std::size_t decoder, std::size_t buffer);
  void StopDecoding();

  std::vector<JobEntry> entries_;
  std::vector<LocatedEntry> located_;  // by entry
  std::unique_ptr<ExtractionPlan> plan_;
  std::vector<std::unique_ptr<std::uint8_t[]>> buffers_;
  std::vector<Decoder> decoders_;
  EntrySink* sink_ = nullptr;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> stopping_{false};
  std::exception_ptr failure_;
  std::deque<std::size_t> delivery_;  // the decoder of each planned task, in data order
  std::size_t planned_ahead_ = 0;     // planned tasks no decoder has taken yet
  bool plan_done_ = false;
  std::size_t buffered_ = 0;
  std::size_t peak_buffered_ = 0;
};

}  // namespace vaskel
