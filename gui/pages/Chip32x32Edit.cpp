#include "gui/pages/Chip32x32Edit.h"

#include "core/model/ChipOrder.h"
#include "core/model/RomImage.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpDown.h"
#include "render/GraphicManager.h"
#include "rules/ChipRules.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace vx {
namespace {

// The chip table's hover cell: the hovered quarter's place in the chip data (chip x 4 +
// quarter), doubled, plus one while Shift shows the quarter's frame, so that pressing or
// releasing Shift redraws as a move to another quarter does.
int chipTableCell(const ChipTableHit& hit, bool shift) { return (hit.chip * 4 + hit.quarter) * 2 + (shift ? 1 : 0); }
int cellPlace(int cell) { return cell / 2; }
int cellChip(int cell) { return cell / 8; }

} // namespace

// ---- controls ----

void Chip32x32Edit::bindControls(QWidget* page)
{
    buildTables(page);
    buildSelectedGroup(page);
    buildEditedGroup(page);
    buildButtons(page);
}

void Chip32x32Edit::buildTables(QWidget* page)
{
    const auto loaded = [this] { return context_.rom.isLoaded(); };
    chipHover_ = HoverCell(loaded, [this](int cell) {
        drawChipTable();
        context_.setStatus(1, cell < 0 ? QString() : QString::fromStdString(chipTableStatusText(cellChip(cell))));
    });
    chipTable_ =
        makeImageView(page, QStringLiteral("Img32x32ChipEditTable"), QRect(8, 8, 512, 256),
                      {.pressed = [this](int x, int y, Qt::MouseButton button,
                                         Qt::KeyboardModifiers keys) { onChipTablePressed(x, y, button, keys); },
                       .moved =
                           [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers keys) {
                               const auto hit = chipTableHitAt(x, y, chipTable_->unzoomedWidth(),
                                                               chipTable_->unzoomedHeight(), editPage_);
                               chipHover_.moveTo(hit ? chipTableCell(*hit, keys.testFlag(Qt::ShiftModifier)) : -1);
                           },
                       .left = [this] { chipHover_.leave(); }});

    chipTable_->setFollowsZoom(true);
    // A cell per quarter, so Shift+Enter writes the quarter the cursor is on.
    chipTable_->setCellGrid(QSize(16, 16), 32, 16);
    chipTable_->announceName(captionOf("32x32チップ表", "32x32 chip table"));
    chipTable_->describeCell = [this](QPoint cell) {
        return QString::fromStdString(chipTableStatusText((editPage_ & 1) * 0x80 + (cell.y() / 2) * 16 + cell.x() / 2));
    };
    auto* switchGroup = new QGroupBox(captionOf("表示切替", "Table Page"), page);
    switchGroup->setObjectName(QStringLiteral("GroupBoxTableSwitch"));
    switchGroup->setGeometry(526, 8, 92, 76);
    pageSwitch_ = new UpDown(switchGroup);
    pageSwitch_->setObjectName(QStringLiteral("UpDown32x32ChipEditTableSwitch"));
    pageSwitch_->setGeometry(12, 24, 17, 40);
    QObject::connect(pageSwitch_, &UpDown::stepRequested, pageSwitch_,
                     [this](int direction) { switchChipPage(direction); });
    pageLabel_ = makeValueLabel(QStringLiteral("Lbl32x32ChipEditSelectedPage"), switchGroup, 36, 36, 44);

    entryHover_ = HoverCell(loaded, [this](int entry) {
        drawChip16Tables();
        context_.setStatus(1, entry < 0 ? QString() : QString::fromStdString(chip16StatusText(entry)));
    });
    for (int i = 0; i < 4; ++i) {
        chip16Tables_[static_cast<std::size_t>(i)] = makeImageView(
            page, QStringLiteral("Img16x16ChipTable%1").arg(i), QRect(8 + 132 * i, 272, 128, 128),
            {.pressed = [this, i](int x, int y, Qt::MouseButton button,
                                  Qt::KeyboardModifiers) { onChip16TablePressed(i, x, y, button); },
             .moved =
                 [this, i](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
                     const ImageView* view = chip16Tables_[static_cast<std::size_t>(i)];
                     entryHover_.moveTo(chip16TableEntryAt(x, y, view->unzoomedWidth(), view->unzoomedHeight(), i));
                 },
             .left = [this] { entryHover_.leave(); }},
            i);
        ImageView* table = chip16Tables_[static_cast<std::size_t>(i)];
        table->setFollowsZoom(true);
        table->setCellGrid(QSize(16, 16), 8, 8);
        table->announceName(captionOf("16x16チップ表 ", "16x16 chip table ") + QString::number(i));
        table->describeCell = [i](QPoint cell) {
            return QString::fromStdString(chip16StatusText(i * 0x40 + cell.y() * 8 + cell.x()));
        };
    }
}

void Chip32x32Edit::buildSelectedGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("選択チップ", "Selected Chip"), page);
    group->setObjectName(QStringLiteral("GroupBoxSelectedChip"));
    group->setGeometry(8, 408, 164, 76);
    selectedView_ = makeImageView(group, QStringLiteral("ImgSelected16x16Chip"), QRect(12, 28, 32, 32));
    makeCaption(QStringLiteral("No:"), group, 56, 26, 60);
    selectedIndex_ = makeValueLabel(QStringLiteral("LblSelected16x16ChipIndex"), group, 116, 26, 32);
    makeCaption(captionOf("パレット:", "Palette:"), group, 56, 46, 60);
    selectedPalette_ = makeValueLabel(QStringLiteral("LblSelected16x16ChipPalette"), group, 116, 46, 32);
}

void Chip32x32Edit::buildEditedGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("編集対象チップ", "Edited Chip"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedChip"));
    group->setGeometry(180, 408, 432, 124);
    quarterHover_ = HoverCell([this] { return context_.rom.isLoaded(); }, [this](int) { drawEditedChip(); });
    editedView_ = makeImageView(group, QStringLiteral("ImgEdited32x32Chip"), QRect(12, 24, 64, 64),
                                {.pressed = [this](int x, int y, Qt::MouseButton button,
                                                   Qt::KeyboardModifiers) { onEditedChipPressed(x, y, button); },
                                 .moved =
                                     [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
                                         quarterHover_.moveTo(editedChipQuarterAt(x, y, editedView_->unzoomedWidth(),
                                                                                  editedView_->unzoomedHeight()));
                                     },
                                 .left = [this] { quarterHover_.leave(); }});
    editedView_->setFollowsZoom(true);
    editedView_->setCellGrid(QSize(32, 32), 2, 2);
    editedView_->announceName(captionOf("編集対象チップ", "Edited chip"));
    // P and A step the cursor's quarter's sub-palette and attribute as a left click on its
    // label does, with Shift as a right click does.
    editedView_->takeKey = [this](QKeyEvent* event) {
        const int key = event->key();
        if (event->type() != QEvent::KeyPress || (key != Qt::Key_P && key != Qt::Key_A) ||
            (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
            return false;
        const QPoint cell = editedView_->cursorCell();
        const Qt::MouseButton button =
            event->modifiers().testFlag(Qt::ShiftModifier) ? Qt::RightButton : Qt::LeftButton;
        if (key == Qt::Key_P)
            stepQuarterSubPalette(cell.x() * 2 + cell.y(), button);
        else
            stepQuarterAttribute(cell.x() * 2 + cell.y(), button);
        return true;
    };
    makeCaption(QStringLiteral("No:"), group, 12, 96, 24);
    editedIndex_ = makeValueLabel(QStringLiteral("LblEdited32x32ChipIndex"), group, 36, 96, 32);

    // The quarter labels stand as the quarters do: 0 top-left, 2 top-right, 1 bottom-left,
    // 3 bottom-right.
    makeCaption(captionOf("No(パレット):", "No (Palette):"), group, 92, 24, 110);
    makeCaption(captionOf("属性:", "Attributes:"), group, 216, 24, 100);
    static const char* const corners[4][2] = {
        {"左上", "top left"}, {"左下", "bottom left"}, {"右上", "top right"}, {"右下", "bottom right"}};
    for (int q = 0; q < 4; ++q) {
        const int column = q / 2, row = q % 2;
        const QString corner = captionOf(corners[q][0], corners[q][1]);
        auto* entry = new ClickLabel(group, q);
        entry->setAccessibleName(captionOf("パレット ", "Palette, ") + corner);
        entry->setObjectName(QStringLiteral("LblEdited32x32Chip16x16Chip%1").arg(q));
        entry->setGeometry(92 + 56 * column, 46 + 22 * row, 52, 18);
        entry->setFrameShape(QFrame::Panel);
        entry->setFrameShadow(QFrame::Sunken);
        entryLabels_[static_cast<std::size_t>(q)] = entry;
        QObject::connect(entry, &ClickLabel::mousePressed, entry,
                         [this, q](Qt::MouseButton button) { stepQuarterSubPalette(q, button); });
        auto* attribute = new ClickLabel(group, q);
        attribute->setAccessibleName(captionOf("属性 ", "Attribute, ") + corner);
        attribute->setObjectName(QStringLiteral("LblEdited32x32Chip16x16ChipProperty%1").arg(q));
        attribute->setGeometry(216 + 104 * column, 46 + 22 * row, 100, 18);
        attribute->setFrameShape(QFrame::Panel);
        attribute->setFrameShadow(QFrame::Sunken);
        attributeLabels_[static_cast<std::size_t>(q)] = attribute;
        QObject::connect(attribute, &ClickLabel::mousePressed, attribute,
                         [this, q](Qt::MouseButton button) { stepQuarterAttribute(q, button); });
    }
}

void Chip32x32Edit::buildButtons(QWidget* page)
{
    const auto button = [page](const QString& caption, const char* name, int x, int y, int width) {
        auto* made = new QPushButton(caption, page);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(x, y, width, 25);
        return made;
    };
    unusedButton_ = button(captionOf("未使用チップ番号表"
                                     "示(&U)",
                                     "Show &Unused Chips"),
                           "BtnUnused32x32ChipView", 8, 492, 164);
    duplicatedButton_ = button(captionOf("重複チップ番号表"
                                         "示(&D)",
                                         "Show &Duplicate Chips"),
                               "BtnOverlapped32x32ChipView", 8, 522, 164);
    reloadButton_ = button(captionOf("CH&R再読み込み", "&Reload CHR"), "BtnReload", 526, 92, 92);
    QObject::connect(unusedButton_, &QPushButton::clicked, unusedButton_, [this] { showUnusedChips(); });
    QObject::connect(duplicatedButton_, &QPushButton::clicked, duplicatedButton_, [this] { showDuplicateChips(); });
    QObject::connect(reloadButton_, &QPushButton::clicked, reloadButton_, [this] {
        if (context_.reloadCharacterData)
            context_.reloadCharacterData();
    });
}

// ---- entry points ----

void Chip32x32Edit::open()
{
    const GraphicManager& graphics = context_.graphics;
    giveDisplayBitmap(chipTable_, graphics, 512, 256);
    for (ImageView* table : chip16Tables_)
        giveDisplayBitmap(table, graphics, 128, 128);
    giveDisplayBitmap(selectedView_, graphics, 32, 32);
    giveDisplayBitmap(editedView_, graphics, 64, 64);
    sheets_.create(graphics);
    chipClipboard_.fill(0);
    stageChanged();
}

void Chip32x32Edit::stageChanged()
{
    editPage_ = context_.rom.currentStage().default32x32ChipEditPage() & 1;
    editedChip_ = editPage_ * 0x80;
    selectedEntry_ = 0;
    for (HoverCell* hover : {&chipHover_, &entryHover_, &quarterHover_})
        hover->forget();
    rebuildSheets();
}

void Chip32x32Edit::refresh() { rebuildSheets(); }

void Chip32x32Edit::animationTick()
{
    if (!sheets_.ready())
        return;
    context_.graphics.applyStagePalette(*sheets_.chipSheet);
    drawChip16Tables();
    context_.graphics.applyStagePalette(*sheets_.chip32Sheet);
    drawChipTable();
    drawEditedChip();
    drawSelectedChip();
}

void Chip32x32Edit::rebuildSheets()
{
    if (!sheets_.ready())
        return;
    sheets_.rebuild(context_.graphics, context_.rom.currentStage().chip32x32());
    drawChip16Tables();
    drawChipTable();
    drawEditedChip();
    drawSelectedChip();
}

void Chip32x32Edit::recompose()
{
    sheets_.recompose(context_.graphics, context_.rom.currentStage().chip32x32());
    drawEditedChip();
    drawChipTable();
}

void Chip32x32Edit::selectChip(int chip)
{
    if (chip < 0 || chip >= ChipCount)
        return;
    editedChip_ = chip;
    editPage_ = chip / 0x80;
    chipHover_.forget(); // a number of the page no longer shown
    drawChipTable();
    drawEditedChip();
}

// ---- drawing ----

void Chip32x32Edit::drawChip16Tables()
{
    for (int i = 0; i < 4; ++i) {
        ImageView* view = chip16Tables_[static_cast<std::size_t>(i)];
        IndexedBitmap* bitmap = view->bitmap();
        if (!bitmap)
            continue;
        copySquare(*bitmap, 0, 0, *sheets_.chipSheet, 0, 128 * i, 128);
        if (const int entry = entryHover_.cell(); entry >= 0 && entry / 0x40 == i)
            context_.graphics.drawCursorFrame(*bitmap, (entry % 8) * 16, ((entry / 8) % 8) * 16, 16, 16);
        view->redraw();
    }
}

void Chip32x32Edit::drawChipTable()
{
    IndexedBitmap* bitmap = chipTable_->bitmap();
    if (!bitmap)
        return;
    {
        BitmapCanvas canvas(*bitmap);
        canvas.copyRect(0, 0, 512, 256, *sheets_.chip32Sheet, 0, editPage_ * 256, 512, editPage_ * 256 + 256);
    }
    if (const int cell = chipHover_.cell(); cell >= 0) {
        const int chip = cellChip(cell), quarter = cellPlace(cell) % 4;
        const int x = (chip % 16) * 32, y = ((chip / 16) % 8) * 32;
        context_.graphics.drawCursorFrame(*bitmap, x, y, 32, 32);
        if (cell % 2 == 1)
            context_.graphics.drawCursorFrame(*bitmap, x + (quarter / 2) * 16, y + (quarter % 2) * 16, 16, 16);
    }
    chipTable_->redraw();
    setLabelText(pageLabel_, QString::fromStdString(chipPageText(editPage_)));
}

void Chip32x32Edit::drawEditedChip()
{
    if (IndexedBitmap* bitmap = editedView_->bitmap()) {
        const int x = (editedChip_ % 16) * 32, y = (editedChip_ / 16) * 32;
        {
            BitmapCanvas canvas(*bitmap);
            canvas.copyRect(0, 0, 64, 64, *sheets_.chip32Sheet, x, y, x + 32, y + 32);
        }
        if (const int quarter = quarterHover_.cell(); quarter >= 0)
            context_.graphics.drawCursorFrame(*bitmap, (quarter / 2) * 32, (quarter % 2) * 32, 32, 32);
        editedView_->redraw();
    }
    drawEditedChipLabels();
}

void Chip32x32Edit::drawEditedChipLabels()
{
    const StageData& stage = context_.rom.currentStage();
    setLabelText(editedIndex_, hex2Text(static_cast<unsigned>(editedChip_)));
    for (int q = 0; q < 4; ++q)
        showChipQuarter(entryLabels_[static_cast<std::size_t>(q)], attributeLabels_[static_cast<std::size_t>(q)], stage,
                        editedChip_, q, context_.chipAttributeNames);
}

void Chip32x32Edit::drawSelectedChip()
{
    if (IndexedBitmap* bitmap = selectedView_->bitmap()) {
        const int x = (selectedEntry_ % 8) * 16, y = (selectedEntry_ / 8) * 16;
        {
            BitmapCanvas canvas(*bitmap);
            canvas.copyRect(0, 0, 32, 32, *sheets_.chipSheet, x, y, x + 16, y + 16);
        }
        selectedView_->redraw();
    }
    setLabelText(selectedIndex_, hex2Text(static_cast<unsigned>(entryChip(selectedEntry_))));
    setLabelText(selectedPalette_, hex2Text(static_cast<unsigned>(entrySubPalette(selectedEntry_))));
}

std::uint8_t Chip32x32Edit::entryOf(int chip, int quarter) const
{
    return context_.rom.currentStage().chip32x32()[static_cast<std::size_t>(chip * 4 + quarter)];
}

// ---- events ----

void Chip32x32Edit::onChipTablePressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.isLoaded())
        return;
    StageData& stage = context_.rom.currentStage();
    const bool shift = keys.testFlag(Qt::ShiftModifier), ctrl = keys.testFlag(Qt::ControlModifier);
    const auto hit = chipTableHitAt(x, y, chipTable_->unzoomedWidth(), chipTable_->unzoomedHeight(), editPage_);
    const int hovered = chipHover_.cell();
    if (button == Qt::LeftButton) {
        if (shift) {
            // The quarter of the last move, the one the frame shows.
            if (hovered >= 0 && stage.setChipEntry(cellPlace(hovered), selectedEntry_))
                recompose();
        } else if (ctrl) {
            if (hovered >= 0 && stage.setChip(cellChip(hovered) * 4, chipClipboard_))
                recompose();
        } else if (hit) {
            editedChip_ = hit->chip;
            drawEditedChip();
            if (chipPicked)
                chipPicked(hit->chip);
        }
    } else if (button == Qt::RightButton) {
        if (ctrl) {
            if (hovered >= 0)
                for (int k = 0; k < 4; ++k) {
                    const std::size_t at = static_cast<std::size_t>(cellChip(hovered) * 4 + k);
                    chipClipboard_[static_cast<std::size_t>(k)] = stage.chip32x32()[at];
                    chipClipboard_[static_cast<std::size_t>(4 + k)] = stage.chip32x32Attribute()[at];
                }
        } else if (hit) {
            selectedEntry_ = entryOf(hit->chip, hit->quarter);
            drawSelectedChip();
        }
    }
}

void Chip32x32Edit::onChip16TablePressed(int table, int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded() || button != Qt::LeftButton)
        return;
    const ImageView* view = chip16Tables_[static_cast<std::size_t>(table)];
    const int entry = chip16TableEntryAt(x, y, view->unzoomedWidth(), view->unzoomedHeight(), table);
    if (entry < 0)
        return;
    selectedEntry_ = static_cast<std::uint8_t>(entry);
    drawSelectedChip();
}

void Chip32x32Edit::onEditedChipPressed(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded())
        return;
    StageData& stage = context_.rom.currentStage();
    if (button == Qt::LeftButton) {
        if (const int quarter = quarterHover_.cell();
            quarter >= 0 && stage.setChipEntry(editedChip_ * 4 + quarter, selectedEntry_))
            recompose();
    } else if (button == Qt::RightButton) {
        const int quarter = editedChipQuarterAt(x, y, editedView_->unzoomedWidth(), editedView_->unzoomedHeight());
        if (quarter < 0)
            return;
        selectedEntry_ = entryOf(editedChip_, quarter);
        drawSelectedChip();
    }
}

void Chip32x32Edit::stepQuarterSubPalette(int quarter, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded() || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const std::uint8_t entry = stepSubPalette(entryOf(editedChip_, quarter), button == Qt::LeftButton);
    if (context_.rom.currentStage().setChipEntry(editedChip_ * 4 + quarter, entry))
        recompose();
}

void Chip32x32Edit::stepQuarterAttribute(int quarter, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded() || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    StageData& stage = context_.rom.currentStage();
    const std::uint8_t attribute = stepAttribute(
        stage.chip32x32Attribute()[static_cast<std::size_t>(editedChip_ * 4 + quarter)], button == Qt::LeftButton);
    if (stage.setChipAttribute(editedChip_ * 4 + quarter, attribute))
        drawEditedChip();
}

void Chip32x32Edit::switchChipPage(int direction)
{
    if (!context_.rom.isLoaded())
        return;
    editPage_ = direction > 0 ? 0 : 1;
    // The hovered number belongs to the other page now; a key-driven switch with the
    // pointer resting on the table must not let a click write a chip not shown.
    chipHover_.forget();
    drawChipTable();
}

void Chip32x32Edit::showUnusedChips()
{
    if (!context_.rom.isLoaded())
        return;
    subForm_.showList(QString::fromStdString(unusedChipListHeading()),
                      QString::fromStdString(unusedChipListText(context_.rom.currentStage().map())));
}

void Chip32x32Edit::showDuplicateChips()
{
    if (!context_.rom.isLoaded())
        return;
    // Made anew after a merge from the window. The chip tables stay as they were, so the
    // groups do too; Merge leaves once nothing is left to merge.
    subForm_.showList([this] {
        const StageData& stage = context_.rom.currentStage();
        InfoList list{QString::fromStdString(duplicatedChipListHeading()),
                      QString::fromStdString(duplicatedChipListText(stage.chip32x32(), stage.chip32x32Attribute())),
                      {}};
        if (mergeRequested && previewChipMerge(context_.rom, context_.rom.currentStageIndex()).ok())
            list.merge = mergeRequested;
        return list;
    });
}

} // namespace vx
