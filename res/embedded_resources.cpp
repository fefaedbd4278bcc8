#include "res/embedded_resources.h"

namespace vaskel::res {

std::span<const unsigned char> FindEmbeddedResource(std::string_view name) {
  for (const EmbeddedResource& resource : EmbeddedResources()) {
    if (resource.name == name) return resource.bytes;
  }
  return {};
}

}  // namespace vaskel::res
