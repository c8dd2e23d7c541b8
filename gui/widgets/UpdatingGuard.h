#pragma once

namespace vx {

// Holds a page's "updating" flag for a scope, so the control changes the page makes itself
// are not taken for the user's; the flag gets back its old value, so guards may nest.
class TUpdatingGuard {
public:
    explicit TUpdatingGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~TUpdatingGuard() { flag_ = old_; }
    TUpdatingGuard(const TUpdatingGuard&) = delete;
    TUpdatingGuard& operator=(const TUpdatingGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace vx
