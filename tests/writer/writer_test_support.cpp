#include "tests/writer/writer_test_support.h"

#include <glib.h>

namespace vaskel::chmwriter::test_support {

namespace fs = std::filesystem;

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool HaveProgram(const char* name) {
  gchar* found = g_find_program_in_path(name);
  g_free(found);
  return found != nullptr;
}

RunResult RunProgram(const std::vector<std::string>& argv) {
  std::vector<gchar*> args;
  for (const auto& arg : argv) args.push_back(const_cast<gchar*>(arg.c_str()));
  args.push_back(nullptr);
  gchar* out = nullptr;
  gchar* err = nullptr;
  gint status = 0;
  GError* error = nullptr;
  RunResult result;
  if (!g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out,
                    &err, &status, &error)) {
    result.output = error->message;
    g_error_free(error);
    return result;
  }
  result.exited_ok = g_spawn_check_wait_status(status, nullptr);
  result.output = std::string(out ? out : "") + (err ? err : "");
  g_free(out);
  g_free(err);
  return result;
}

Tree ReadTree(const fs::path& root) {
  Tree tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) {
      tree.folders.insert(name);
    } else {
      tree.files[name] = vaskel::testing::ReadBytes(item.path());
    }
  }
  return tree;
}

Tree ExpectedTree(const std::vector<Entry>& entries) {
  Tree tree;
  for (const Entry& entry : entries) {
    if (entry.path.size() < 2 || entry.path[0] != '/') continue;
    std::string name = entry.path.substr(1);
    if (name.back() == '/') {
      name.pop_back();
      tree.folders.insert(name);
    } else {
      tree.files[name] = entry.data;
    }
    for (auto slash = name.rfind('/'); slash != std::string::npos; slash = name.rfind('/')) {
      name.resize(slash);
      tree.folders.insert(name);
    }
  }
  return tree;
}

std::vector<std::string> Names(const Tree& tree) {
  std::vector<std::string> names(tree.folders.begin(), tree.folders.end());
  for (const auto& [name, bytes] : tree.files) names.push_back(name);
  return names;
}

}  // namespace vaskel::chmwriter::test_support
