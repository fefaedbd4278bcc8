// A TypeAndIconSource for walk tests: answers "T(.ext)" and the name's length, and records
// what it was asked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "storage/type_and_icon_source.h"

namespace vaskel::testing {

class RecordingSource final : public TypeAndIconSource {
 public:
  std::string_view TypeName(std::string_view name) override {
    type_asked.emplace_back(name);
    const std::size_t dot = name.rfind('.');
    answer_ = dot == std::string_view::npos ? "" : "T(" + std::string(name.substr(dot)) + ")";
    return answer_;
  }
  int SmallIconIndex(std::string_view name) override {
    icon_asked.emplace_back(name);
    return static_cast<int>(name.size());
  }

  std::vector<std::string> type_asked;
  std::vector<std::string> icon_asked;

 private:
  std::string answer_;
};

}  // namespace vaskel::testing
