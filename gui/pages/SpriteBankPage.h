#pragma once
#include "gui/pages/EditorUnit.h"

namespace vx {

// The hidden sprite-bank page: its controls stand for reference only; nothing draws into
// them, so an image or a stage changes nothing here.
class TSpriteBankPage : public TEditorUnit {
public:
    void BindControls(QWidget* page) override;
    void Open() override {}
    void StageChanged() override {}
};

} // namespace vx
