// Sorting the catalogue by a click on a column header: ascending first, descending on the next
// click of the same column, by number for "Size" and by text otherwise, with the hourglass
// shown while it runs. The view keeps the sort column across refreshes.
#pragma once

namespace vaskel {

class CVaskelView;

// Connects the view's list control's header clicks to SortByColumnClick.
void AttachColumnSorting(CVaskelView& view);
void SortByColumnClick(CVaskelView& view, int column);

}  // namespace vaskel
