// Sets a flag for the length of a scope, as an echo guard: what a control reports while the flag
// is set is its answer to our own change.
#pragma once

namespace vaskel {

class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace vaskel
