// What the catalogue walk asks about a name: the desktop's type name and the small icon's index.
// The desktop implementation lives in catalogue/, so that storage/ needs no desktop library.
#pragma once

#include <string_view>

namespace vaskel {

class TypeAndIconSource {
 public:
  virtual ~TypeAndIconSource() = default;
  // The type name for a file of this name, possibly empty. Valid until the next call.
  virtual std::string_view TypeName(std::string_view name) = 0;
  // The index of the small, closed-state icon for a file of this name.
  virtual int SmallIconIndex(std::string_view name) = 0;
};

}  // namespace vaskel
