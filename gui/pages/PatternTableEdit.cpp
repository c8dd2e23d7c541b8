#include "gui/pages/PatternTableEdit.h"

#include "core/model/RomImage.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/ImageView.h"
#include "render/PatternData.h"

namespace vx {

void PatternTableEdit::bindControls(QWidget* page)
{
    bgView_ = makeImageView(page, QStringLiteral("ImgBGPatternTableView"), QRect(48, 24, 256, 256));
    spriteView_ = makeImageView(page, QStringLiteral("ImgSpritePatternTableView"), QRect(310, 24, 256, 256));
}

void PatternTableEdit::open()
{
    for (ImageView* view : {bgView_, spriteView_})
        if (view && !view->hasBitmap())
            view->setBitmap(context_.graphics.createStageBitmap(128, 128));
    stageChanged();
}

void PatternTableEdit::stageChanged()
{
    const StageData& stage = context_.rom.currentStage();
    buildPatternData(stage.patternTableSetting(), context_.rom.imageBytes(),
                     stage.address(TableKey::PatternTableSetting), patternData_,
                     [this](const std::string& warning) {
                         context_.prompts.showWarning(QString::fromStdString(warning));
                     });
    context_.graphics.setPatternData(patternData_);
    context_.graphics.setPatternTable(
        std::span<const std::uint8_t, PatternTableSize>(patternData_.data() + 0x1000, PatternTableSize));
    // The views follow the stage's colours, though nothing draws into them.
    animationTick();
}

void PatternTableEdit::animationTick()
{
    for (ImageView* view : {bgView_, spriteView_})
        if (view && view->hasBitmap()) {
            context_.graphics.applyStagePalette(*view->bitmap());
            view->redraw();
        }
}

} // namespace vx
