#include "catalogue/type_description.h"

#include <gio/gio.h>

#include "catalogue/content_type_guess.h"

namespace vaskel {

std::string DescribeTypeOf(const std::string& key) {
  const GText type = GuessContentType(key);
  if (IsUnknownContentType(type.get())) return {};
  const GText description(g_content_type_get_description(type.get()));
  return description ? description.get() : "";
}

}  // namespace vaskel
