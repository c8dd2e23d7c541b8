#pragma once
#include "gui/pages/EditorUnit.h"

namespace vx {

// The hidden sprite-bank page: its controls stand for reference only; nothing draws into
// them, so an image or a stage changes nothing here.
class SpriteBankPage : public EditorUnit {
public:
    void bindControls(QWidget* page) override;
    void open() override {}
    void stageChanged() override {}
};

} // namespace vx
