#include "cli/files_report.h"

#include <cstdio>

#include "platform/text/translation.h"

namespace vaskel::cli {

void PrintStoppedAfter(std::size_t written) {
  std::fprintf(stderr,
               TrPlural("vaskel-cli: stopped after %zu file(s); they are kept\n",
                        "vaskel-cli: stopped after %zu file(s); they are kept\n", written)
                   .c_str(),
               written);
}

void PrintSkippedAndDamaged(std::size_t skipped, std::size_t damaged) {
  if (skipped != 0) {
    std::fprintf(stderr,
                 TrPlural("; %zu could not be opened and were skipped",
                          "; %zu could not be opened and were skipped", skipped)
                     .c_str(),
                 skipped);
  }
  if (damaged != 0) {
    std::fprintf(
        stderr,
        TrPlural("; %zu damaged and left out", "; %zu damaged and left out", damaged).c_str(),
        damaged);
  }
}

}  // namespace vaskel::cli
