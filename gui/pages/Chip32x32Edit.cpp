#include "gui/pages/Chip32x32Edit.h"

#include "core/RomImgManager.h"
#include "gui/pages/VxSubForm.h"
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpDown.h"
#include "render/GraphicManager.h"
#include "rules/ChipRules.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vx {

// ---- controls ----

void TChip32x32Edit::BindControls(QWidget* page)
{
    BuildTables(page);
    BuildSelectedGroup(page);
    BuildEditedGroup(page);
    BuildButtons(page);
}

void TChip32x32Edit::BuildTables(QWidget* page)
{
    chipTable_ = MakeImageView(
        page, QStringLiteral("Img32x32ChipEditTable"), QRect(8, 8, 512, 256),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers keys) { Img32x32ChipEditTableMouseDown(x, y, button, keys); },
         .moved = [this](int x, int y, Qt::MouseButtons,
                         Qt::KeyboardModifiers keys) { Img32x32ChipEditTableMouseMove(x, y, keys); },
         .left = [this] { Img32x32ChipEditTableMouseLeave(); }});

    auto* switchGroup = new QGroupBox(QString::fromUtf8("表示切替"), page);
    switchGroup->setObjectName(QStringLiteral("GroupBoxTableSwitch"));
    switchGroup->setGeometry(526, 8, 92, 76);
    pageSwitch_ = new TUpDown(switchGroup);
    pageSwitch_->setObjectName(QStringLiteral("UpDown32x32ChipEditTableSwitch"));
    pageSwitch_->setGeometry(12, 24, 17, 40);
    QObject::connect(pageSwitch_, &TUpDown::stepRequested, pageSwitch_,
                     [this](int direction) { UpDown32x32ChipEditTableSwitchChangingEx(direction); });
    pageLabel_ = MakeValueLabel(QStringLiteral("Lbl32x32ChipEditSelectedPage"), switchGroup, 36, 36, 44);

    for (int i = 0; i < 4; ++i) {
        chip16Tables_[static_cast<std::size_t>(i)] = MakeImageView(
            page, QStringLiteral("Img16x16ChipTable%1").arg(i), QRect(8 + 132 * i, 272, 128, 128),
            {.pressed = [this, i](int x, int y, Qt::MouseButton button,
                                  Qt::KeyboardModifiers) { Img16x16ChipTableXMouseDown(i, x, y, button); },
             .moved = [this, i](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { Img16x16ChipTableXMouseMove(i, x, y); },
             .left = [this] { Img16x16ChipTableXMouseLeave(); }},
            i);
    }
}

void TChip32x32Edit::BuildSelectedGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("選択チップ"), page);
    group->setObjectName(QStringLiteral("GroupBoxSelectedChip"));
    group->setGeometry(8, 408, 164, 76);
    selectedView_ = MakeImageView(group, QStringLiteral("ImgSelected16x16Chip"), QRect(12, 28, 32, 32));
    MakeCaption("No:", group, 56, 26, 60);
    selectedIndex_ = MakeValueLabel(QStringLiteral("LblSelected16x16ChipIndex"), group, 116, 26, 32);
    MakeCaption("パレット:", group, 56, 46, 60);
    selectedPalette_ = MakeValueLabel(QStringLiteral("LblSelected16x16ChipPalette"), group, 116, 46, 32);
}

void TChip32x32Edit::BuildEditedGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("編集対象チップ"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedChip"));
    group->setGeometry(180, 408, 432, 124);
    editedView_ = MakeImageView(
        group, QStringLiteral("ImgEdited32x32Chip"), QRect(12, 24, 64, 64),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers) { ImgEdited32x32ChipMouseDown(x, y, button); },
         .moved = [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { ImgEdited32x32ChipMouseMove(x, y); },
         .left = [this] { ImgEdited32x32ChipMouseLeave(); }});
    MakeCaption("No:", group, 12, 96, 24);
    editedIndex_ = MakeValueLabel(QStringLiteral("LblEdited32x32ChipIndex"), group, 36, 96, 32);

    // The quarter labels stand as the quarters do: 0 top-left, 2 top-right, 1 bottom-left,
    // 3 bottom-right.
    MakeCaption("No(パレット):", group, 92, 24, 110);
    MakeCaption("属性:", group, 216, 24, 100);
    for (int q = 0; q < 4; ++q) {
        const int column = q / 2, row = q % 2;
        auto* entry = new TClickLabel(group, q);
        entry->setObjectName(QStringLiteral("LblEdited32x32Chip16x16Chip%1").arg(q));
        entry->setGeometry(92 + 56 * column, 46 + 22 * row, 52, 18);
        entry->setFrameShape(QFrame::Panel);
        entry->setFrameShadow(QFrame::Sunken);
        entryLabels_[static_cast<std::size_t>(q)] = entry;
        QObject::connect(entry, &TClickLabel::mousePressed, entry,
                         [this, q](Qt::MouseButton button) { LblEdited32x32Chip16x16ChipXMouseDown(q, button); });
        auto* attribute = new TClickLabel(group, q);
        attribute->setObjectName(QStringLiteral("LblEdited32x32Chip16x16ChipProperty%1").arg(q));
        attribute->setGeometry(216 + 104 * column, 46 + 22 * row, 100, 18);
        attribute->setFrameShape(QFrame::Panel);
        attribute->setFrameShadow(QFrame::Sunken);
        attributeLabels_[static_cast<std::size_t>(q)] = attribute;
        QObject::connect(attribute, &TClickLabel::mousePressed, attribute, [this, q](Qt::MouseButton button) {
            LblEdited32x32Chip16x16ChipPropertyXMouseDown(q, button);
        });
    }
}

void TChip32x32Edit::BuildButtons(QWidget* page)
{
    const auto button = [page](const char* caption, const char* name, int x, int y, int width) {
        auto* made = new QPushButton(QString::fromUtf8(caption), page);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(x, y, width, 25);
        return made;
    };
    unusedButton_ = button("未使用チップ番号表示", "BtnUnused32x32ChipView", 8, 492, 164);
    duplicatedButton_ = button("重複チップ番号表示", "BtnOverlapped32x32ChipView", 8, 522, 164);
    reloadButton_ = button("CHR再読み込み", "BtnReload", 526, 92, 92);
    QObject::connect(unusedButton_, &QPushButton::clicked, unusedButton_, [this] { BtnUnused32x32ChipViewClick(); });
    QObject::connect(duplicatedButton_, &QPushButton::clicked, duplicatedButton_,
                     [this] { BtnOverlapped32x32ChipViewClick(); });
    QObject::connect(reloadButton_, &QPushButton::clicked, reloadButton_, [this] {
        if (context_.reloadCharacterData)
            context_.reloadCharacterData();
    });
}

// ---- entry points ----

void TChip32x32Edit::Open()
{
    const TGraphicManager& graphics = context_.graphics;
    GiveDisplayBitmap(chipTable_, graphics, 512, 256);
    for (TImageView* table : chip16Tables_)
        GiveDisplayBitmap(table, graphics, 128, 128);
    GiveDisplayBitmap(selectedView_, graphics, 32, 32);
    GiveDisplayBitmap(editedView_, graphics, 64, 64);
    sheets_.Create(graphics);
    chipClipboard_.fill(0);
    StageChanged();
}

void TChip32x32Edit::StageChanged()
{
    editPage_ = context_.rom.CurrentStage().Default32x32ChipEditPage() & 1;
    editedChip_ = editPage_ * 0x80;
    selectedEntry_ = 0;
    hoveredChip_ = hoveredEntry_ = hoveredEditedQuarter_ = -1;
    hoveredQuarter_ = 0;
    shiftHeld_ = false;
    RebuildSheets();
}

void TChip32x32Edit::Refresh() { RebuildSheets(); }

void TChip32x32Edit::AnimationTick()
{
    if (!sheets_.Ready())
        return;
    context_.graphics.ApplyStagePalette(*sheets_.chipSheet);
    DrawChip16Tables();
    context_.graphics.ApplyStagePalette(*sheets_.chip32Sheet);
    DrawChipTable();
    DrawEditedChip();
    DrawSelectedChip();
}

void TChip32x32Edit::RebuildSheets()
{
    if (!sheets_.Ready())
        return;
    sheets_.Rebuild(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    DrawChip16Tables();
    DrawChipTable();
    DrawEditedChip();
    DrawSelectedChip();
}

void TChip32x32Edit::Recompose()
{
    sheets_.Recompose(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    DrawEditedChip();
    DrawChipTable();
}

void TChip32x32Edit::SelectChip(int chip)
{
    if (chip < 0 || chip >= ChipCount)
        return;
    editedChip_ = chip;
    editPage_ = chip / 0x80;
    hoveredChip_ = -1; // a number of the page no longer shown
    DrawChipTable();
    DrawEditedChip();
}

// ---- drawing ----

void TChip32x32Edit::DrawChip16Tables()
{
    for (int i = 0; i < 4; ++i) {
        TImageView* view = chip16Tables_[static_cast<std::size_t>(i)];
        TNkDIB* bitmap = view->Bitmap();
        if (!bitmap)
            continue;
        CopySquare(*bitmap, 0, 0, *sheets_.chipSheet, 0, 128 * i, 128);
        if (hoveredEntry_ >= 0 && hoveredEntry_ / 0x40 == i)
            context_.graphics.DrawCursorFrame(*bitmap, (hoveredEntry_ % 8) * 16, ((hoveredEntry_ / 8) % 8) * 16, 16, 16);
        view->Redraw();
    }
}

void TChip32x32Edit::DrawChipTable()
{
    TNkDIB* bitmap = chipTable_->Bitmap();
    if (!bitmap)
        return;
    {
        TNkDIBCanvas canvas(*bitmap);
        canvas.CopyRect(0, 0, 512, 256, *sheets_.chip32Sheet, 0, editPage_ * 256, 512, editPage_ * 256 + 256);
    }
    if (hoveredChip_ >= 0) {
        const int x = (hoveredChip_ % 16) * 32, y = ((hoveredChip_ / 16) % 8) * 32;
        context_.graphics.DrawCursorFrame(*bitmap, x, y, 32, 32);
        if (shiftHeld_)
            context_.graphics.DrawCursorFrame(*bitmap, x + (hoveredQuarter_ / 2) * 16, y + (hoveredQuarter_ % 2) * 16,
                                              16, 16);
    }
    chipTable_->Redraw();
    SetLabelText(pageLabel_, QString::fromStdString(ChipPageText(editPage_)));
}

void TChip32x32Edit::DrawEditedChip()
{
    if (TNkDIB* bitmap = editedView_->Bitmap()) {
        const int x = (editedChip_ % 16) * 32, y = (editedChip_ / 16) * 32;
        {
            TNkDIBCanvas canvas(*bitmap);
            canvas.CopyRect(0, 0, 64, 64, *sheets_.chip32Sheet, x, y, x + 32, y + 32);
        }
        if (hoveredEditedQuarter_ >= 0)
            context_.graphics.DrawCursorFrame(*bitmap, (hoveredEditedQuarter_ / 2) * 32, (hoveredEditedQuarter_ % 2) * 32,
                                              32, 32);
        editedView_->Redraw();
    }
    DrawEditedChipLabels();
}

void TChip32x32Edit::DrawEditedChipLabels()
{
    const TStageData& stage = context_.rom.CurrentStage();
    SetLabelText(editedIndex_, Hex2Text(static_cast<unsigned>(editedChip_)));
    for (int q = 0; q < 4; ++q)
        ShowChipQuarter(entryLabels_[static_cast<std::size_t>(q)], attributeLabels_[static_cast<std::size_t>(q)], stage,
                        editedChip_, q, context_.chipAttributeNames);
}

void TChip32x32Edit::DrawSelectedChip()
{
    if (TNkDIB* bitmap = selectedView_->Bitmap()) {
        const int x = (selectedEntry_ % 8) * 16, y = (selectedEntry_ / 8) * 16;
        {
            TNkDIBCanvas canvas(*bitmap);
            canvas.CopyRect(0, 0, 32, 32, *sheets_.chipSheet, x, y, x + 16, y + 16);
        }
        selectedView_->Redraw();
    }
    SetLabelText(selectedIndex_, Hex2Text(static_cast<unsigned>(EntryChip(selectedEntry_))));
    SetLabelText(selectedPalette_, Hex2Text(static_cast<unsigned>(EntrySubPalette(selectedEntry_))));
}

std::uint8_t TChip32x32Edit::EntryOf(int chip, int quarter) const
{
    return context_.rom.CurrentStage().Chip32x32()[static_cast<std::size_t>(chip * 4 + quarter)];
}

// ---- events ----

void TChip32x32Edit::Img32x32ChipEditTableMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.IsLoaded())
        return;
    TStageData& stage = context_.rom.CurrentStage();
    const bool shift = keys.testFlag(Qt::ShiftModifier), ctrl = keys.testFlag(Qt::ControlModifier);
    const auto hit = ChipTableHitAt(x, y, chipTable_->width(), chipTable_->height(), editPage_);
    if (button == Qt::LeftButton) {
        if (shift) {
            // The quarter of the last move, the one the frame shows.
            if (hoveredChip_ >= 0 && stage.SetChipEntry(hoveredChip_ * 4 + hoveredQuarter_, selectedEntry_))
                Recompose();
        } else if (ctrl) {
            if (hoveredChip_ >= 0 && stage.SetChip(hoveredChip_ * 4, chipClipboard_))
                Recompose();
        } else if (hit) {
            editedChip_ = hit->chip;
            DrawEditedChip();
            if (ChipPicked)
                ChipPicked(hit->chip);
        }
    } else if (button == Qt::RightButton) {
        if (ctrl) {
            if (hoveredChip_ >= 0)
                for (int k = 0; k < 4; ++k) {
                    const std::size_t at = static_cast<std::size_t>(hoveredChip_ * 4 + k);
                    chipClipboard_[static_cast<std::size_t>(k)] = stage.Chip32x32()[at];
                    chipClipboard_[static_cast<std::size_t>(4 + k)] = stage.Chip32x32Attribute()[at];
                }
        } else if (hit) {
            selectedEntry_ = EntryOf(hit->chip, hit->quarter);
            DrawSelectedChip();
        }
    }
}

void TChip32x32Edit::Img32x32ChipEditTableMouseMove(int x, int y, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.IsLoaded())
        return;
    const auto hit = ChipTableHitAt(x, y, chipTable_->width(), chipTable_->height(), editPage_);
    if (!hit) { // dragged out of the control
        if (hoveredChip_ >= 0)
            Img32x32ChipEditTableMouseLeave();
        return;
    }
    const bool shift = keys.testFlag(Qt::ShiftModifier);
    if (hit->chip == hoveredChip_ && hit->quarter == hoveredQuarter_ && shift == shiftHeld_)
        return;
    hoveredChip_ = hit->chip;
    hoveredQuarter_ = hit->quarter;
    shiftHeld_ = shift;
    DrawChipTable();
    context_.setStatus(1, QString::fromStdString(ChipTableStatusText(hoveredChip_)));
}

void TChip32x32Edit::Img32x32ChipEditTableMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredChip_ = -1;
    DrawChipTable();
    context_.setStatus(1, QString());
}

void TChip32x32Edit::Img16x16ChipTableXMouseDown(int table, int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded() || button != Qt::LeftButton)
        return;
    const TImageView* view = chip16Tables_[static_cast<std::size_t>(table)];
    const int entry = Chip16TableEntryAt(x, y, view->width(), view->height(), table);
    if (entry < 0)
        return;
    selectedEntry_ = static_cast<std::uint8_t>(entry);
    DrawSelectedChip();
}

void TChip32x32Edit::Img16x16ChipTableXMouseMove(int table, int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const TImageView* view = chip16Tables_[static_cast<std::size_t>(table)];
    const int entry = Chip16TableEntryAt(x, y, view->width(), view->height(), table);
    if (entry == hoveredEntry_)
        return;
    hoveredEntry_ = entry;
    DrawChip16Tables();
    context_.setStatus(1, entry < 0 ? QString() : QString::fromStdString(Chip16StatusText(entry)));
}

void TChip32x32Edit::Img16x16ChipTableXMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredEntry_ = -1;
    DrawChip16Tables();
    context_.setStatus(1, QString());
}

void TChip32x32Edit::ImgEdited32x32ChipMouseDown(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded())
        return;
    TStageData& stage = context_.rom.CurrentStage();
    if (button == Qt::LeftButton) {
        if (hoveredEditedQuarter_ >= 0 &&
            stage.SetChipEntry(editedChip_ * 4 + hoveredEditedQuarter_, selectedEntry_))
            Recompose();
    } else if (button == Qt::RightButton) {
        const int quarter = EditedChipQuarterAt(x, y, editedView_->width(), editedView_->height());
        if (quarter < 0)
            return;
        selectedEntry_ = EntryOf(editedChip_, quarter);
        DrawSelectedChip();
    }
}

void TChip32x32Edit::ImgEdited32x32ChipMouseMove(int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const int quarter = EditedChipQuarterAt(x, y, editedView_->width(), editedView_->height());
    if (quarter == hoveredEditedQuarter_)
        return;
    hoveredEditedQuarter_ = quarter;
    DrawEditedChip();
}

void TChip32x32Edit::ImgEdited32x32ChipMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredEditedQuarter_ = -1;
    DrawEditedChip();
}

void TChip32x32Edit::LblEdited32x32Chip16x16ChipXMouseDown(int quarter, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded() || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const std::uint8_t entry = StepSubPalette(EntryOf(editedChip_, quarter), button == Qt::LeftButton);
    if (context_.rom.CurrentStage().SetChipEntry(editedChip_ * 4 + quarter, entry))
        Recompose();
}

void TChip32x32Edit::LblEdited32x32Chip16x16ChipPropertyXMouseDown(int quarter, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded() || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    TStageData& stage = context_.rom.CurrentStage();
    const std::uint8_t attribute = StepAttribute(
        stage.Chip32x32Attribute()[static_cast<std::size_t>(editedChip_ * 4 + quarter)], button == Qt::LeftButton);
    if (stage.SetChipAttribute(editedChip_ * 4 + quarter, attribute))
        DrawEditedChip();
}

void TChip32x32Edit::UpDown32x32ChipEditTableSwitchChangingEx(int direction)
{
    if (!context_.rom.IsLoaded())
        return;
    editPage_ = direction > 0 ? 0 : 1;
    // The hovered number belongs to the other page now; a key-driven switch with the
    // pointer resting on the table must not let a click write a chip not shown.
    hoveredChip_ = -1;
    DrawChipTable();
}

void TChip32x32Edit::BtnUnused32x32ChipViewClick()
{
    if (!context_.rom.IsLoaded())
        return;
    subForm_.ShowList(QString::fromStdString(UnusedChipListHeading()),
                      QString::fromStdString(UnusedChipListText(context_.rom.CurrentStage().Map())));
}

void TChip32x32Edit::BtnOverlapped32x32ChipViewClick()
{
    if (!context_.rom.IsLoaded())
        return;
    const TStageData& stage = context_.rom.CurrentStage();
    subForm_.ShowList(QString::fromStdString(DuplicatedChipListHeading()),
                      QString::fromStdString(DuplicatedChipListText(stage.Chip32x32(), stage.Chip32x32Attribute())));
}

} // namespace vx
