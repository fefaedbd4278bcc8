// Connects the program's messages ("Can't Open this file.", "Create CHM Engine Error", ...) to
// the toolkit's message box: OK button, the matching icon, the application's title as caption.
#pragma once

namespace vaskel {

void ConnectMessageBoxes();

}  // namespace vaskel
