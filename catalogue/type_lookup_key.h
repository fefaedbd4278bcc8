// What the desktop's answers for a file name depend on, as a cache key and as the name to ask
// about: the extension, as on the desktops that decide a file's type by it.
#pragma once

#include <string>
#include <string_view>

namespace vaskel {

// Sets `key` to the name's extension from its last '.', ASCII letters lower-cased (".html" for
// "Index.HTML"), or to the whole name when it has no extension ("Makefile", "foo."). So every
// name with one extension gets one answer, whatever its folder, stem or letter case.
void MakeTypeLookupKey(std::string_view name, std::string& key);

}  // namespace vaskel
