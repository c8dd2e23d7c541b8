#pragma once
#include <array>
#include <cstdint>

#include "gui/pages/EditorUnit.h"
#include "render/GraphicManager.h"

namespace vx {

class ImageView;

// The hidden pattern-table page. Its one duty that matters: on every stage set-up it
// assembles the stage's pattern data, which all tile decoding reads.
class PatternTableEdit : public EditorUnit {
public:
    explicit PatternTableEdit(EditorContext& context) : context_(context) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void animationTick() override;

    const std::array<std::uint8_t, PatternDataSize>& patternData() const { return patternData_; }

private:
    EditorContext& context_;
    std::array<std::uint8_t, PatternDataSize> patternData_{};
    ImageView* bgView_ = nullptr;
    ImageView* spriteView_ = nullptr;
};

} // namespace vx
