#include "storage/help_project_reader.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/com/com_ptr.h"

namespace vaskel {
namespace {

enum class Read { kAbsent, kRead, kDamaged };

struct InternalFile {
  Read state = Read::kAbsent;
  std::vector<std::uint8_t> bytes;
};

InternalFile ReadInternalFile(IStorage& root, const char16_t* name, std::string_view shown,
                              std::vector<std::string>& warnings) {
  InternalFile file;
  ComPtr<IStream> stream;
  if (Failed(root.OpenStream(name, nullptr, STGM_READ, 0, stream.Put())) || !stream) return file;
  std::uint8_t buffer[4096];
  for (;;) {
    ULONG got = 0;
    const HRESULT result = stream->Read(buffer, sizeof buffer, &got);
    if (Failed(result)) {
      warnings.push_back(std::string(shown) + ": its data is damaged and cannot be read");
      file.state = Read::kDamaged;
      file.bytes.clear();
      return file;
    }
    if (file.bytes.size() + got > kMaxProjectFileBytes) {
      warnings.push_back(std::string(shown) + ": larger than 64 MiB; not read");
      file.state = Read::kDamaged;
      file.bytes.clear();
      return file;
    }
    file.bytes.insert(file.bytes.end(), buffer, buffer + got);
    if (got < sizeof buffer) break;
  }
  file.state = Read::kRead;
  return file;
}

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Folded(x) == Folded(y); });
}

std::string Normalised(std::string_view name) {
  std::string result(name);
  std::replace(result.begin(), result.end(), '\\', '/');
  while (!result.empty() && result.front() == '/') result.erase(result.begin());
  return result;
}

// The stored file a context id's topic names: itself, or, for a path of the compiling machine,
// the stored file with the longest matching tail.
std::optional<std::string> StoredTopic(std::string_view topic,
                                       std::span<const std::string> stored_files) {
  const std::string wanted = Normalised(topic);
  const std::string* best = nullptr;
  for (const std::string& stored : stored_files) {
    if (SameName(stored, wanted)) return stored;
    if (wanted.size() > stored.size() && wanted[wanted.size() - stored.size() - 1] == '/' &&
        SameName(std::string_view(wanted).substr(wanted.size() - stored.size()), stored) &&
        (best == nullptr || stored.size() > best->size())) {
      best = &stored;
    }
  }
  if (best != nullptr) return *best;
  return std::nullopt;
}

std::string Stem(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  return std::string(name);
}

}  // namespace

HelpProject ReadHelpProject(IStorage& root, std::span<const std::string> stored_files,
                            std::string_view source_name) {
  HelpProject project;
  project.source_name = Stem(source_name);
  project.fallback_compiled_file = project.source_name;
  std::vector<std::string>& warnings = project.warnings;

  const InternalFile system = ReadInternalFile(root, u"#SYSTEM", "#SYSTEM", warnings);
  if (system.state == Read::kAbsent) warnings.push_back("#SYSTEM: missing; no option is known");
  if (system.state == Read::kRead) {
    project.system = DecodeSystemFile(system.bytes, warnings);
    project.has_system = true;
  }
  const InternalFile windows = ReadInternalFile(root, u"#WINDOWS", "#WINDOWS", warnings);
  const InternalFile ivb = ReadInternalFile(root, u"#IVB", "#IVB", warnings);
  // The pool is large in big help files (most of it titles for the compiler's own indexes):
  // read only when something refers into it.
  const bool refers = windows.state == Read::kRead || ivb.state == Read::kRead;
  const InternalFile strings =
      refers ? ReadInternalFile(root, u"#STRINGS", "#STRINGS", warnings) : InternalFile();
  if (windows.state == Read::kRead)
    project.windows = DecodeWindows(windows.bytes, strings.bytes, warnings);
  if (ivb.state == Read::kRead) {
    for (ContextId& id : DecodeContextIds(ivb.bytes, strings.bytes, warnings)) {
      if (std::optional<std::string> stored = StoredTopic(id.topic, stored_files))
        id.topic = std::move(*stored);
      project.context_ids.push_back(std::move(id));
    }
  }

  // The contents and index files are compiled in as the options name them; listed again they
  // would be stored twice.
  const std::optional<std::string> toc = project.system.Text(kContentsFileCode);
  const std::optional<std::string> index = project.system.Text(kIndexFileCode);
  for (const std::string& stored : stored_files) {
    if ((toc && SameName(Normalised(*toc), stored)) ||
        (index && SameName(Normalised(*index), stored)))
      continue;
    project.files.push_back(stored);
  }
  return project;
}

}  // namespace vaskel
