#include "cli/open_help_file.h"

#include <cstdio>

#include "platform/itss/itss_component.h"
#include "storage/result_text.h"

namespace vaskel::cli {

bool OpenHelpFile(StorageEngine& engine, const std::string& path) {
  const HRESULT hr = engine.OpenFile(path);
  if (Failed(hr) || engine.GetRootStorage() == nullptr) {
    std::fprintf(stderr, "vaskel-cli: %s: %s\n", path.c_str(), DescribeFailure(hr).c_str());
    return false;
  }
  if (const std::size_t unsafe = itss::UnsafeEntryCount(engine.GetRootStorage())) {
    std::fprintf(stderr,
                 "vaskel-cli: warning: %s: %zu entr%s with unsafe names (such as \"..\") left "
                 "out\n",
                 path.c_str(), unsafe, unsafe == 1 ? "y" : "ies");
  }
  if (const std::string damage = itss::DirectoryDamage(engine.GetRootStorage()); !damage.empty()) {
    std::fprintf(stderr, "vaskel-cli: warning: %s: %s; the entries after it are lost\n",
                 path.c_str(), damage.c_str());
  }
  return true;
}

}  // namespace vaskel::cli
