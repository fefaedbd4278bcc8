// Under Wine the test run has a throw-away prefix of its own (tools/wine-session.sh): its
// registry holds the profile and the recorder registered for the opened types.
#include <gtest/gtest.h>
#include <wx/debug.h>

#include "app/profile.h"
#include "tests/window/private_desktop.h"

namespace vaskel::testing {

bool DisplayAvailable() { return true; }

// A failed wx check would show a modal message that nobody answers: it fails the test instead.
void UsePrivateDesktop() {
  wxSetAssertHandler([](const wxString& file, int line, const wxString& function,
                        const wxString& condition, const wxString& message) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << function << ": " << condition << " " << message;
  });
}

// The profile key is the prefix's own; each test starts without one.
void UsePrivateProfile(const std::filesystem::path& /*folder*/) { DeleteProfile(); }

}  // namespace vaskel::testing
