// Runs the application in this process under the test display: each test starts it with a
// command line, drives it by commands and events, and inspects the frame, the view and the row
// store. The profile lives in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/shell_commands.h"
#include "app/tip_dialog.h"
#include "app/vaskel_app.h"
#include "app/vaskel_doc_manager.h"
#include "catalogue/catalogue_rows_control.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "storage/message_box.h"
#include "storage/path_limit.h"
#include "tests/support/temp_folder.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::testing {

// True once the toolkit has started on a display.
bool WindowSystemReady();

// A folder inside the help file as the Path column shows it: '\\' between levels on Windows.
inline std::string ShownPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

struct ShownMessage {
  std::string text;
  MessageIcon icon;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  CVaskelApp& App() const { return static_cast<CVaskelApp&>(*wxTheApp); }
  bool Start(const std::vector<std::string>& arguments = {});
  // Ends the run as the program's exit does.
  void Stop();

  CMainFrame* Frame() const { return App().MainFrame(); }
  CVaskelView* View() const;
  CVaskelDoc* Doc() const;
  CatalogueList& Rows() const { return View()->Rows(); }
  CatalogueRowsControl* List() const { return View()->ListCtrl(); }
  // What the user does in the platform's native list, reported by the control as the user's
  // own: a row added to the selection, a row focused, a header clicked, a row activated.
  void SelectInControl(int row) const;
  void FocusInControl(int row) const;
  void ClickHeader(int column) const;
  void ActivateInControl(int row) const;
  // Where the control shows a row's name, in its window's coordinates.
  wxRect RowRect(int row) const;
  // How many rows the control has room to show.
  int RowsInSight() const;
#ifdef __WXGTK__
  // What a screen reader reads through the catalogue's accessible (ATK): its row count, and a
  // cell's text (an icon beside a text reads by its parts).
  int RowsReadAloud() const;
  std::string ReadAloud(int row, int column) const;
#endif

  // Sends a command as the menu or an accelerator would, to the frame.
  void Command(int resource_id) const;
  // Whether the menu item and toolbar button of the command are enabled.
  bool MenuItemEnabled(int resource_id) const;
  bool ToolEnabled(int resource_id) const;
  wxString StatusText(int pane = 0) const;
  wxString Title() const;
  void Open(const std::string& path) const;
  // Runs the calls queued for after the current event, as the event loop would.
  void RunPendingCalls() const;

  // A help file written by our writer into the test's folder; returns its path.
  std::string WriteHelpFile(const std::string& name,
                            const std::vector<chmwriter::Entry>& entries) const;
  std::string WriteFile(const std::string& name, const std::string& bytes) const;

  TempFolder temp_;
  const std::filesystem::path folder_ = temp_.path();
  std::vector<ShownMessage> messages_;
  std::vector<wxString> launched_;
  // The tips of the Tip of the Day dialogs that would have run modally.
  std::vector<std::string> tips_shown_;

 private:
  MessageBoxHandler previous_messages_;
  ShellLauncher previous_launcher_;
  TipDialogRunner previous_tip_runner_;
  bool started_ = false;
};

inline chmwriter::Entry Stream(std::string path, std::size_t size = 3) {
  return chmwriter::Entry{std::move(path), std::vector<std::uint8_t>(size, 'x'), 1};
}

// Twelve streams, four of them in folders, and the bookkeeping entries the catalogue leaves out.
std::vector<chmwriter::Entry> TwelveStreams();

}  // namespace vaskel::testing
