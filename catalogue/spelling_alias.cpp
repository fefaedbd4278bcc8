#include "catalogue/spelling_alias.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "storage/destination_tree.h"
#include "storage/entry_target.h"
#include "storage/extraction_error.h"

namespace vaskel {
namespace {

void CopyInto(const std::string& from, int to, const std::string& to_path) {
  std::ifstream in(from, std::ios::binary);
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const char* next = buffer;
    for (auto left = static_cast<std::size_t>(in.gcount()); left > 0;) {
      const ssize_t written = ::write(to, next, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) throw ExtractionError(to_path, std::strerror(errno), errno);
      next += written;
      left -= static_cast<std::size_t>(written);
    }
  }
  if (in.bad()) throw ExtractionError(from, "cannot be read back");
}

}  // namespace

void WriteSpellingAlias(std::string_view folder, std::string_view written, std::string_view alias) {
  const std::size_t slash = alias.rfind('/');
  const std::string_view path = slash == std::string_view::npos ? "" : alias.substr(0, slash + 1);
  const std::string_view name = alias.substr(slash + 1);
  // Refuses what would lead out of the folder before anything is made.
  const EntryTarget target = ComposeEntryTarget(folder, path, name, true);
  const std::string source = std::string(folder) + "/" + std::string(written);
  if (::access(source.c_str(), F_OK) != 0) return;  // the entry could not be written
  DestinationTree tree;
  tree.PrepareFolders(folder, path);  // real folders only, no symbolic link followed
  if (::link(source.c_str(), target.full_path.c_str()) == 0 || errno == EEXIST) return;
  UniqueFd copy = tree.CreateFile(target);
  try {
    CopyInto(source, copy.Get(), target.full_path);
  } catch (const ExtractionError&) {
    copy.Reset();
    tree.RemoveFile(target);
    throw;
  }
}

}  // namespace vaskel
