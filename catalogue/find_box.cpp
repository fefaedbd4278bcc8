#include "catalogue/find_box.h"

#include <wx/intl.h>
#include <wx/srchctrl.h>

#include "catalogue/catalogue_rows_control.h"
#include "catalogue/operate_menu.h"
#include "catalogue/vaskel_view.h"
#include "platform/desktop/accessible_name.h"

namespace vaskel {
namespace {

constexpr int kFindBoxWidth = 200;

}  // namespace

FindBox::FindBox(CVaskelView& view, wxWindow& parent) : view_(view) {
  control_ = new wxSearchCtrl(&parent, wxID_ANY, wxString(), wxDefaultPosition,
                              wxSize(kFindBoxWidth, -1), wxTE_PROCESS_ENTER);
  // TRANSLATORS: the hint in the empty find box.
  control_->SetDescriptiveText(_("Find"));
  SetAccessibleName(*control_, control_->GetDescriptiveText());
  control_->ShowCancelButton(true);
  control_->Bind(wxEVT_TEXT, &FindBox::OnText, this);
  control_->Bind(wxEVT_SEARCH_CANCEL, &FindBox::OnText, this);
  control_->Bind(wxEVT_KEY_DOWN, &FindBox::OnKeyDown, this);
  control_->Bind(wxEVT_DESTROY, &FindBox::OnDestroy, this);
}

FindBox::~FindBox() {
  if (control_ == nullptr) return;
  control_->Unbind(wxEVT_TEXT, &FindBox::OnText, this);
  control_->Unbind(wxEVT_SEARCH_CANCEL, &FindBox::OnText, this);
  control_->Unbind(wxEVT_KEY_DOWN, &FindBox::OnKeyDown, this);
  control_->Unbind(wxEVT_DESTROY, &FindBox::OnDestroy, this);
}

void FindBox::OnDestroy(wxWindowDestroyEvent& event) {
  if (event.GetEventObject() == control_) control_ = nullptr;
  event.Skip();
}

void FindBox::Focus() {
  if (control_ == nullptr) return;
  control_->SetFocus();
  control_->SelectAll();
}

void FindBox::Forget() {
  if (control_ != nullptr && !control_->IsEmpty()) control_->ChangeValue(wxString());
}

void FindBox::Filter() {
  const std::string text = control_ != nullptr ? control_->GetValue().utf8_string() : "";
  CatalogueList& rows = view_.Rows();
  if (text == rows.FilterText()) return;
  // The store decides what is selected: the user's last clicks first.
  if (CatalogueRowsControl* list = view_.ListCtrl()) list->SyncStoreFromControl();
  rows.SetFilter(text);
  view_.ShowFileCount();
}

void FindBox::OnText(wxCommandEvent& /*event*/) { Filter(); }

void FindBox::OnKeyDown(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
      control_->Clear();  // the text event that follows shows every row
      Filter();
      return;
    case WXK_DOWN:
      GoToList();
      return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      if (view_.Rows().GetSelectedCount() == 1) {
        RunSelectedRow(view_);
      } else {
        GoToList();
      }
      return;
    default:
      event.Skip();
  }
}

void FindBox::GoToList() {
  CatalogueRowsControl* list = view_.ListCtrl();
  CatalogueList& rows = view_.Rows();
  if (list == nullptr || rows.GetItemCount() == 0) return;
  rows.SetItemState(-1, 0, LVIS_SELECTED);
  rows.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list->ShowRow(0);
  list->Window().SetFocus();
}

}  // namespace vaskel
