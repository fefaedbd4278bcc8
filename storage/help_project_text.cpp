#include "storage/help_project_text.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "storage/language_names.h"

namespace vaskel {
namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

// The compiled file's name as #SYSTEM keeps it: a stem, or a whole path of the compiling
// machine, of which only the name is kept so that the project builds into its own folder.
std::optional<std::string> CompiledFile(const SystemFile& system);

void TextOption(std::string& out, const SystemFile& system, std::uint16_t code,
                std::string_view key) {
  if (const std::optional<std::string> value = system.Text(code)) {
    out.append(key).append("=").append(*value).append("\n");
  } else {
    out.append("; ").append(key).append(": not stored in the help file\n");
  }
}

void Options(std::string& out, const HelpProject& project) {
  const SystemFile& system = project.system;
  out += "[OPTIONS]\n";
  if (!project.has_system) {
    out += "; the help file has no readable #SYSTEM: its options are lost\n";
    out += "Compiled file=" + project.fallback_compiled_file + "\n";
    return;
  }
  out += system.version > 2 ? "Compatibility=1.1 or later\n" : "Compatibility=1.0\n";
  out += "Compiled file=" + CompiledFile(system).value_or(project.fallback_compiled_file) + "\n";
  TextOption(out, system, kContentsFileCode, "Contents file");
  TextOption(out, system, kDefaultWindowCode, "Default Window");
  TextOption(out, system, kDefaultTopicCode, "Default topic");
  if (const std::optional<std::string> font = system.Text(kDefaultFontCode))
    out += "Default Font=" + *font + "\n";
  if (const std::optional<std::uint32_t> search = system.Dword(kLanguageCode, 8))
    out += *search != 0 ? "Full-text search=Yes\n" : "Full-text search=No\n";
  else
    out += "; Full-text search: not stored in the help file\n";
  out += system.Find(kBinaryTocCode) != nullptr ? "Binary TOC=Yes\n" : "Binary TOC=No\n";
  out += system.Find(kBinaryIndexCode) != nullptr ? "Binary Index=Yes\n" : "Binary Index=No\n";
  TextOption(out, system, kIndexFileCode, "Index file");
  if (const std::optional<std::uint32_t> lcid = system.Dword(kLanguageCode, 0)) {
    char id[16];
    std::snprintf(id, sizeof id, "0x%04x", *lcid);
    out += std::string("Language=") + id;
    const std::string_view name = LanguageName(*lcid);
    if (!name.empty()) out.append(" ").append(name);
    out += "\n";
  } else {
    out += "; Language: not stored in the help file\n";
  }
  TextOption(out, system, kTitleCode, "Title");
  if (const std::optional<std::string> compiler = system.Text(kCompilerCode))
    out += "; compiled by " + *compiler + "\n";
}

bool EndsWithChm(std::string_view name) {
  if (name.size() < 4) return false;
  std::string tail(name.substr(name.size() - 4));
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".chm";
}

bool Writable(std::string_view text, bool quoted) {
  return text.find_first_of(quoted ? "\"\r\n" : "\r\n") == std::string_view::npos;
}

std::string Number(bool given, std::int64_t value, bool hex) {
  if (!given && value == 0) return "";
  return hex ? Hex(static_cast<std::uint32_t>(value)) : std::to_string(value);
}

void Windows(std::string& out, const std::vector<WindowDefinition>& windows) {
  if (windows.empty()) return;
  out += "\n[WINDOWS]\n";
  for (const WindowDefinition& w : windows) {
    const std::string* texts[] = {&w.caption,      &w.toc,        &w.index,
                                  &w.default_file, &w.home,       &w.jump1_file,
                                  &w.jump1_text,   &w.jump2_file, &w.jump2_text};
    bool writable = Writable(w.name, false) && w.name.find('=') == std::string::npos;
    std::string line = w.name + "=";
    for (const std::string* text : texts) {
      writable = writable && Writable(*text, true);
      line += "\"" + *text + "\",";
    }
    const auto given = [&w](std::uint32_t bit) { return (w.valid & bit) != 0; };
    line += Number(given(kNavStyleValid), w.nav_style, true) + ",";
    line += Number(given(kNavWidthValid), w.nav_width, false) + ",";
    line += Number(given(kButtonsValid), w.buttons, true) + ",";
    if (given(kRectValid) || w.left != 0 || w.top != 0 || w.right != 0 || w.bottom != 0) {
      line += "[" + std::to_string(w.left) + "," + std::to_string(w.top) + "," +
              std::to_string(w.right) + "," + std::to_string(w.bottom) + "]";
    }
    line += ",";
    line += Number(given(kStyleValid), w.style, true) + ",";
    line += Number(given(kExStyleValid), w.ex_style, true) + ",";
    line += Number(given(kShowStateValid), w.show_state, false) + ",";
    line += Number(given(kNavClosedValid), w.nav_closed, false) + ",";
    line += Number(given(kDefaultPaneValid), w.default_pane, false) + ",";
    line += Number(given(kPanePositionValid), w.pane_position, false) + ",";
    line += Number(false, w.notify_id, false);
    if (!writable) out += "; a text of this window holds a quote or a line break:\n; ";
    out += line + "\n";
  }
}

void ContextIds(std::string& out, const std::vector<ContextId>& ids) {
  if (ids.empty()) return;
  out += "\n[ALIAS]\n";
  out += "; help files keep no symbolic names for context ids: IDH_<number> stands for each\n";
  for (const ContextId& id : ids) {
    if (!Writable(id.topic, false)) out += "; ";
    out += "IDH_" + std::to_string(id.id) + "=" + id.topic + "\n";
  }
  out += "\n[MAP]\n";
  for (const ContextId& id : ids) {
    if (!Writable(id.topic, false)) out += "; ";
    out += "#define IDH_" + std::to_string(id.id) + " " + std::to_string(id.id) + "\n";
  }
}

std::optional<std::string> CompiledFile(const SystemFile& system) {
  std::optional<std::string> stored = system.Text(kCompiledFileCode);
  if (!stored) return std::nullopt;
  std::string_view name = *stored;
  const std::size_t slash = name.find_last_of("/\\:");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  std::string file(name);
  if (!EndsWithChm(file)) file += ".chm";
  return file;
}

}  // namespace

std::string ProjectText(const HelpProject& project) {
  std::string out = "; Help project recovered from " + project.source_name + "\n";
  for (const std::string& warning : project.warnings) out += "; damaged: " + warning + "\n";
  Options(out, project);
  Windows(out, project.windows);
  out += "\n[FILES]\n";
  for (const std::string& file : project.files) {
    if (!Writable(file, false)) out += "; ";
    out += file + "\n";
  }
  ContextIds(out, project.context_ids);
  return out;
}

}  // namespace vaskel
