#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "cli/checksum_pipeline.h"
#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "cli/storage_tree.h"
#include "storage/com_ptr.h"
#include "storage/result_text.h"

namespace vaskel::cli {
namespace {

constexpr char kTestHelp[] =
    "usage: vaskel-cli test FILE.chm\n"
    "\n"
    "Reads every file stored in the help file, in stored order, and prints its SHA-256\n"
    "in sha256sum format; a summary goes to standard error.\n"
    "Exit status: 0 all files read cleanly, 1 some file is damaged (named on standard\n"
    "error), 2 the help file cannot be opened.\n"
    "\n"
    "examples:\n"
    "  vaskel-cli test manual.chm > manual.sha256\n"
    "  vaskel-cli test manual.chm >/dev/null && echo intact\n";

struct Totals {
  std::size_t streams = 0;
  std::size_t damaged = 0;
  std::uint64_t bytes = 0;
};

// Reads one stream to its end into the pipeline's buffers; returns the failure, or S_OK.
HRESULT ReadStream(IStorage* parent, const std::u16string& name, ChecksumPipeline& pipeline,
                   std::uint64_t& bytes) {
  ComPtr<IStream> stream;
  HRESULT hr = parent->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Put());
  if (Failed(hr)) return hr;
  for (;;) {
    const std::span<std::uint8_t> space = pipeline.Space();
    const auto size = static_cast<ULONG>(space.size());
    ULONG got = 0;
    hr = stream->Read(space.data(), size, &got);
    const bool last = Failed(hr) || got < size;
    pipeline.Commit(Failed(hr) ? 0 : got, last, Succeeded(hr));
    if (Failed(hr)) return hr;
    bytes += got;
    if (last) return S_OK;
  }
}

int RunTest(Arguments args) {
  if (WantsHelp(args) || args.size() != 1) return PrintHelp(args, kTestHelp);
  const auto started = std::chrono::steady_clock::now();
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;

  Totals totals;
  auto pipeline =
      std::make_unique<ChecksumPipeline>([](const std::string& path, const std::string& hex) {
        std::printf("%s  %s\n", hex.c_str(), path.c_str());
      });
  TreeVisitor visitor;
  visitor.on_stream = [&](IStorage* parent, const std::u16string& name, const std::string& path,
                          std::uint64_t) {
    ++totals.streams;
    pipeline->BeginStream(path);
    const HRESULT hr = ReadStream(parent, name, *pipeline, totals.bytes);
    if (Failed(hr)) {
      ++totals.damaged;
      std::fprintf(stderr, "%s: %s\n", path.c_str(), DescribeResult(hr).c_str());
    }
  };
  const bool complete = VisitTree(engine.GetRootStorage(), visitor);
  pipeline.reset();  // every checksum printed
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fflush(stdout);
  std::fprintf(stderr, "%zu streams, %llu bytes, %.3f s", totals.streams,
               static_cast<unsigned long long>(totals.bytes), seconds);
  if (totals.damaged) std::fprintf(stderr, ", %zu damaged", totals.damaged);
  std::fputc('\n', stderr);
  if (!complete)
    std::fprintf(stderr, "vaskel-cli: %s: some folders could not be read\n", args[0].c_str());
  return totals.damaged == 0 && complete ? kExitOk : kExitFailure;
}

const CommandRegistration kTestCommand({"test", "reads every file and prints SHA-256 sums",
                                        RunTest});

}  // namespace
}  // namespace vaskel::cli
