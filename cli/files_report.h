// What unpack and decompile tell on standard error about the files they wrote.
#pragma once

#include <cstddef>

namespace vaskel::cli {

// After a failure that stops the writing: the files written before it stay.
void PrintStoppedAfter(std::size_t written);
// Appended to the summary line: the files that could not be opened, those damaged.
void PrintSkippedAndDamaged(std::size_t skipped, std::size_t damaged);

}  // namespace vaskel::cli
