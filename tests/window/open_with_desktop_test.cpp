// Run, Help > Contents and the home page on the tests' private desktop (window_test_support):
// where it has no program, or one that cannot start, its "Open With" chooser is offered; the test
// cancels it and the message names the file and the desktop's reason.
#include <gtk/gtk.h>

#include "res/resource_ids.h"
#include "tests/window/unpack_test_support.h"

namespace vaskel::testing {
namespace {

using namespace res;

class OpenWithDesktopTest : public UnpackWindowTest {
 protected:
  void SetUp() override {
    UnpackWindowTest::SetUp();
    if (IsSkipped()) return;
    real_launcher_ = SetDesktopLauncher({});
    real_shell_ = SetShellLauncher({});
    // Looks for the chooser while a modal loop waits; no test waits for it.
    watch_ = g_timeout_add(10, &CancelChooser, this);
  }
  void TearDown() override {
    if (watch_ != 0) g_source_remove(watch_);
    if (WindowSystemReady()) {
      SetDesktopLauncher(std::move(real_launcher_));
      SetShellLauncher(std::move(real_shell_));
    }
    UnpackWindowTest::TearDown();
  }

  static gboolean CancelChooser(gpointer data) {
    auto* const self = static_cast<OpenWithDesktopTest*>(data);
    GList* const windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
      if (!GTK_IS_APP_CHOOSER_DIALOG(item->data) ||
          !gtk_widget_get_visible(GTK_WIDGET(item->data))) {
        continue;
      }
      self->chooser_types_.push_back(gtk_app_chooser_get_content_type(GTK_APP_CHOOSER(item->data)));
      gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_CANCEL);
    }
    g_list_free(windows);
    return G_SOURCE_CONTINUE;
  }

  // The one message shown, which names `target` and gives `reason`.
  void ExpectReported(const std::string& target, const std::string& reason) const {
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find(target), std::string::npos) << messages_[0].text;
    EXPECT_NE(messages_[0].text.find(reason), std::string::npos) << messages_[0].text;
    EXPECT_EQ(messages_[0].icon, MessageIcon::kStop);
  }

  std::vector<std::string> chooser_types_;

 private:
  DesktopLauncher real_launcher_;
  ShellLauncher real_shell_;
  guint watch_ = 0;
};

TEST_F(OpenWithDesktopTest, RunOffersTheChooserWhenNoProgramTakesTheFile) {
  ASSERT_TRUE(Start({WriteHelpFile("pages.chm", NamedStreams({"/index.html"}))}));
  View()->Run(0);
  EXPECT_EQ(chooser_types_, std::vector<std::string>{"text/html"});
  ExpectReported("index.html", "No application is registered");
}

TEST_F(OpenWithDesktopTest, RunOffersTheChooserWhenTheProgramCannotStart) {
  std::vector<chmwriter::Entry> entries = NamedStreams({"/picture.png"});
  const std::string png = "\x89PNG\r\n\x1a\n";
  entries[0].data.insert(entries[0].data.begin(), png.begin(), png.end());
  ASSERT_TRUE(Start({WriteHelpFile("pictures.chm", entries)}));
  View()->Run(0);
  EXPECT_EQ(chooser_types_, std::vector<std::string>{"image/png"});
  ExpectReported("picture.png", "Failed to change to directory");
}

TEST_F(OpenWithDesktopTest, HelpContentsAndHomePageOfferTheChooserToo) {
  ASSERT_TRUE(Start());
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  std::ofstream(folder_ / "VaskelHelp.chm") << "ITSF";
  Command(ID_HELP_CONTENTS);
  std::filesystem::current_path(previous);
  ASSERT_EQ(chooser_types_.size(), 1u);
  ExpectReported((folder_ / "VaskelHelp.chm").string(), "No application is registered");

  messages_.clear();
  Command(ID_HELP_HOME_PAGE);
  ASSERT_EQ(chooser_types_.size(), 2u);
  EXPECT_EQ(chooser_types_[1], "x-scheme-handler/https");
  ExpectReported(MakerHomePage().utf8_string(), "");
}

}  // namespace
}  // namespace vaskel::testing
