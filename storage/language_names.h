// English names of the common Windows language ids, as help projects write them after the id.
#pragma once

#include <cstdint>
#include <string_view>

namespace vaskel {

// "English (United States)" for 0x0409; empty for an id not in the table.
std::string_view LanguageName(std::uint32_t lcid);

}  // namespace vaskel
