#include "app/tip_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/confbase.h>
#include <wx/dcclient.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <cstdint>
#include <utility>

#include "app/profile.h"
#include "platform/desktop/accessible_name.h"
#include "res/label_fit.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/message_box.h"

namespace vaskel {
namespace {

wxString TipKey(const char* name) { return wxString::Format("/%s/%s", kTipSection, name); }

TipDialogRunner& Runner() {
  static TipDialogRunner runner;
  return runner;
}

wxBitmap LoadBulb() {
  const wxImage image = res::LoadEmbeddedImage("tip-bulb.png");
  return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

void ShowTroubleReading() {
  ShowMessage(res::LoadWxString(res::IDS_TIPS_FILE_TROUBLE).utf8_string(),
              MessageIcon::kExclamation);
}

}  // namespace

TipDialog::TipDialog(wxWindow* parent, wxConfigBase& profile,
                     const std::filesystem::path& tips_path)
    : profile_(profile), file_(tips_path), bulb_(LoadBulb()) {
  res::LoadWindowResources();
  loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "IDD_TIP");
  if (loaded_) {
    SetAccessibleDialogRole(*this);
    // The layout's 231 x 164 dialog units are the client area in the dialog's own font; the
    // loader converts a dialog's size with its parent's font instead.
    SetClientSize(ConvertDialogToPixels(wxSize(231, 164)));
    res::GrowControlsToFitTexts(*this);
    if (auto* text = wxDynamicCast(FindWindow(res::IDC_TIP_TEXT), wxStaticText)) {
      // Black on white whatever the desktop's colours, like the area it sits on.
      text->SetBackgroundColour(*wxWHITE);
      text->SetForegroundColour(*wxBLACK);
    }
    // Escape and the close box end the dialog storing nothing; only "&Close" stores.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_INIT_DIALOG, &TipDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &TipDialog::OnCloseButton, this, wxID_OK);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { ShowNextTip(); }, res::IDC_TIP_NEXT);
    Bind(wxEVT_CHAR_HOOK, &TipDialog::OnCharHook, this);
    Bind(wxEVT_PAINT, &TipDialog::OnPaint, this);
    CentreOnParent();
  }

  show_at_startup_ = profile_.ReadLong(TipKey("StartUp"), 0) == 0;
  // Kept as an unsigned 32-bit number, as the profile's integers are.
  auto position = static_cast<std::uint32_t>(profile_.ReadLong(TipKey("FilePos"), 0));
  if (!file_.IsOpen()) {
    tip_text_ = res::LoadWxString(res::IDS_TIPS_FILE_MISSING).utf8_string();
    return;
  }
  const std::string stamp = file_.TimeStamp();
  if (profile_.Read(TipKey("TimeStamp"), wxString()).utf8_string() != stamp) {
    // Another file: its tips start from the top.
    profile_.Write(TipKey("TimeStamp"), wxString::FromUTF8(stamp));
    position = 0;
  }
  if (!file_.SeekTo(position)) {
    ShowTroubleReading();
    tip_text_.clear();
    return;
  }
  ReadTip();
}

TipDialog::~TipDialog() {
  if (file_.IsOpen()) profile_.Write(TipKey("FilePos"), file_.Position());
}

void TipDialog::ReadTip() {
  switch (file_.ReadNextTip(tip_text_, ShowTroubleReading)) {
    case TipsFile::ReadResult::kTip:
      break;
    case TipsFile::ReadResult::kNoTip:
      tip_text_ = res::Translated(kNoTipsInFile).utf8_string();
      break;
    case TipsFile::ReadResult::kUnreadable:
      tip_text_ = res::LoadWxString(res::IDS_TIPS_FILE_TROUBLE).utf8_string();
      break;
  }
}

void TipDialog::ShowNextTip() {
  ReadTip();
  TransferDataToWindow();
}

bool TipDialog::TransferDataToWindow() {
  if (auto* check = wxDynamicCast(FindWindow(res::IDC_TIP_SHOW_AT_STARTUP), wxCheckBox)) {
    check->SetValue(show_at_startup_);
  }
  if (auto* text = wxDynamicCast(FindWindow(res::IDC_TIP_TEXT), wxStaticText)) {
    const int width = text->GetSize().x;
    // Shown as written: an '&' in a tip is no mnemonic.
    text->SetLabelText(wxString::FromUTF8(ReplaceInvalidUtf8(tip_text_)));
    text->Wrap(width);
  }
  return true;
}

bool TipDialog::TransferDataFromWindow() {
  if (auto* check = wxDynamicCast(FindWindow(res::IDC_TIP_SHOW_AT_STARTUP), wxCheckBox)) {
    show_at_startup_ = check->GetValue();
  }
  return true;
}

void TipDialog::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the members reach the controls
  if (!file_.IsOpen()) {
    if (wxWindow* next = FindWindow(res::IDC_TIP_NEXT)) next->Disable();
  }
  if (wxWindow* check = FindWindow(res::IDC_TIP_SHOW_AT_STARTUP)) check->SetFocus();
}

void TipDialog::OnCloseButton(wxCommandEvent& /*event*/) {
  if (!Validate() || !TransferDataFromWindow()) return;
  EndDialog(wxID_OK);
  profile_.Write(TipKey("StartUp"), show_at_startup_ ? 0L : 1L);
}

void TipDialog::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_ESCAPE) {
    EndDialog(wxID_CANCEL);
    return;
  }
  event.Skip();
}

void TipDialog::OnPaint(wxPaintEvent& /*event*/) {
  wxPaintDC dc(this);
  PaintTipArea(dc);
}

void TipDialog::PaintTipArea(wxDC& dc) {
  if (wxWindow* frame = FindWindow("IDC_TIP_FRAME")) {
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(frame->GetRect());
  }
  wxWindow* placeholder = FindWindow(res::IDC_TIP_AREA);
  if (placeholder == nullptr) return;
  const wxRect area = placeholder->GetRect();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(area);
  wxSize bulb_size;
  if (bulb_.IsOk()) {
    dc.DrawBitmap(bulb_, area.GetTopLeft());
    bulb_size = bulb_.GetSize();
  }
  // The heading stands beside the bulb, centred on its height.
  const wxRect heading(area.x + bulb_size.x, area.y, area.width - bulb_size.x, bulb_size.y);
  wxFont font = GetFont();
  font.MakeBold();
  dc.SetFont(font);
  dc.SetTextForeground(*wxBLACK);
  dc.SetClippingRegion(area);
  dc.DrawLabel(res::LoadWxString(res::IDS_TIP_HEADING), heading,
               wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
  dc.DestroyClippingRegion();
}

TipDialogRunner SetTipDialogRunner(TipDialogRunner runner) {
  return std::exchange(Runner(), std::move(runner));
}

void RunTipDialog(TipDialog& dialog) {
  if (!dialog.IsLoaded()) return;
  if (const TipDialogRunner& runner = Runner()) {
    runner(dialog);
  } else {
    dialog.ShowModal();
  }
}

}  // namespace vaskel
