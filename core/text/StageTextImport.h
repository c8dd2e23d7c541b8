#pragma once
#include "core/base/Result.h"
#include "core/model/StageCheck.h"
#include "core/text/StageText.h"

#include <string>
#include <vector>

namespace vx {

// What applying stage texts would do to an image, found on a copy of it.
struct ImportPreview {
    std::vector<int> changedStages;
    // What the stage check finds after the import and did not find before, in the changed
    // stages only.
    std::vector<Finding> newErrors;
    std::vector<Finding> newWarnings;
    // One line per changed stage: "stage 03: Map 1 byte, Chip32x32 4 bytes". A table that
    // stages share is counted once, in the first stage that changed.
    std::vector<std::string> summary;
};

// Applies the texts to a copy of the image (its unsaved edits included) and compares; the
// image itself is not changed. Refused as applyStageTexts refuses.
Result<ImportPreview> previewStageTexts(RomImage& rom, const std::vector<StageText>& texts);

} // namespace vx
