#include "catalogue/vaskel_view.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/srchctrl.h>
#include <wx/statusbr.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "catalogue/catalogue_rows_control.h"
#include "catalogue/column_sort.h"
#include "catalogue/find_box.h"
#include "catalogue/icon_bitmap_cache.h"
#include "catalogue/operate_menu.h"
#include "catalogue/page_preview.h"
#include "catalogue/please_wait_window.h"
#include "catalogue/run_preview.h"
#include "catalogue/vaskel_doc.h"
#include "platform/desktop/accessible_name.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/left_out_entries.h"
#include "storage/message_box.h"

namespace vaskel {
namespace {

struct ColumnLayout {
  bool right_aligned;
  int width;
};
constexpr ColumnLayout kColumns[kCatalogueColumnCount] = {
    {false, 150},
    {true, 50},
    {false, 100},
    {false, 200},
};

using Clock = std::chrono::steady_clock;

// Files help files are mostly made of: the Type column fits their type names.
constexpr std::string_view kCommonNames[] = {"a.htm", "a.css", "a.js",  "a.gif",
                                             "a.jpg", "a.png", "a.txt", "a.xml"};
constexpr int kCellPadding = 16;
constexpr int kFindRowMargin = 3;

wxString TotalFilesText(int count) {
  return wxString::Format(wxPLURAL("Total %d file(s)", "Total %d file(s)", count), count);
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CVaskelView, wxView);

CVaskelView::CVaskelView() : icons_(std::make_unique<IconBitmapCache>(image_lists_)) {
  Bind(wxEVT_MENU, &CVaskelView::OnSelectAll, this, res::WxId(res::ID_EDIT_SELECT_ALL));
  Bind(wxEVT_MENU, &CVaskelView::OnFind, this, res::WxId(res::ID_EDIT_FIND));
}

CVaskelView::~CVaskelView() {
  // The rows name storages the engine holds: let them go while the document still exists.
  if (CVaskelDoc* doc = GetVaskelDoc()) doc->Engine().Reset();
  wxWindow* box = find_box_ != nullptr ? find_box_->Control() : nullptr;
  find_box_.reset();
  if (box != nullptr) box->Destroy();
  pages_.reset();
  if (list_ != nullptr) list_->Window().Destroy();
}

CVaskelDoc* CVaskelView::GetVaskelDoc() const { return wxDynamicCast(GetDocument(), CVaskelDoc); }

bool CVaskelView::OnCreate(wxDocument* doc, long flags) {
  if (!wxView::OnCreate(doc, flags)) return false;
  // Single document: the view lives in the application's main frame.
  auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), wxFrame);
  if (frame == nullptr) return false;
  // The frame is given to the view by the document manager once the framework's creation is
  // done: that creation raises the view's frame, which would map the main window before
  // start-up decides to show it.
  list_ = CreateCatalogueRowsControl(frame, rows_, *icons_);
  list_->Window().Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
    if (list_ != nullptr && event.GetEventObject() == &list_->Window()) list_ = nullptr;
    event.Skip();
  });
  SetAccessibleName(list_->Window(), _("Files"));
  CreateColumns();
  find_box_ = std::make_unique<FindBox>(*this, *frame);
  // The find box right-aligned in a row above the list, which takes the rest.
  auto* find_row = new wxBoxSizer(wxHORIZONTAL);
  find_row->AddStretchSpacer();
  find_row->Add(find_box_->Control(), 0, wxALL, kFindRowMargin);
  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(find_row, 0, wxEXPAND);
  layout->Add(&list_->Window(), 1, wxEXPAND);
  frame->SetSizer(layout);
  pages_ = std::make_unique<PagePreview>(&list_->Window());
  AttachColumnSorting(*this);
  AttachOperateMenu(*this);
  frame->SendSizeEvent();
  Activate(true);
  return true;
}

void CVaskelView::CreateColumns() {
  for (int column = 0; column < kCatalogueColumnCount; ++column) {
    list_->AddColumn(res::Translated(kCatalogueColumnHeadings[column]),
                     kColumns[column].right_aligned, kColumns[column].width);
  }
  // A translated heading longer than the English one widens its column (room for the sort
  // arrow too); English keeps the designed widths.
  const bool translated = wxTranslations::Get() != nullptr;
  for (int column = 0; column < kCatalogueColumnCount; ++column) {
    const wxString heading = res::Translated(kCatalogueColumnHeadings[column]);
    const int needed =
        translated ? list_->Window().GetTextExtent(heading).x + 2 * kCellPadding : 0;
    list_->ResizeColumn(column, std::max(kColumns[column].width, needed));
  }
  int type_width = kColumns[kTypeColumn].width;
  for (const std::string_view name : kCommonNames) {
    const wxString type = res::ToWx(image_lists_.TypeName(name));
    type_width = std::max(type_width, list_->Window().GetTextExtent(type).x + kCellPadding);
  }
  list_->ResizeColumn(kTypeColumn, type_width);
}

bool CVaskelView::OnClose(bool delete_window) {
  if (!wxView::OnClose(delete_window)) return false;
  Activate(false);
  return true;
}

void CVaskelView::OnUpdate(wxView* /*sender*/, wxObject* hint) {
  if (wxDynamicCast(hint, CatalogueClosedHint) == nullptr) return;
  ClearCatalogue();
  ShowFileCount();  // not the previous file's count under the emptied list
}

void CVaskelView::OnChangeFilename() {
  wxWindow* frame = GetFrame();
  wxDocument* doc = GetDocument();
  if (frame == nullptr || doc == nullptr || doc->GetDocumentManager() == nullptr) return;
  frame->SetLabel(doc->GetDocumentManager()->MakeFrameTitle(doc));
}

void CVaskelView::ClearCatalogue() {
  if (find_box_ != nullptr) find_box_->Forget();
  if (pages_ != nullptr) pages_->Forget();
  rows_.DeleteAllItems();
  if (CVaskelDoc* doc = GetVaskelDoc()) doc->Engine().Reset();
}

void CVaskelView::OnInitialUpdate() {
  CVaskelDoc* doc = GetVaskelDoc();
  if (doc == nullptr || list_ == nullptr) return;
  StorageEngine& engine = doc->Engine();
  if (engine.GetRootStorage() == nullptr) {
    // Rows may only name storages the engine still holds.
    ClearCatalogue();
    return;
  }
  timings_ = {};
  const Clock::time_point start = Clock::now();
  std::optional<PleaseWaitWindow> please_wait(std::in_place, &list_->Window());
  std::optional<wxBusyCursor> wait_cursor(std::in_place);
  const Clock::time_point walk_start = Clock::now();
  timings_.please_wait = walk_start - start;

  if (pages_ != nullptr) pages_->Forget();
  if (find_box_ != nullptr) find_box_->Forget();
  TypeAndIconSource& types = type_source_ != nullptr ? *type_source_ : image_lists_;
  const std::int32_t count = engine.WalkCatalogue(rows_, types);
  const Clock::time_point walk_end = Clock::now();
  timings_.walk = walk_end - walk_start;

  please_wait.reset();
  rows_.SetRedraw(true);
  list_->RemoveSortIndicator();  // the rows are in stored order again
  wait_cursor.reset();
  SetStatusText(TotalFilesText(static_cast<int>(count)));
  timings_.control = Clock::now() - walk_end;
  timings_.rows = count;
  ReportLeftOutEntries(count);
}

void CVaskelView::ReportLeftOutEntries(int rows) {
  const LeftOutEntries left_out = FindLeftOutEntries(GetVaskelDoc()->Engine().GetRootStorage());
  if (!left_out.Any()) return;
  const std::string file = wxFileName(GetVaskelDoc()->GetFilename()).GetFullName().utf8_string();
  // TRANSLATORS: %s is the help file's name; the reasons follow, one a paragraph.
  std::string text = wxString::Format(rows == 0 ? _("No file of %s can be listed, because the "
                                                    "reader left entries out:")
                                                : _("Not every file of %s is listed, because "
                                                    "the reader left entries out:"),
                                      wxString::FromUTF8(file))
                         .utf8_string();
  for (const std::string& line : left_out.Lines()) text += "\n\n" + line + ".";
  // Once the catalogue shows; dropped with the list should the window close first.
  list_->Window().CallAfter([text] { ShowMessage(text, MessageIcon::kExclamation); });
}

void CVaskelView::Run(int row) {
  CVaskelDoc* doc = GetVaskelDoc();
  if (doc == nullptr) return;
  const wxString document_path = doc->GetFilename();
  if (pages_ != nullptr && !document_path.empty() &&
      PagePreview::IsPage(rows_.GetItemText(row, kNameColumn))) {
    pages_->Run(rows_, doc->Engine(), row, document_path.utf8_string());
    return;
  }
  RunEntry(rows_, doc->Engine(), row);
}

void CVaskelView::ShowFileCount() {
  if (rows_.IsFiltered()) {
    // TRANSLATORS: while the find box filters: files shown of all the help file's files.
    SetStatusText(
        wxString::Format(wxPLURAL("%d of %d file(s)", "%d of %d file(s)", rows_.GetTotalCount()),
                         rows_.GetItemCount(), rows_.GetTotalCount()));
  } else {
    SetStatusText(TotalFilesText(rows_.GetTotalCount()));
  }
}

void CVaskelView::SetStatusText(const wxString& text) {
  auto* frame = wxDynamicCast(GetFrame(), wxFrame);
  if (frame != nullptr && frame->GetStatusBar() != nullptr) frame->SetStatusText(text, 0);
}

bool CVaskelView::HasHelpFile() const {
  CVaskelDoc* doc = GetVaskelDoc();
  return doc != nullptr && doc->Engine().GetRootStorage() != nullptr;
}

CatalogueList& CVaskelView::CurrentRows() {
  if (list_ != nullptr) list_->SyncStoreFromControl();
  return rows_;
}

void CVaskelView::OnSelectAll(wxCommandEvent& /*event*/) {
  // Ctrl+A while typing in the find box is meant for its text.
  wxSearchCtrl* box = find_box_ != nullptr ? find_box_->Control() : nullptr;
  if (box != nullptr && wxWindow::FindFocus() == box) {
    box->SelectAll();
    return;
  }
  rows_.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void CVaskelView::OnFind(wxCommandEvent& /*event*/) {
  if (find_box_ != nullptr) find_box_->Focus();
}

}  // namespace vaskel
