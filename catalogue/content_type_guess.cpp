#include "catalogue/content_type_guess.h"

#include <gio/gio.h>

namespace vaskel {

void GFreeDeleter::operator()(void* memory) const { g_free(memory); }

GText GuessContentType(const std::string& name) {
  // GIO settles its MIME folders lazily; when a description or icon look-up settles them after
  // a first guess, it reloads its pattern tables and loses the first ones. Settle them first.
  [[maybe_unused]] static const auto* const kMimeFolders = g_content_type_get_mime_dirs();
  // Without data GIO reports an uncertain guess whenever several types claim the name (".html"
  // is also XHTML's); its first answer is still the best-weighted one, so only the generic
  // binary type counts as "no type".
  gboolean uncertain = FALSE;
  GText type(g_content_type_guess(name.c_str(), nullptr, 0, &uncertain));
  if (!type) type.reset(g_strdup("application/octet-stream"));
  return type;
}

bool IsUnknownContentType(const char* content_type) {
  return g_content_type_is_unknown(content_type);
}

}  // namespace vaskel
