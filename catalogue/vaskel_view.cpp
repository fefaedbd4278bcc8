#include "catalogue/vaskel_view.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include <optional>

#include "app/shell_commands.h"
#include "catalogue/catalogue_list_ctrl.h"
#include "catalogue/column_sort.h"
#include "catalogue/icon_bitmap_cache.h"
#include "catalogue/operate_menu.h"
#include "catalogue/please_wait_window.h"
#include "catalogue/vaskel_doc.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "unpack/unpack_dialog.h"

namespace vaskel {
namespace {

struct ColumnLayout {
  wxListColumnFormat alignment;
  int width;
};
constexpr ColumnLayout kColumns[kCatalogueColumnCount] = {
    {wxLIST_FORMAT_LEFT, 150},
    {wxLIST_FORMAT_RIGHT, 50},
    {wxLIST_FORMAT_LEFT, 100},
    {wxLIST_FORMAT_LEFT, 200},
};

using Clock = std::chrono::steady_clock;

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CVaskelView, wxView);

wxBEGIN_EVENT_TABLE(CVaskelView, wxView)
    EVT_MENU(res::WxId(res::ID_FILE_UNPACK), CVaskelView::OnUnpack)
        EVT_UPDATE_UI(res::WxId(res::ID_FILE_UNPACK), CVaskelView::OnUpdateUnpack)
            EVT_MENU(res::WxId(res::ID_EDIT_SELECT_ALL), CVaskelView::OnSelectAll)
                EVT_MENU(res::WxId(res::ID_HELP_CONTENTS), CVaskelView::OnHelpContents)
                    EVT_MENU(res::WxId(res::ID_HELP_HOME_PAGE), CVaskelView::OnHomePage)
                        wxEND_EVENT_TABLE()

                            CVaskelView::CVaskelView()
    : icons_(std::make_unique<IconBitmapCache>(image_lists_)) {}

CVaskelView::~CVaskelView() {
  // The rows name storages the engine holds: let them go while the document still exists.
  if (CVaskelDoc* doc = GetVaskelDoc()) doc->Engine().Reset();
  if (list_ != nullptr) list_->Destroy();
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
  list_ = new CatalogueListCtrl(frame, rows_, *icons_);
  list_->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == list_) list_ = nullptr;
    event.Skip();
  });
  CreateColumns();
  AttachColumnSorting(*this);
  AttachOperateMenu(*this);
  frame->SendSizeEvent();
  Activate(true);
  return true;
}

void CVaskelView::CreateColumns() {
  for (int column = 0; column < kCatalogueColumnCount; ++column) {
    list_->InsertColumn(column, res::ToWx(kCatalogueColumnHeadings[column]),
                        kColumns[column].alignment);
  }
  for (int column = 0; column < kCatalogueColumnCount; ++column) {
    list_->SetColumnWidth(column, kColumns[column].width);
  }
}

bool CVaskelView::OnClose(bool delete_window) {
  if (!wxView::OnClose(delete_window)) return false;
  Activate(false);
  return true;
}

void CVaskelView::OnUpdate(wxView* /*sender*/, wxObject* hint) {
  if (wxDynamicCast(hint, CatalogueClosedHint) != nullptr) ClearCatalogue();
}

void CVaskelView::OnChangeFilename() {
  wxWindow* frame = GetFrame();
  wxDocument* doc = GetDocument();
  if (frame == nullptr || doc == nullptr || doc->GetDocumentManager() == nullptr) return;
  frame->SetLabel(doc->GetDocumentManager()->MakeFrameTitle(doc));
}

void CVaskelView::ClearCatalogue() {
  rows_.DeleteAllItems();
  if (CVaskelDoc* doc = GetVaskelDoc()) doc->Engine().Reset();
}

void CVaskelView::OnInitialUpdate() {
  CVaskelDoc* doc = GetVaskelDoc();
  if (doc == nullptr || list_ == nullptr) return;
  StorageEngine& engine = doc->Engine();
  IStorage* const root = engine.GetRootStorage();
  if (root == nullptr) {
    // Rows may only name storages the engine still holds.
    ClearCatalogue();
    return;
  }
  timings_ = {};
  const Clock::time_point start = Clock::now();
  std::optional<PleaseWaitWindow> please_wait(std::in_place, list_);
  std::optional<wxBusyCursor> wait_cursor(std::in_place);
  const Clock::time_point walk_start = Clock::now();
  timings_.please_wait = walk_start - start;

  engine.Reset();
  rows_.SetRedraw(false);
  rows_.DeleteAllItems();
  TypeAndIconSource& types = type_source_ != nullptr ? *type_source_ : image_lists_;
  const std::int32_t count = engine.WalkStorage(rows_, types, root, std::string());
  const Clock::time_point walk_end = Clock::now();
  timings_.walk = walk_end - walk_start;

  please_wait.reset();
  rows_.SetRedraw(true);
  wait_cursor.reset();
  SetStatusText(wxString::Format(res::kTotalFilesFormat, static_cast<int>(count)));
  timings_.control = Clock::now() - walk_end;
  timings_.rows = count;
}

void CVaskelView::SetStatusText(const wxString& text) {
  auto* frame = wxDynamicCast(GetFrame(), wxFrame);
  if (frame != nullptr && frame->GetStatusBar() != nullptr) frame->SetStatusText(text, 0);
}

void CVaskelView::OnUnpack(wxCommandEvent& /*event*/) {
  CVaskelDoc* doc = GetVaskelDoc();
  if (doc == nullptr || doc->Engine().GetRootStorage() == nullptr) return;
  if (list_ != nullptr) list_->SyncStoreFromControl();
  OpenUnpackDialog(GetFrame(), rows_, doc->Engine());
}

void CVaskelView::OnUpdateUnpack(wxUpdateUIEvent& event) {
  CVaskelDoc* doc = GetVaskelDoc();
  event.Enable(doc != nullptr && doc->Engine().GetRootStorage() != nullptr);
}

void CVaskelView::OnSelectAll(wxCommandEvent& /*event*/) {
  rows_.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void CVaskelView::OnHelpContents(wxCommandEvent& /*event*/) { OpenHelpContents(); }

void CVaskelView::OnHomePage(wxCommandEvent& /*event*/) { OpenHomePage(); }

}  // namespace vaskel
