// Under Wine the test run has a throw-away prefix of its own (tools/wine-session.sh): its
// registry holds the profile and the recorder registered for the opened types.
#include "app/profile.h"
#include "tests/window/private_desktop.h"

namespace vaskel::testing {

bool DisplayAvailable() { return true; }

void UsePrivateDesktop() {}

// The profile key is the prefix's own; each test starts without one.
void UsePrivateProfile(const std::filesystem::path& /*folder*/) { DeleteProfile(); }

}  // namespace vaskel::testing
