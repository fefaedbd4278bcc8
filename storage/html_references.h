// The relative references of an HTML page that a browser follows to show it and to go on from
// it: src of img, script, frame and iframe, href of link and a. A plain scanner, not a parser:
// it never fails, reads at most the first kMaxScannedBytes, and what it cannot make sense of it
// skips.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

inline constexpr std::size_t kMaxScannedBytes = 8u << 20;

struct HtmlReference {
  std::string target;  // as written (entities and %-escapes left alone)
  bool frame = false;  // a frame's or iframe's page: shown as part of this one
};

// Every reference, in page order.
std::vector<HtmlReference> HtmlReferences(std::string_view html);

// Where a reference on a page in `page_folder` (a Path text: "" or "a/b/") leads inside the help
// file, as Path text followed by File Name ("a/img/x.png"): fragment and query dropped,
// %-escapes and "&amp;" decoded, "." and ".." resolved, a leading "/" counted from the top.
// Nothing for references with a scheme (http:, mailto:, javascript:...), to a folder, or above
// the top folder.
std::optional<std::string> ResolveReference(std::string_view page_folder,
                                            std::string_view reference);

}  // namespace vaskel
