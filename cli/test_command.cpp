#include <glib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

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

struct ChecksumDeleter {
  void operator()(GChecksum* checksum) const { g_checksum_free(checksum); }
};

struct Totals {
  std::size_t streams = 0;
  std::size_t damaged = 0;
  std::uint64_t bytes = 0;
};

// Reads one stream to its end, hashing it; returns the failure, or S_OK.
HRESULT HashStream(IStorage* parent, const std::u16string& name, std::vector<std::uint8_t>& buffer,
                   GChecksum* checksum, std::uint64_t& bytes) {
  ComPtr<IStream> stream;
  HRESULT hr = parent->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Put());
  if (Failed(hr)) return hr;
  const auto size = static_cast<ULONG>(buffer.size());
  for (;;) {
    ULONG got = 0;
    hr = stream->Read(buffer.data(), size, &got);
    if (Failed(hr)) return hr;
    g_checksum_update(checksum, buffer.data(), got);
    bytes += got;
    if (got < size) return S_OK;
  }
}

int RunTest(Arguments args) {
  if (WantsHelp(args) || args.size() != 1) return PrintHelp(args, kTestHelp);
  const auto started = std::chrono::steady_clock::now();
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;

  std::vector<std::uint8_t> buffer(64 * 1024);
  std::unique_ptr<GChecksum, ChecksumDeleter> checksum(g_checksum_new(G_CHECKSUM_SHA256));
  Totals totals;
  TreeVisitor visitor;
  visitor.on_stream = [&](IStorage* parent, const std::u16string& name, const std::string& path,
                          std::uint64_t) {
    ++totals.streams;
    g_checksum_reset(checksum.get());
    const HRESULT hr = HashStream(parent, name, buffer, checksum.get(), totals.bytes);
    if (Failed(hr)) {
      ++totals.damaged;
      std::fprintf(stderr, "%s: %s\n", path.c_str(), DescribeResult(hr).c_str());
      return;
    }
    std::printf("%s  %s\n", g_checksum_get_string(checksum.get()), path.c_str());
  };
  const bool complete = VisitTree(engine.GetRootStorage(), visitor);
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
