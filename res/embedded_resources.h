// Files built into the program: the XRC layouts and the artwork, so that the window needs
// nothing beside the program to start.
#pragma once

#include <span>
#include <string_view>

namespace vaskel::res {

struct EmbeddedResource {
  std::string_view name;  // the file's name, without folders: "toolbar141.png"
  std::span<const unsigned char> bytes;
};

std::span<const EmbeddedResource> EmbeddedResources();

// The bytes of the file of that name; empty when it was not built in.
std::span<const unsigned char> FindEmbeddedResource(std::string_view name);

}  // namespace vaskel::res
