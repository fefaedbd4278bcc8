// libFuzzer target: the project decoders (#SYSTEM, #WINDOWS, #IVB against a #STRINGS pool) and
// the project text written from what they decode. The input is cut into the four files at two
// leading length bytes each.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "storage/help_project.h"
#include "storage/help_project_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> input(data, size);
  const auto take = [&input]() {
    if (input.size() < 2) return std::span<const std::uint8_t>();
    const std::size_t length = std::min<std::size_t>(input[0] | input[1] << 8, input.size() - 2);
    const std::span<const std::uint8_t> part = input.subspan(2, length);
    input = input.subspan(2 + length);
    return part;
  };
  const auto system = take();
  const auto windows = take();
  const auto ivb = take();
  const auto strings = input;
  vaskel::HelpProject project;
  project.source_name = "fuzz.chm";
  project.has_system = true;
  project.system = vaskel::DecodeSystemFile(system, project.warnings);
  project.windows = vaskel::DecodeWindows(windows, strings, project.warnings);
  project.context_ids = vaskel::DecodeContextIds(ivb, strings, project.warnings);
  const std::string text = vaskel::ProjectText(project);
  return text.empty() ? -1 : 0;
}
