// Run: one stored file opened directly. The row's stream is extracted into the PreviewFolder's
// run folder (flat, whatever its internal path) and handed to the desktop: to the default program
// for its type, or to the plain-text editor when the row shows no type.
#pragma once

namespace vaskel {

class CatalogueList;
class StorageEngine;

// A preview folder that cannot be used, and a file that cannot be written, are reported in a
// message box and nothing is opened. A row whose storage the engine no longer holds, or whose
// stream cannot be opened, opens nothing.
void RunEntry(const CatalogueList& rows, StorageEngine& engine, int row);

}  // namespace vaskel
