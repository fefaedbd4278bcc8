#include "storage/entry_target.h"

#include <cerrno>

#include "platform/fs/name_rules.h"
#include "platform/fs/path_units.h"
#include "platform/text/translation.h"
#include "storage/extraction_error.h"
#include "storage/path_limit.h"

namespace vaskel {
namespace {

using platform::kNameLimit;
constexpr std::size_t kLongestPath = kPlatformPathLimit - 1;  // room for the terminator

std::string LimitText() { return std::to_string(kLongestPath) + Tr(platform::kPathUnitsText); }

// A name that would resolve to another place than a new entry of the folder it is joined to.
bool IsUnsafeName(std::string_view name) {
  return name.empty() || name == "." || name == ".." ||
         name.find(kPathSeparator) != std::string_view::npos ||
         name.find('\0') != std::string_view::npos;
}

// `what` is "folder name" or "file name", translated.
void CheckName(const std::string& destination, std::string_view name, const std::string& what) {
  const std::string shown(name);
  if (const char* refusal = IsUnsafeName(name) ? nullptr : platform::PlatformNameRefusal(name)) {
    // TRANSLATORS: the last %s says why Windows refuses the name; it stays in English.
    throw ExtractionError(destination,
                          FormatText(Tr("refused the %s \"%s\": %s; it would not stay below the "
                                        "destination folder"),
                                     what.c_str(), shown.c_str(), refusal),
                          EINVAL);
  }
  if (IsUnsafeName(name)) {
    throw ExtractionError(
        destination,
        FormatText(Tr("refused the %s \"%s\": it would not stay below the destination folder"),
                   what.c_str(), shown.c_str()),
        EINVAL);
  }
  if (platform::PathUnits(name) > kNameLimit) {
    // TRANSLATORS: the last %s is the limit's unit (characters or bytes).
    throw ExtractionError(
        destination,
        FormatText(Tr("refused the %s \"%s\": longer than %zu%s"), what.c_str(), shown.c_str(),
                   static_cast<std::size_t>(kNameLimit), Tr(platform::kPathUnitsText).c_str()),
        ENAMETOOLONG);
  }
}

void AppendJoined(std::string& path, std::string_view part) {
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += part;
}

}  // namespace

namespace {

// Composes the destination folder and the levels; `name` (when not null) is joined last.
EntryTarget Compose(std::string_view destination_folder, std::string_view internal_path,
                    const std::string_view* name, bool use_path) {
  const std::string given(destination_folder);
  if (given.empty()) throw ExtractionError(given, Tr("no destination folder given"), EINVAL);
  if (given.find('\0') != std::string::npos) {
    throw ExtractionError(given, Tr("the destination folder's name holds a NUL character"), EINVAL);
  }
  if (platform::PathUnits(given) > kLongestPath) {
    throw ExtractionError(
        given,
        Tr("the destination folder's path is longer than the platform's limit of ") + LimitText(),
        ENAMETOOLONG);
  }

  EntryTarget target;
  target.destination_folder = given;
  while (target.destination_folder.size() > 1 && target.destination_folder.back() == kPathSeparator)
    target.destination_folder.pop_back();
  target.full_path.reserve(target.destination_folder.size() + internal_path.size() +
                           (name ? name->size() : 0) + 2);
  target.full_path = target.destination_folder;
  if (target.full_path.back() != kPathSeparator) target.full_path += kPathSeparator;
  target.relative_start = target.full_path.size();

  if (use_path) {
    std::string_view rest = internal_path;
    while (!rest.empty()) {
      const std::size_t end = rest.find(kPathSeparator);
      const std::string_view level = rest.substr(0, end);
      CheckName(given, level, Tr("folder name"));
      AppendJoined(target.full_path, level);
      target.level_ends.push_back(target.full_path.size());
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  if (name != nullptr) {
    CheckName(given, *name, Tr("file name"));
    if (target.level_ends.empty()) {
      target.full_path += *name;
    } else {
      AppendJoined(target.full_path, *name);
    }
  } else if (target.level_ends.empty()) {
    target.full_path = target.destination_folder;
  }

  if (platform::PathUnits(target.full_path) > kLongestPath) {
    throw ExtractionError(
        target.full_path,
        FormatText(Tr("the path is longer than the platform's limit of %s; nothing was written"),
                   LimitText().c_str()),
        ENAMETOOLONG);
  }
  return target;
}

}  // namespace

EntryTarget ComposeEntryTarget(std::string_view destination_folder, std::string_view internal_path,
                               std::string_view name, bool use_path) {
  return Compose(destination_folder, internal_path, &name, use_path);
}

EntryTarget ComposeFolderTarget(std::string_view destination_folder,
                                std::string_view internal_path) {
  return Compose(destination_folder, internal_path, nullptr, true);
}

}  // namespace vaskel
