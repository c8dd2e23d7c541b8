#pragma once
#include <array>
#include <cstdint>

#include "gui/pages/EditorUnit.h"
#include "render/GraphicManager.h"

namespace vx {

class TImageView;

// The hidden pattern-table page. Its one duty that matters: on every stage set-up it
// assembles the stage's pattern data, which all tile decoding reads.
class TPatternTableEdit : public TEditorUnit {
public:
    explicit TPatternTableEdit(TEditorContext& context) : context_(context) {}

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void AnimationTick() override;

    const std::array<std::uint8_t, PatternDataSize>& PatternData() const { return patternData_; }

private:
    TEditorContext& context_;
    std::array<std::uint8_t, PatternDataSize> patternData_{};
    TImageView* bgView_ = nullptr;
    TImageView* spriteView_ = nullptr;
};

} // namespace vx
