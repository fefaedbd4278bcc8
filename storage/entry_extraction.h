// Writing one stream of the open help file to a disk file: StorageEngine::ExtractEntry.
//
// The destination is the destination folder, then (with use path) each level of the row's Path
// text, then the name, joined with exactly one separator each. Missing levels are made top down
// and existing ones passed over; the file is created anew or emptied and receives the stream's
// bytes unchanged, read 4096 bytes at a time; its name keeps the entry's letter case. An empty
// stream gives an empty file. A stream that cannot be opened is skipped without touching the
// disk. Every failure raises ExtractionError: a destination folder or composed path longer than
// the platform allows, or a name that would lead outside the destination folder, is refused
// before anything is made; a file that cannot be created or written is reported with its full
// path and the system's reason, even for an empty stream; a stream whose data turns out damaged
// is reported naming the entry, and the partly written file is removed. The file is written by
// an EntryFileWriter, as every other writer of entries writes its files.
#pragma once

#include "storage/extraction_error.h"
#include "storage/extraction_session.h"
#include "storage/storage_engine.h"
