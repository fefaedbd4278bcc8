// The desktop's system image lists as the catalogue uses them: process-wide lists shared by all
// instances, created by the first instance and released by the last. Construct and destroy
// instances on one thread (the user-interface thread).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/icon_index_table.h"
#include "storage/type_and_icon_source.h"

#ifdef _WIN32
struct _IMAGELIST;  // the shell's HIMAGELIST points to one
#endif

namespace vaskel {

class SystemImageList final : public TypeAndIconSource {
 public:
  SystemImageList();
  ~SystemImageList() override;
  SystemImageList(const SystemImageList&) = delete;
  SystemImageList& operator=(const SystemImageList&) = delete;

#ifdef _WIN32
  // The shell's own list of small or large icons (process-wide, never to be destroyed); both
  // share their indexes. Null when the shell gives none.
  _IMAGELIST* GetImageList(bool small) const;
#else
  // The shared list of small or large icons; both share their indexes, as the desktop's do.
  // Null when no list exists.
  const IconIndexTable* GetImageList(bool small) const;
  // The theme names of an index's icon, best first (empty for an unknown index).
  const std::vector<std::string>& IconNamesAt(int index) const;
#endif
  // The index of the icon the desktop gives a file of this name; open asks for the open-state
  // icon (a folder's, chiefly). Only the extension counts (see MakeTypeLookupKey): names
  // sharing one share the index. -1 when no icon is known.
  int GetIconIndex(std::string_view name, bool open, bool small);

  // For the catalogue walk: ShellTypeName and the small closed icon. They answer from this
  // instance's own cache, which needs no lock, and the walk asks both for one name in a row.
  std::string_view TypeName(std::string_view name) override;
  int SmallIconIndex(std::string_view name) override;

 private:
  struct Answers {
    bool type_known = false;
    std::string type;
    int small_icon = kNotAsked;
  };
  static constexpr int kNotAsked = -2;

  // A direct-mapped front for the answers cache: most look-ups end in one short compare.
  struct RecentKey {
    std::string key;
    Answers* answers = nullptr;
  };
  static constexpr std::size_t kRecentKeys = 64;

  // The answers for the name's look-up key; null when the cache is full.
  Answers* AnswersFor(std::string_view name);

  LookupCache<Answers> answers_;
  std::array<RecentKey, kRecentKeys> recent_;
  std::string key_;
  std::string last_name_;
  Answers* last_answers_ = nullptr;
  std::string uncached_type_;
};

}  // namespace vaskel
