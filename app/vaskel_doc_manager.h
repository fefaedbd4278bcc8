// The single-document manager. wx's own manager replaces the document and its view on every
// open; here, as the program needs, one document and one view live for the whole run and each
// open or new document goes through them: the engine is created once, and the view keeps its
// state (its sort column) from file to file.
#pragma once

#include <wx/docview.h>

namespace vaskel {

class CVaskelDoc;
class CVaskelView;

class CVaskelDocManager final : public wxDocManager {
 public:
  CVaskelDocManager();

  // With no document yet, creates the document and its view. Then a new document (empty
  // path or wxDOC_NEW) or the open of `path`, followed by the view's refresh. Null when the
  // file could not be opened for reading (already reported).
  wxDocument* CreateDocument(const wxString& path, long flags = 0) override;

  wxString MakeNewDocumentName() override;
  // "<document title> - Vaskel".
  wxString MakeFrameTitle(wxDocument* doc) override;
  wxFileHistory* OnCreateFileHistory() override;

  CVaskelDoc* Document();
  CVaskelView* View();

 private:
  wxDocument* OpenInDocument(wxDocument* doc, const wxString& path);
  void InitialUpdate(wxDocument* doc);
};

// The path as the framework records it: surrounding double quotes removed, made absolute.
wxString FullDocumentPath(const wxString& path);

}  // namespace vaskel
