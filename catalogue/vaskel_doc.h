// The document: the one help file the program has open. It lives for the whole run and owns the
// StorageEngine; its only work is to hand the file being opened to the engine.
#pragma once

#include <wx/docview.h>

#include <chrono>

#include "storage/storage_engine.h"

namespace vaskel {

// The hint with which the document tells its views that the engine holds no file any more,
// so that no row may name a storage that was released.
class CatalogueClosedHint final : public wxObject {};

class CVaskelDoc final : public wxDocument {
 public:
  CVaskelDoc() = default;

  StorageEngine& Engine() { return storage_engine_; }

  // The single-document open: the file is opened for reading first (a failure there is the
  // framework's own report and changes nothing), then the engine opens it by its full path.
  // A file the engine refuses, an empty one included, is reported with "Can't Open this file."
  // and empties the catalogue; the open still succeeds, so the title names the file.
  bool OnOpenDocument(const wxString& path) override;

  // How long the engine took to open the last file.
  std::chrono::steady_clock::duration LastOpenDuration() const { return last_open_duration_; }

 private:
  StorageEngine storage_engine_;
  std::chrono::steady_clock::duration last_open_duration_{};

  wxDECLARE_DYNAMIC_CLASS(CVaskelDoc);
};

}  // namespace vaskel
