#include "cli/open_help_file.h"

#include <cstdio>

#include "platform/text/translation.h"
#include "storage/left_out_entries.h"
#include "storage/result_text.h"

namespace vaskel::cli {

bool OpenHelpFile(StorageEngine& engine, const std::string& path, bool* directory_damaged) {
  const HRESULT hr = engine.OpenFile(path);
  if (Failed(hr) || engine.GetRootStorage() == nullptr) {
    std::fprintf(stderr, "vaskel-cli: %s: %s\n", path.c_str(), DescribeFailure(hr).c_str());
    return false;
  }
  const LeftOutEntries left_out = FindLeftOutEntries(engine.GetRootStorage());
  if (!left_out.unsafe_names.empty()) {
    std::fprintf(stderr, Tr("vaskel-cli: warning: %s: %s\n").c_str(), path.c_str(),
                 left_out.unsafe_names.c_str());
  }
  for (const std::string& damage : left_out.damage) {
    std::fprintf(stderr, Tr("vaskel-cli: %s: damaged directory: %s\n").c_str(), path.c_str(),
                 damage.c_str());
  }
  if (directory_damaged != nullptr) *directory_damaged = left_out.Damaged();
  return true;
}

}  // namespace vaskel::cli
