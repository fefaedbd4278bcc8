#include "storage/help_project_writer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/fs/utf8_path.h"
#include "storage/catalogue_list.h"
#include "storage/help_project_reader.h"
#include "storage/path_limit.h"

namespace vaskel {
namespace {

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

std::vector<std::string> StoredFileNames(const CatalogueList& rows) {
  std::vector<std::string> stored;
  stored.reserve(rows.GetItemCount());
  for (int row = 0; row < rows.GetItemCount(); ++row) {
    std::string internal(rows.GetItemText(row, kPathColumn));
    internal += rows.GetItemText(row, kNameColumn);
    std::replace(internal.begin(), internal.end(), kPathSeparator, '/');
    stored.push_back(std::move(internal));
  }
  return stored;
}

std::string ProjectFileName(std::string_view help_file, std::span<const std::string> stored) {
  const std::u8string stem_text =
      platform::Utf8Path(help_file).filename().replace_extension().u8string();
  const std::string stem =
      stem_text.empty() ? std::string("project") : std::string(stem_text.begin(), stem_text.end());
  const auto taken = [&stored](const std::string& name) {
    return std::any_of(stored.begin(), stored.end(), [&name](const std::string& file) {
      return file.size() == name.size() &&
             std::equal(file.begin(), file.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
             });
    });
  };
  std::string name = stem + ".hhp";
  for (int attempt = 2; taken(name); ++attempt)
    name = stem + "-project" + (attempt > 2 ? std::to_string(attempt - 1) : "") + ".hhp";
  return name;
}

WrittenProject WriteHelpProject(IStorage& root, std::span<const std::string> stored,
                                std::string_view help_file, std::string_view folder) {
  WrittenProject result;
  result.project = ReadHelpProject(root, stored, help_file);
  result.file_name = ProjectFileName(help_file, stored);
  result.written = WriteText(platform::Utf8Path(folder) / platform::Utf8Path(result.file_name),
                             ProjectText(result.project));
  return result;
}

}  // namespace vaskel
