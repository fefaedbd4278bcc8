// Removing a folder tree of ours at any depth without following links: the walk holds at most
// three descriptors whatever the depth, goes down with openat and back up through "..",
// checking at each step that it is where it came from.
#pragma once

namespace vaskel {

// Removes `name` below the folder open as `parent_fd`: a file or link is unlinked, a folder is
// emptied, sub-folders first, and removed. What cannot be removed stays; so does everything
// below a level that was moved away during the walk. True when `name` is gone.
bool RemoveTree(int parent_fd, const char* name);

}  // namespace vaskel
