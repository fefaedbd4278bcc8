#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

#include "cli/checksum_sink.h"
#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "platform/text/translation.h"
#include "storage/extraction_job.h"
#include "storage/result_text.h"
#include "storage/storage_tree_walk.h"

namespace vaskel::cli {
namespace {

// TRANSLATORS: keep the command, its options and the examples as they are.
constexpr char kTestHelp[] = TrNoop(
    "usage: vaskel-cli test FILE.chm\n"
    "\n"
    "Reads every file stored in the help file, in the order its bytes are stored, and prints\n"
    "the SHA-256 of each in sha256sum format, in stored order of names; a summary goes to\n"
    "standard error.\n"
    "Exit status: 0 every file read cleanly; 1 some file is damaged, or entries were lost\n"
    "to a damaged directory (each named on standard error, the directory damage by chunk\n"
    "and reason); 2 the help file cannot be opened.\n"
    "\n"
    "examples:\n"
    "  vaskel-cli test manual.chm > manual.sha256\n"
    "  vaskel-cli test manual.chm >/dev/null && echo intact\n");

// Every stream of the tree as a job entry, with its folder for the report. A folder's path is
// kept once for all its streams: there may be tens of thousands.
class EveryStream final : public TreeVisitor {
 public:
  bool EnterStorage(const TreeElement&) override { return true; }
  void Stream(const TreeElement& element) override {
    entries.push_back(
        {ComPtr<IStorage>::Share(element.parent), std::string(), std::string(element.name)});
    if (folders.empty() || folders.back() != element.folder) folders.emplace_back(element.folder);
    folder_of.push_back(static_cast<std::uint32_t>(folders.size() - 1));
  }

  std::vector<JobEntry> entries;
  std::vector<std::string> folders;
  std::vector<std::uint32_t> folder_of;  // by entry
};

int RunTest(Arguments args) {
  if (WantsHelp(args) || args.size() != 1) return PrintHelp(args, kTestHelp);
  const auto started = std::chrono::steady_clock::now();
  StorageEngine engine;
  bool directory_damaged = false;
  if (!OpenHelpFile(engine, args[0], &directory_damaged)) return kExitCannotOpen;

  EveryStream streams;
  const bool complete = WalkTree(engine.GetRootStorage(), std::string(), '/', streams);
  const std::size_t count = streams.entries.size();

  ExtractionJob job(std::move(streams.entries));
  ChecksumSink sums(count);
  try {
    job.Run(sums);
  } catch (const std::exception& error) {  // out of memory
    std::fprintf(stderr, "vaskel-cli: %s: %s\n", args[0].c_str(), error.what());
    return kExitFailure;
  }

  // The sums in the order of the names, whatever order the data was read in.
  std::size_t damaged = 0;
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const ChecksumSink::Outcome& outcome = sums.Outcomes()[i];
    const char* folder = streams.folders[streams.folder_of[i]].c_str();
    const char* name = job.Entries()[i].name.c_str();
    if (outcome.read && Succeeded(outcome.result)) {
      std::printf("%s  %s%s\n", platform::Sha256::ToHex(outcome.sha256).c_str(), folder, name);
      bytes += outcome.bytes;
    } else {
      ++damaged;
      std::fprintf(stderr, "%s%s: %s\n", folder, name,
                   DescribeResult(outcome.result, sums.Failure(i)).c_str());
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fflush(stdout);
  std::fprintf(
      stderr,
      TrPlural("%zu streams, %llu bytes, %.3f s", "%zu streams, %llu bytes, %.3f s", count).c_str(),
      count, static_cast<unsigned long long>(bytes), seconds);
  if (damaged)
    std::fprintf(stderr, TrPlural(", %zu damaged", ", %zu damaged", damaged).c_str(), damaged);
  if (directory_damaged) std::fputs(Tr(", entries lost to a damaged directory").c_str(), stderr);
  std::fputc('\n', stderr);
  if (!complete)
    std::fprintf(stderr, Tr("vaskel-cli: %s: some folders could not be read\n").c_str(),
                 args[0].c_str());
  return damaged == 0 && complete && !directory_damaged ? kExitOk : kExitFailure;
}

const CommandRegistration kTestCommand({"test", TrNoop("reads every file and prints SHA-256 sums"),
                                        RunTest});

}  // namespace
}  // namespace vaskel::cli
