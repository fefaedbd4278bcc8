// What the window tests see of the desktop: its programs, where the profile is kept, whether
// there is a display.
#pragma once

#include <filesystem>

namespace vaskel::testing {

bool DisplayAvailable();
// Once, before the toolkit starts.
void UsePrivateDesktop();
// Before each test: a profile of its own, empty, in or for `folder`.
void UsePrivateProfile(const std::filesystem::path& folder);

}  // namespace vaskel::testing
