#pragma once
#include <QString>

namespace vx {

// The stage selector's entry for a stage: "00 " followed by the stage's name in the
// user's language.
QString stageSelectorEntry(int stage);

} // namespace vx
