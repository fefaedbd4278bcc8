// The desktop's "Open With" dialog, offered as the shell offers it when a type has no program or
// its program cannot be started.
#pragma once

#include <string>

namespace vaskel {

struct ChooserOutcome {
  bool started = false;  // the chosen program runs
  std::string failure;   // the chosen program's start failed; empty when nothing was chosen
};

// Runs the chooser modally for `content_type` and starts the chosen program on `uri`; the choice
// becomes the type's last used program. Without a display nothing is shown or chosen.
ChooserOutcome OfferOtherProgram(const std::string& content_type, const std::string& uri);

}  // namespace vaskel
