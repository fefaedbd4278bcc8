// Included first in every Windows test build: the POSIX calls the tests' helpers use.
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

// Makes a new folder from a pattern ending in XXXXXX.
inline char* mkdtemp(char* pattern) {
  const std::size_t size = std::strlen(pattern) + 1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char* copy = static_cast<char*>(std::malloc(size));
    std::memcpy(copy, pattern, size);
    const bool named = _mktemp_s(copy, size) == 0;
    if (named && _mkdir(copy) == 0) {
      std::memcpy(pattern, copy, size);
      std::free(copy);
      return pattern;
    }
    std::free(copy);
    if (!named) return nullptr;
  }
  return nullptr;
}

// Nobody is root here: permission checks hold for every user.
inline int geteuid() { return 1; }

// The C runtime's copy of the environment and the process's own, which GetTempPathW reads.
inline int setenv(const char* name, const char* value, int /*overwrite*/) {
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif
