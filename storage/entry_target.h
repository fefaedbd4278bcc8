// Where one entry goes on disk: the destination folder, the internal folders to recreate below
// it and the file name, joined with exactly one separator each and checked before anything on
// disk is touched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

struct EntryTarget {
  // The destination folder as given, trailing separators dropped (a lone "/" stays).
  std::string destination_folder;
  // destination folder + levels + name.
  std::string full_path;
  // Offset in full_path of the part below the destination folder.
  std::size_t relative_start = 0;
  // End offset in full_path of each internal folder level, top down.
  std::vector<std::size_t> level_ends;

  // The file's path relative to the destination folder.
  const char* Relative() const { return full_path.c_str() + relative_start; }
  // Level `index` relative to the destination folder, e.g. "a/b" for the second level of "a/b/".
  std::string_view Level(std::size_t index) const {
    return std::string_view(full_path).substr(relative_start, level_ends[index] - relative_start);
  }
};

// Composes the target of one entry: `internal_path` is a catalogue row's Path text (folder names
// each followed by the separator), `name` its File Name text; the levels are used only when
// `use_path` is set. Throws ExtractionError when the destination folder or the composed path is
// longer than the platform allows, or when a level or the name could lead elsewhere than below
// the destination folder (empty, ".", "..", a separator or NUL inside a name).
EntryTarget ComposeEntryTarget(std::string_view destination_folder, std::string_view internal_path,
                               std::string_view name, bool use_path);

// The same for the folder a row's Path text names below the destination folder: full_path is
// that folder (no file name), checked the same way.
EntryTarget ComposeFolderTarget(std::string_view destination_folder,
                                std::string_view internal_path);

}  // namespace vaskel
