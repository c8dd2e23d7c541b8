#pragma once

namespace vx {

// Holds a page's "updating" flag for a scope, so the control changes the page makes itself
// are not taken for the user's; the flag gets back its old value, so guards may nest.
class UpdatingGuard {
public:
    explicit UpdatingGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~UpdatingGuard() { flag_ = old_; }
    UpdatingGuard(const UpdatingGuard&) = delete;
    UpdatingGuard& operator=(const UpdatingGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace vx
