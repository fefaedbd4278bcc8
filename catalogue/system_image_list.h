// The desktop's system image lists as the catalogue uses them: process-wide lists shared by all
// instances, created by the first instance and released by the last. Construct and destroy
// instances on one thread (the user-interface thread).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/icon_index_table.h"
#include "storage/type_and_icon_source.h"

namespace vaskel {

class SystemImageList final : public TypeAndIconSource {
 public:
  SystemImageList();
  ~SystemImageList() override;
  SystemImageList(const SystemImageList&) = delete;
  SystemImageList& operator=(const SystemImageList&) = delete;

  // The shared list of small or large icons; both share their indexes, as the desktop's do.
  // Null when no list exists.
  const IconIndexTable* GetImageList(bool small) const;
  // The index of the icon the icon theme gives a file of this name; open asks for the
  // open-state icon (a folder's, chiefly). Only the extension counts (see
  // MakeTypeLookupKey): names sharing one share the index. -1 when no icon is known.
  int GetIconIndex(std::string_view name, bool open, bool small);
  // The theme names of an index's icon, best first (empty for an unknown index).
  const std::vector<std::string>& IconNamesAt(int index) const;

  static int InstanceCount();

  // For the catalogue walk: ShellTypeName and the small closed icon.
  std::string_view TypeName(std::string_view name) override;
  int SmallIconIndex(std::string_view name) override { return GetIconIndex(name, false, true); }
};

}  // namespace vaskel
