#include "app/window_layout.h"

#include <wx/confbase.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

namespace vaskel {
namespace {

// Widths and heights beyond these are not a window anyone left on purpose.
constexpr long kSmallest = 100;
constexpr long kLargest = 30000;
constexpr long kLargestColumn = 5000;

constexpr char kWindowXKey[] = "/Settings/WindowX";
constexpr char kWindowYKey[] = "/Settings/WindowY";
constexpr char kWindowWidthKey[] = "/Settings/WindowWidth";
constexpr char kWindowHeightKey[] = "/Settings/WindowHeight";
constexpr char kWindowMaximizedKey[] = "/Settings/WindowMaximized";
// Followed by the column's number, from 0.
constexpr char kColumnWidthKey[] = "/Settings/ColumnWidth";

wxString ColumnKey(int column) { return wxString(kColumnWidthKey) << column; }

// Some part of the window's top edge, where the title bar is, lies on a screen.
bool TopEdgeOnAScreen(const wxRect& rect) {
  const wxRect top_edge(rect.x, rect.y, rect.width, 1);
  for (unsigned int index = 0; index < wxDisplay::GetCount(); ++index) {
    if (wxDisplay(index).GetGeometry().Intersects(top_edge)) return true;
  }
  return false;
}

void RestoreFrame(wxConfigBase& profile, wxFrame& frame) {
  long x = 0, y = 0, width = 0, height = 0;
  if (!profile.Read(kWindowXKey, &x) || !profile.Read(kWindowYKey, &y) ||
      !profile.Read(kWindowWidthKey, &width) || !profile.Read(kWindowHeightKey, &height)) {
    return;
  }
  if (width < kSmallest || width > kLargest || height < kSmallest || height > kLargest) return;
  const wxRect rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                    static_cast<int>(height));
  if (!TopEdgeOnAScreen(rect)) return;  // the designed centred place stays
  frame.SetSize(rect);
  if (profile.ReadBool(kWindowMaximizedKey, false)) frame.Maximize();
}

void RestoreColumns(wxConfigBase& profile, wxListCtrl& list) {
  for (int column = 0; column < list.GetColumnCount(); ++column) {
    long width = 0;
    if (profile.Read(ColumnKey(column), &width) && width > 0 && width <= kLargestColumn) {
      list.SetColumnWidth(column, static_cast<int>(width));
    }
  }
}

}  // namespace

void RestoreWindowLayout(wxFrame* frame, wxListCtrl* list) {
  wxConfigBase* profile = wxConfigBase::Get(false);
  if (profile == nullptr) return;
  if (frame != nullptr) RestoreFrame(*profile, *frame);
  if (list != nullptr) RestoreColumns(*profile, *list);
}

void SaveWindowLayout(const wxFrame* frame, const wxListCtrl* list) {
  wxConfigBase* profile = wxConfigBase::Get(false);
  if (profile == nullptr) return;
  if (frame != nullptr && !frame->IsIconized()) {
    const bool maximized = frame->IsMaximized();
    // A maximized window keeps the size it had before, to come back to.
    if (!maximized) {
      const wxRect rect = frame->GetRect();
      profile->Write(kWindowXKey, static_cast<long>(rect.x));
      profile->Write(kWindowYKey, static_cast<long>(rect.y));
      profile->Write(kWindowWidthKey, static_cast<long>(rect.width));
      profile->Write(kWindowHeightKey, static_cast<long>(rect.height));
    }
    profile->Write(kWindowMaximizedKey, maximized);
  }
  if (list != nullptr) {
    for (int column = 0; column < list->GetColumnCount(); ++column) {
      profile->Write(ColumnKey(column), static_cast<long>(list->GetColumnWidth(column)));
    }
  }
  profile->Flush();
}

}  // namespace vaskel
