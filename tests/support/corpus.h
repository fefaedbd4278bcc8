// The shared corpus of real and malformed help files, read in place. A checkout without it
// skips the tests that need it instead of failing them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vaskel::testing {

inline std::filesystem::path CorpusPath(const std::string& relative) {
  return std::filesystem::path(VASKEL_CORPUS_DIR) / relative;
}

inline bool HaveCorpus() { return std::filesystem::is_directory(CorpusPath("real")); }

}  // namespace vaskel::testing

#define VASKEL_SKIP_WITHOUT_CORPUS()                                  \
  do {                                                                \
    if (!::vaskel::testing::HaveCorpus()) {                           \
      GTEST_SKIP() << "no help-file corpus at " << VASKEL_CORPUS_DIR; \
    }                                                                 \
  } while (false)
