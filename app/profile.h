// The program's settings profile: vendor "Local AppWizard-Generated Applications", application
// "Vaskel", with the sections "Recent File List", "Settings" and "Tip". On Windows that is the
// registry key Software\<vendor>\Vaskel; elsewhere the file
// <XDG config home>/<vendor>/Vaskel.conf.
#pragma once

#include <wx/confbase.h>
#include <wx/string.h>

#include <functional>
#include <memory>

namespace vaskel {

inline constexpr char kProfileVendor[] = "Local AppWizard-Generated Applications";
inline constexpr char kProfileApplication[] = "Vaskel";
inline constexpr char kRecentFileSection[] = "Recent File List";
inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kTipSection[] = "Tip";

#ifndef __WXMSW__
// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
wxString ConfigHome();
wxString ProfileFilePath();
#endif

// Each write is on disk when it returns and changes only its own key, so that several running
// instances keep each other's values; nothing is written back when the profile is dropped.
std::unique_ptr<wxConfigBase> OpenProfile();

// Runs `change` on the profile as stored now, other instances' latest writes included, and
// stores its writes in one step that no other instance's write comes between; the profile
// object then holds them as well. `change` returns false when it wrote nothing.
bool UpdateProfile(wxConfigBase& profile, const std::function<bool(wxConfigBase&)>& change);

// Removes the profile with everything in it, and the vendor's folder (key) as well when no
// other application's profile is left in it.
void DeleteProfile();

}  // namespace vaskel
