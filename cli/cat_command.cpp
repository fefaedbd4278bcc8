#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/open_help_file.h"
#include "platform/com/com_ptr.h"
#include "platform/text/translation.h"
#include "storage/path_limit.h"
#include "storage/stream_copy.h"

namespace vaskel::cli {
namespace {

// TRANSLATORS: keep the command, its options and the examples as they are.
constexpr char kCatHelp[] = TrNoop(
    "usage: vaskel-cli cat FILE.chm PATH\n"
    "\n"
    "Writes the bytes of one file stored in the help file to standard output. PATH is the\n"
    "file's internal path, folders separated by '/', with or without a leading '/'; files\n"
    "the catalogue leaves out (names beginning with '#' or '$') can be named too.\n"
    "Exit status: 0 done, 1 the file's data is damaged or could not be written out,\n"
    "2 the help file cannot be opened or holds no such file.\n"
    "\n"
    "examples:\n"
    "  vaskel-cli cat manual.chm html/index.html > index.html\n"
    "  vaskel-cli cat manual.chm '#SYSTEM' | xxd | head\n");

// Levels are separated by '/', and also by the platform's own separator.
constexpr std::string_view kSeparators = kPathSeparator == '/' ? "/" : "/\\";

// Opens the stream at `path` ("a/b/name"), descending one storage per level.
ComPtr<IStream> OpenStreamAt(StorageEngine& engine, std::string_view path) {
  while (!path.empty() && kSeparators.find(path.front()) != std::string_view::npos)
    path.remove_prefix(1);
  ComPtr<IStorage> storage(nullptr);
  IStorage* current = engine.GetRootStorage();
  for (;;) {
    const std::size_t end = path.find_first_of(kSeparators);
    const std::string_view part = path.substr(0, end);
    const char16_t* wide = engine.ToWideName(part);
    if (wide == nullptr || part.empty()) return nullptr;
    if (end == std::string_view::npos) {
      ComPtr<IStream> stream;
      if (Failed(current->OpenStream(wide, nullptr, STGM_READ, 0, stream.Put()))) return nullptr;
      return stream;
    }
    ComPtr<IStorage> child;
    if (Failed(current->OpenStorage(wide, nullptr, STGM_READ, nullptr, 0, child.Put())) || !child) {
      return nullptr;
    }
    storage = std::move(child);
    current = storage.Get();
    path.remove_prefix(end + 1);
  }
}

int RunCat(Arguments args) {
  if (WantsHelp(args) || args.size() != 2) return PrintHelp(args, kCatHelp);
  StorageEngine engine;
  if (!OpenHelpFile(engine, args[0])) return kExitCannotOpen;
  const ComPtr<IStream> stream = OpenStreamAt(engine, args[1]);
  if (!stream) {
    std::fprintf(stderr, Tr("vaskel-cli: %s: no file \"%s\" inside\n").c_str(), args[0].c_str(),
                 args[1].c_str());
    return kExitCannotOpen;
  }
  std::vector<std::uint8_t> buffer(64 * kStreamReadSize);
  const StreamCopy copy = CopyStream(*stream.Get(), STDOUT_FILENO, buffer);
  if (copy.Damaged()) {
    std::fprintf(stderr, Tr("vaskel-cli: %s: cannot read \"%s\": %s\n").c_str(), args[0].c_str(),
                 args[1].c_str(), DescribeDamage(copy).c_str());
    return kExitFailure;
  }
  if (copy.write_error != 0) {
    std::fprintf(stderr, Tr("vaskel-cli: standard output: %s\n").c_str(),
                 std::generic_category().message(copy.write_error).c_str());
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration kCatCommand({"cat", TrNoop("one stored file's bytes to standard output"),
                                       RunCat});

}  // namespace
}  // namespace vaskel::cli
