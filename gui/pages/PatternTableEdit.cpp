#include "gui/pages/PatternTableEdit.h"

#include "core/RomImgManager.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/ImageView.h"
#include "render/PatternData.h"

namespace vx {

void TPatternTableEdit::BindControls(QWidget* page)
{
    bgView_ = MakeImageView(page, QStringLiteral("ImgBGPatternTableView"), QRect(48, 24, 256, 256));
    spriteView_ = MakeImageView(page, QStringLiteral("ImgSpritePatternTableView"), QRect(310, 24, 256, 256));
}

void TPatternTableEdit::Open()
{
    for (TImageView* view : {bgView_, spriteView_})
        if (view && !view->HasBitmap())
            view->SetBitmap(context_.graphics.CreateStageBitmap(128, 128));
    StageChanged();
}

void TPatternTableEdit::StageChanged()
{
    const TStageData& stage = context_.rom.CurrentStage();
    BuildPatternData(stage.PatternTableSetting(), context_.rom.ImageBytes(),
                     stage.Address(TableKey::PatternTableSetting), patternData_,
                     [this](const std::string& warning) {
                         context_.prompts.ShowWarning(QString::fromStdString(warning));
                     });
    context_.graphics.SetPatternData(patternData_);
    context_.graphics.SetPatternTable(
        std::span<const std::uint8_t, PatternTableSize>(patternData_.data() + 0x1000, PatternTableSize));
    // The views follow the stage's colours, though nothing draws into them.
    AnimationTick();
}

void TPatternTableEdit::AnimationTick()
{
    for (TImageView* view : {bgView_, spriteView_})
        if (view && view->HasBitmap()) {
            context_.graphics.ApplyStagePalette(*view->Bitmap());
            view->Redraw();
        }
}

} // namespace vx
