#pragma once

namespace vx {

class MainForm;
struct Finding;

// Leads the editor to what a finding names: its stage in the selector, then its page with
// the point, line, room, entry, object sort or chip selected there (a group's first place).
// A finding about the stage as a whole leaves the page as it is.
void showFinding(MainForm& main, const Finding& finding);

} // namespace vx
