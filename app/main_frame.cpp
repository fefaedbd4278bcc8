#include "app/main_frame.h"

#include <wx/accel.h>
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "app/spoken_status_bar.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include <algorithm>
#include <optional>
#include <vector>

#include "app/app_art.h"
#include "app/frame_placement.h"
#include "app/shell_commands.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"
#include "storage/catalogue_list.h"
#include "unpack/unpack_dialog.h"
#include "unpack/unpack_rows.h"

namespace vaskel {
namespace {

using namespace res;

constexpr int kIndicatorIds[] = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
constexpr wxKeyCode kIndicatorKeys[] = {WXK_CAPITAL, WXK_NUMLOCK, WXK_SCROLL};

wxRect MainFrameRect() {
  const wxSize screen = wxGetDisplaySize();
  const FramePlacement placement = PlaceMainFrame(screen.x, screen.y);
  return wxRect(placement.left, placement.top, placement.width, placement.height);
}

// Room between a label and the button's edge beyond what the text itself measures.
constexpr int kLabelMargin = 4;

// `bitmap` centred on a transparent image of `size`.
wxBitmap WidenedImage(const wxBitmap& bitmap, wxSize size) {
  if (!bitmap.IsOk() || bitmap.GetSize() == size) return bitmap;
  wxImage image = bitmap.ConvertToImage();
  // The new margins take the mask colour.
  if (image.HasAlpha()) image.ConvertAlphaToMask();
  image.Resize(size, wxPoint((size.x - image.GetWidth()) / 2, (size.y - image.GetHeight()) / 2));
  return wxBitmap(image);
}

// GTK sizes each labelled button by its own label, so a long one ("HomePage") came out wider
// than the rest however the images were widened (its labels are drawn in a font of its own);
// and it treats no button wider than a few characters as one of equal width. Every button is
// asked to be as wide as the widest.
void MakeButtonsEquallyWide([[maybe_unused]] wxToolBar& toolbar) {
#ifdef __WXGTK__
  GtkWidget* handle = toolbar.GetHandle();
  // Without docking, the toolkit's toolbar sits in a box of wxWidgets'.
  if (!GTK_IS_TOOLBAR(handle) && GTK_IS_BIN(handle)) handle = gtk_bin_get_child(GTK_BIN(handle));
  if (!GTK_IS_TOOLBAR(handle)) return;
  GtkToolbar* bar = GTK_TOOLBAR(handle);
  std::vector<GtkWidget*> buttons;
  int widest = 0;
  for (int index = 0; index < gtk_toolbar_get_n_items(bar); ++index) {
    GtkToolItem* item = gtk_toolbar_get_nth_item(bar, index);
    if (GTK_IS_SEPARATOR_TOOL_ITEM(item)) continue;
    buttons.push_back(GTK_WIDGET(item));
    int least = 0;
    int natural = 0;
    gtk_widget_get_preferred_width(GTK_WIDGET(item), &least, &natural);
    widest = std::max(widest, natural);
  }
  for (GtkWidget* button : buttons) gtk_widget_set_size_request(button, widest, -1);
#endif
}

constexpr int kMenuCommands[] = {
    ID_FILE_OPEN,     ID_FILE_UNPACK,     ID_FILE_UNPACK_PROJECT, ID_FILE_MRU_FILE1,
    ID_APP_EXIT,      ID_EDIT_SELECT_ALL, ID_VIEW_TOOLBAR,        ID_VIEW_STATUS_BAR,
    ID_HELP_CONTENTS, ID_HELP_EMAIL,      ID_HELP_HOME_PAGE,      ID_APP_ABOUT,
};

// The status prompts of the menu items come from the string table.
void SetPrompts(wxMenuBar* menu_bar) {
  for (const int id : kMenuCommands) {
    if (wxMenuItem* item = menu_bar->FindItem(WxId(id))) item->SetHelp(CommandPromptText(id));
  }
}

}  // namespace

const int CMainFrame::kToolbarButtons[6] = {
    ID_FILE_OPEN, ID_FILE_UNPACK, wxID_SEPARATOR, ID_APP_ABOUT, ID_HELP_HOME_PAGE, ID_HELP_CONTENTS,
};

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, TemplateText(TemplateField::kWindowTitle),
                       MainFrameRect().GetPosition(), MainFrameRect().GetSize()) {
  LoadWindowResources();
  SetIcons(ApplicationIcons());
  CreateMenuBarFromResources();
  CreateToolbarWithLabels();
  CreateStatusBarWithIndicators();

  const wxAcceleratorEntry accelerators[] = {
      {wxACCEL_CTRL, 'O', WxId(ID_FILE_OPEN)},
      {wxACCEL_CTRL, 'A', WxId(ID_EDIT_SELECT_ALL)},
      {wxACCEL_CTRL, 'F', WxId(ID_EDIT_FIND)},
      {wxACCEL_NORMAL, WXK_F1, WxId(ID_HELP_CONTENTS)},
  };
  SetAcceleratorTable(wxAcceleratorTable(std::size(accelerators), accelerators));

  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  Bind(wxEVT_MENU_OPEN, &CMainFrame::OnMenuOpen, this);
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  Bind(wxEVT_MENU, &CMainFrame::OnUnpack, this, WxId(ID_FILE_UNPACK));
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUnpack, this, WxId(ID_FILE_UNPACK));
  Bind(wxEVT_MENU, &CMainFrame::OnUnpackProject, this, WxId(ID_FILE_UNPACK_PROJECT));
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUnpack, this, WxId(ID_FILE_UNPACK_PROJECT));
  Bind(wxEVT_MENU, &CMainFrame::OnHelpContents, this, WxId(ID_HELP_CONTENTS));
  Bind(wxEVT_MENU, &CMainFrame::OnHomePage, this, WxId(ID_HELP_HOME_PAGE));
  Bind(wxEVT_MENU, &CMainFrame::OnSendMail, this, WxId(ID_HELP_EMAIL));
  Bind(wxEVT_MENU, &CMainFrame::OnToggleToolbar, this, WxId(ID_VIEW_TOOLBAR));
  Bind(wxEVT_MENU, &CMainFrame::OnToggleStatusBar, this, WxId(ID_VIEW_STATUS_BAR));
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateToolbarCheck, this, WxId(ID_VIEW_TOOLBAR));
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateStatusBarCheck, this, WxId(ID_VIEW_STATUS_BAR));
}

void CMainFrame::CreateMenuBarFromResources() {
  wxMenuBar* menu_bar = wxXmlResource::Get()->LoadMenuBar(this, "IDR_MAINFRAME");
  if (menu_bar == nullptr) menu_bar = new wxMenuBar();
  SetPrompts(menu_bar);
  SetMenuBar(menu_bar);
}

void CMainFrame::CreateToolbarWithLabels() {
  wxToolBar* toolbar =
      CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxTB_TEXT | wxTB_TOP, WxId(ID_VIEW_TOOLBAR));
  // A button is as wide as its image or its label, whichever is wider. Images as wide as the
  // widest label, their art centred, give every button that one width.
  int widest_label = 0;
  for (const int id : kToolbarButtons) {
    if (id != wxID_SEPARATOR) {
      widest_label = std::max(widest_label, toolbar->GetTextExtent(ButtonLabelText(id)).x);
    }
  }
  const wxSize image_size(std::max(kToolbarImageSize.x, widest_label + kLabelMargin),
                          kToolbarImageSize.y);
  toolbar->SetToolBitmapSize(image_size);
  std::vector<wxBitmap> images = ToolbarImages();
  for (wxBitmap& bitmap : images) bitmap = WidenedImage(bitmap, image_size);
  size_t image = 0;
  for (const int id : kToolbarButtons) {
    if (id == wxID_SEPARATOR) {
      toolbar->AddSeparator();
      continue;
    }
    const wxBitmap& bitmap = images[image++];
    // Labels are the part of the command's string after its last line break.
    toolbar->AddTool(WxId(id), ButtonLabelText(id), bitmap, wxNullBitmap, wxITEM_NORMAL,
                     CommandTooltipText(id), CommandPromptText(id));
  }
  toolbar->Realize();
  MakeButtonsEquallyWide(*toolbar);
}

void CMainFrame::KeepInSight(wxWindow& list) {
  // A row holds a small icon or a line of text, whichever is taller, with some room.
  constexpr int kIconHeight = 16;
  constexpr int kRowRoom = 8;
  constexpr int kBorders = 4;
  const int row = std::max(list.GetCharHeight(), kIconHeight) + kRowRoom;
  const int rows_height = wxRendererNative::Get().GetHeaderButtonHeight(&list) +
                          kRowsInSight * row + wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, &list) +
                          kBorders;
  list.SetMinSize(wxSize(1, rows_height));
  // With the find box above the list, as the view lays them out.
  wxSize least = GetSizer() != nullptr ? GetSizer()->CalcMin() : list.GetMinSize();
  if (const wxToolBar* toolbar = GetToolBar())
    least.x = std::max(least.x, toolbar->GetBestSize().x);
  // The frame's client area lies below the menu bar and toolbar and above the status bar.
  SetMinClientSize(least);
}

wxStatusBar* CMainFrame::OnCreateStatusBar(int number, long style, wxWindowID id,
                                           const wxString& name) {
  auto* status_bar = new SpokenStatusBar(this, id, style, name);
  status_bar->SetFieldsCount(number);
  return status_bar;
}

void CMainFrame::CreateStatusBarWithIndicators() {
  wxStatusBar* status_bar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, WxId(ID_VIEW_STATUS_BAR));
  int widths[4] = {-1, 0, 0, 0};
  for (int pane = 1; pane < 4; ++pane) {
    // Wide enough for its text, as an indicator pane is.
    widths[pane] = status_bar->GetTextExtent(LoadWxString(kIndicatorIds[pane - 1])).x + 16;
  }
  status_bar->SetStatusWidths(4, widths);
  SetStatusBarPane(0);
  SetStatusText(LoadWxString(IDS_IDLE_MESSAGE), 0);
  UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
  wxStatusBar* status_bar = GetStatusBar();
  if (status_bar == nullptr) return;
  for (int pane = 1; pane < 4; ++pane) {
    const wxString text = wxGetKeyState(kIndicatorKeys[pane - 1])
                              ? LoadWxString(kIndicatorIds[pane - 1])
                              : wxString();
    if (status_bar->GetStatusText(pane) != text) status_bar->SetStatusText(text, pane);
  }
}

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
  if (GetStatusBar() == nullptr) return;
  SetStatusText(show ? text : LoadWxString(IDS_IDLE_MESSAGE), GetStatusBarPane());
}

void CMainFrame::AddTipMenuItem() {
  wxMenuBar* menu_bar = GetMenuBar();
  if (menu_bar == nullptr || menu_bar->FindItem(WxId(ID_TIP_OF_THE_DAY)) != nullptr) return;
  const wxString tip_label = LoadWxString(IDS_TIP_MENU_ITEM);
  // The Help menu is the one holding About.
  wxMenu* help_menu = nullptr;
  if (menu_bar->FindItem(WxId(ID_APP_ABOUT), &help_menu) == nullptr || help_menu == nullptr) {
    auto* substitute = new wxMenu();
    substitute->Append(WxId(ID_TIP_OF_THE_DAY), tip_label, LoadWxString(ID_TIP_OF_THE_DAY));
    menu_bar->Append(substitute, LoadWxString(IDS_HELP_MENU));
    return;
  }
  help_menu->InsertSeparator(0);
  help_menu->Insert(0, WxId(ID_TIP_OF_THE_DAY), tip_label, LoadWxString(ID_TIP_OF_THE_DAY));
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
  AddTipMenuItem();
  event.Skip();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  if (before_close_) before_close_();
  event.Skip();  // the framework closes the documents and the window
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  UpdateLockIndicators();
  event.Skip();
}

CVaskelView* CMainFrame::View() const {
  auto* manager = dynamic_cast<CVaskelDocManager*>(GetDocumentManager());
  return manager != nullptr ? manager->View() : nullptr;
}

void CMainFrame::OnUnpack(wxCommandEvent& /*event*/) {
  CVaskelView* view = View();
  if (view == nullptr || !view->HasHelpFile()) return;
  const std::optional<UnpackChoices> choices =
      AskUnpackChoices(this, view->CurrentRows().GetSelectedCount() != 0);
  if (choices) Unpack(*view, *choices, {});
}

void CMainFrame::OnUnpackProject(wxCommandEvent& /*event*/) {
  CVaskelView* view = View();
  if (view == nullptr || !view->HasHelpFile()) return;
  const std::optional<UnpackChoices> choices = AskUnpackProjectFolder(this);
  if (choices) Unpack(*view, *choices, view->GetVaskelDoc()->GetFilename().utf8_string());
}

void CMainFrame::Unpack(CVaskelView& view, const UnpackChoices& choices, std::string project_of) {
  UnpackJob job;
  job.rows = &view.CurrentRows();
  job.engine = &view.GetVaskelDoc()->Engine();
  job.choices = choices;
  job.progress_owner = this;
  job.project_of = std::move(project_of);
  UnpackRows(job);
}

void CMainFrame::OnUpdateUnpack(wxUpdateUIEvent& event) {
  const CVaskelView* view = View();
  event.Enable(view != nullptr && view->HasHelpFile());
}

void CMainFrame::OnHelpContents(wxCommandEvent& /*event*/) { OpenHelpContents(); }

void CMainFrame::OnHomePage(wxCommandEvent& /*event*/) { OpenHomePage(); }

void CMainFrame::OnSendMail(wxCommandEvent& /*event*/) { SendMailToMaker(); }

void CMainFrame::OnToggleToolbar(wxCommandEvent& /*event*/) {
  if (wxToolBar* toolbar = GetToolBar()) {
    toolbar->Show(!toolbar->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnToggleStatusBar(wxCommandEvent& /*event*/) {
  if (wxStatusBar* status_bar = GetStatusBar()) {
    status_bar->Show(!status_bar->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateToolbarCheck(wxUpdateUIEvent& event) {
  event.Check(GetToolBar() != nullptr && GetToolBar()->IsShown());
}

void CMainFrame::OnUpdateStatusBarCheck(wxUpdateUIEvent& event) {
  event.Check(GetStatusBar() != nullptr && GetStatusBar()->IsShown());
}

}  // namespace vaskel
