#include "app/vaskel_doc_manager.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/toplevel.h>

#include "app/recent_file_list.h"
#include "catalogue/vaskel_doc.h"
#include "catalogue/vaskel_view.h"
#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/window_resources.h"

namespace vaskel {

wxString FullDocumentPath(const wxString& path) {
  wxString unquoted = path;
  if (unquoted.size() >= 2 && unquoted.StartsWith("\"") && unquoted.EndsWith("\"")) {
    unquoted = unquoted.Mid(1, unquoted.size() - 2);
  }
  wxFileName name(unquoted);
  name.MakeAbsolute();
  name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
  return name.GetFullPath();
}

CVaskelDocManager::CVaskelDocManager() : wxDocManager(0, false) { Initialize(); }

CVaskelDoc* CVaskelDocManager::Document() {
  const wxList& documents = GetDocuments();
  return documents.empty() ? nullptr : wxDynamicCast(documents.GetFirst()->GetData(), CVaskelDoc);
}

CVaskelView* CVaskelDocManager::View() {
  CVaskelDoc* doc = Document();
  return doc == nullptr ? nullptr : wxDynamicCast(doc->GetFirstView(), CVaskelView);
}

wxDocument* CVaskelDocManager::CreateDocument(const wxString& path, long flags) {
  wxDocument* doc = Document();
  const bool is_new = path.empty() || (flags & wxDOC_NEW) != 0;
  if (doc == nullptr) {
    // Creates the document, its engine and its view, and titles it "Untitled".
    doc = wxDocManager::CreateDocument(wxString(), wxDOC_NEW | (flags & wxDOC_SILENT));
    if (doc == nullptr) return nullptr;
    // Only now, so that the creation above cannot raise (and so map) the hidden main window.
    if (CVaskelView* view = View()) {
      view->SetFrame(wxTheApp->GetTopWindow());
      view->OnChangeFilename();
    }
    if (is_new) {
      InitialUpdate(doc);
      return doc;
    }
  } else if (is_new) {
    if (!doc->OnNewDocument()) return nullptr;
    InitialUpdate(doc);
    return doc;
  }
  return OpenInDocument(doc, path);
}

wxDocument* CVaskelDocManager::OpenInDocument(wxDocument* doc, const wxString& path) {
  const wxString full_path = FullDocumentPath(path);
  if (doc->GetFilename() == full_path) {
    // Already open: only bring the window forward.
    if (auto* frame = wxDynamicCast(doc->GetDocumentWindow(), wxTopLevelWindow)) frame->Raise();
    return doc;
  }
  if (!doc->OnOpenDocument(full_path)) return nullptr;
  AddFileToHistory(full_path);
  InitialUpdate(doc);
  return doc;
}

void CVaskelDocManager::InitialUpdate(wxDocument* doc) {
  for (wxList::compatibility_iterator node = doc->GetViews().GetFirst(); node;
       node = node->GetNext()) {
    if (auto* view = wxDynamicCast(node->GetData(), CVaskelView)) view->OnInitialUpdate();
  }
}

wxString CVaskelDocManager::MakeNewDocumentName() {
  return res::LoadWxString(res::IDS_NEW_DOCUMENT_TITLE);
}

wxString CVaskelDocManager::MakeFrameTitle(wxDocument* doc) {
  const wxString window_title = res::TemplateText(res::TemplateField::kWindowTitle);
  if (doc == nullptr) return window_title;
  return doc->GetUserReadableName() + " - " + window_title;
}

wxFileHistory* CVaskelDocManager::OnCreateFileHistory() { return new RecentFileList(); }

}  // namespace vaskel
