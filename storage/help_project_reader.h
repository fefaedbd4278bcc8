// Gathers a help file's project from its internal files, read through the storage interfaces.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/com/storage_interfaces.h"
#include "storage/help_project_text.h"

namespace vaskel {

// Internal files larger than this are not read: no project needs more.
inline constexpr std::uint64_t kMaxProjectFileBytes = 64u << 20;

// `stored_files` are the catalogue's files ("html/a.htm"); `source_name` the help file's name.
// Context ids are matched to stored files; [FILES] lists every stored file but the contents
// and index files, which the options name.
HelpProject ReadHelpProject(IStorage& root, std::span<const std::string> stored_files,
                            std::string_view source_name);

}  // namespace vaskel
