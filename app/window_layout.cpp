#include "app/window_layout.h"

#include <wx/confbase.h>
#include <wx/display.h>
#include <wx/frame.h>

#include "catalogue/catalogue_rows_control.h"

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

void RestoreFrame(const wxConfigBase& profile, wxFrame& frame) {
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

void RestoreColumns(const wxConfigBase& profile, CatalogueRowsControl& list) {
  for (int column = 0; column < list.ColumnCount(); ++column) {
    long width = 0;
    if (profile.Read(ColumnKey(column), &width) && width > 0 && width <= kLargestColumn) {
      list.ResizeColumn(column, static_cast<int>(width));
    }
  }
}

}  // namespace

void WindowLayout::Restore(wxConfigBase& profile, wxFrame* frame, CatalogueRowsControl* list) {
  if (frame != nullptr) RestoreFrame(profile, *frame);
  if (list != nullptr) RestoreColumns(profile, *list);
  known_ = Current(frame, list);
  // A stored place the window did not take (off every screen) is no change of this window's.
  for (const char* key : {kWindowXKey, kWindowYKey, kWindowWidthKey, kWindowHeightKey}) {
    long stored = 0;
    if (frame != nullptr && profile.Read(key, &stored)) known_[key] = stored;
  }
}

std::map<std::string, long> WindowLayout::Current(const wxFrame* frame,
                                                  const CatalogueRowsControl* list) const {
  std::map<std::string, long> values;
  if (frame != nullptr && !frame->IsIconized()) {
    const bool maximized = frame->IsMaximized();
    // A maximized window keeps the size it had before, to come back to.
    if (!maximized) {
      const wxRect rect = frame->GetRect();
      values[kWindowXKey] = rect.x;
      values[kWindowYKey] = rect.y;
      values[kWindowWidthKey] = rect.width;
      values[kWindowHeightKey] = rect.height;
    }
    values[kWindowMaximizedKey] = maximized;
  }
  if (list != nullptr) {
    for (int column = 0; column < list->ColumnCount(); ++column) {
      values[ColumnKey(column).utf8_string()] = list->ColumnWidth(column);
    }
  }
  return values;
}

void WindowLayout::Save(wxConfigBase& profile, const wxFrame* frame,
                        const CatalogueRowsControl* list) {
  for (const auto& [key, value] : Current(frame, list)) {
    const auto known = known_.find(key);
    if (known != known_.end() && known->second == value) continue;
    if (key == kWindowMaximizedKey) {
      profile.Write(wxString::FromUTF8(key), value != 0);
    } else {
      profile.Write(wxString::FromUTF8(key), value);
    }
    known_[key] = value;
  }
  profile.Flush();
}

}  // namespace vaskel
