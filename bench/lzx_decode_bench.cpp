// LZX decoding throughput over the whole compressed section of a real help file (lcl.chm by
// default; VASKEL_BENCH_CHM names another). Reports output bytes per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/itss/compressed_section_info.h"
#include "platform/itss/directory.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/itsf_header.h"
#include "platform/itss/lzx_decoder.h"

namespace vaskel::itss {
namespace {

struct LoadedSection {
  CompressedSectionInfo info;
  std::vector<std::uint8_t> compressed;
};

const LoadedSection* LoadSection() {
  static const std::unique_ptr<LoadedSection> section = []() -> std::unique_ptr<LoadedSection> {
    const char* chosen = std::getenv("VASKEL_BENCH_CHM");
    const std::string path = chosen ? chosen : std::string(VASKEL_CORPUS_DIR) + "/real/lcl.chm";
    std::unique_ptr<FileReader> file;
    ContainerLayout layout;
    Directory directory;
    auto loaded = std::make_unique<LoadedSection>();
    if (Failed(FileReader::Open(path, &file)) || Failed(ReadContainerLayout(*file, &layout)) ||
        Failed(ReadDirectory(*file, layout, &directory)) ||
        Failed(ReadCompressedSectionInfo(*file, layout, directory, &loaded->info))) {
      return nullptr;
    }
    loaded->compressed.resize(loaded->info.compressed_length);
    if (!file->ReadAt(loaded->info.compressed_start, loaded->compressed)) return nullptr;
    return loaded;
  }();
  return section.get();
}

// Redecodes the final reset interval with a short last frame.
bool RetryShort(const CompressedSectionInfo& info, LzxDecoder& decoder,
                std::span<const std::uint8_t> last_input, std::vector<std::uint8_t>& frame,
                std::size_t last_length) {
  const LoadedSection* section = LoadSection();
  const std::uint64_t last = info.frame_count() - 1;
  decoder.Reset();
  for (std::uint64_t f = last - last % info.frames_per_reset; f < last; ++f) {
    const std::uint64_t begin = info.frame_starts[f];
    if (!decoder.DecodeFrame({section->compressed.data() + begin, info.frame_starts[f + 1] - begin},
                             frame)) {
      return false;
    }
  }
  return decoder.DecodeFrame(last_input, {frame.data(), last_length});
}

void BM_DecodeWholeSection(benchmark::State& state) {
  const LoadedSection* section = LoadSection();
  if (section == nullptr) {
    state.SkipWithError("cannot load the compressed section (set VASKEL_BENCH_CHM)");
    return;
  }
  const auto& info = section->info;
  auto decoder = LzxDecoder::Create(info.window_bits);
  std::vector<std::uint8_t> frame(kLzxFrameSize);
  for (auto _ : state) {
    for (std::uint64_t f = 0; f < info.frame_count(); ++f) {
      if (f % info.frames_per_reset == 0) decoder->Reset();
      const std::uint64_t begin = info.frame_starts[f];
      const std::uint64_t end =
          f + 1 < info.frame_count() ? info.frame_starts[f + 1] : info.compressed_length;
      // Compilers pad the final frame to full size; a short one is decoded short.
      const std::span<const std::uint8_t> input(section->compressed.data() + begin, end - begin);
      if (!decoder->DecodeFrame(input, frame)) {
        const std::size_t rest = info.uncompressed_length - f * kLzxFrameSize;
        if (f + 1 != info.frame_count() || !RetryShort(info, *decoder, input, frame, rest)) {
          state.SkipWithError("damaged frame");
          return;
        }
      }
      benchmark::DoNotOptimize(frame.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * info.uncompressed_length));
}
BENCHMARK(BM_DecodeWholeSection)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaskel::itss

BENCHMARK_MAIN();
