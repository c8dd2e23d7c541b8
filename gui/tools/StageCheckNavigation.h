#pragma once

namespace vx {

struct Finding;
class PageNavigator;
class RomImage;

// Leads the editor to what a finding names: its stage in the selector, then its page with
// the point, line, room, entry, object sort or chip selected there (a group's first place).
// A finding about the stage as a whole leaves the page as it is.
void showFinding(PageNavigator& pages, const RomImage& rom, const Finding& finding);

} // namespace vx
