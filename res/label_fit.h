// Room for translated texts in the layouts of fixed positions (About box, Tip of the Day,
// Unpack dialog): the design sizes each control for its English text.
#pragma once

class wxWindow;

namespace vaskel::res {

// Widens (and heightens) each label, button, check box and radio button whose text needs more
// room than the layout gives it, moves the controls to its right along by as much, widens a
// group box around it and grows the window to hold them all, so that no word is cut. Only
// while a translation is in use: the English layout stays exactly as designed.
void GrowControlsToFitTexts(wxWindow& window);

}  // namespace vaskel::res
