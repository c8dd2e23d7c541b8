#include "gui/pages/PaletteEdit.h"

#include "core/RomImgManager.h"
#include "gui/widgets/HexBox.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "rules/PaletteRules.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace vx {
namespace {

QColor ToQColor(TColor color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

} // namespace

// ---- controls ----

void TPaletteEdit::BindControls(QWidget* page)
{
    BuildEntryGroup(page);
    BuildColorGroup(page);
    BuildAnimeGroup(page);
}

void TPaletteEdit::BuildEntryGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("パレットの編集"), page);
    group->setObjectName(QStringLiteral("GroupBoxPaletteEdit"));
    group->setGeometry(8, 8, 600, 84);
    // Four sub-palettes of four entries, a gap between them.
    for (int i = 0; i < PaletteEntryCount; ++i) {
        const int x = 16 + (i / 4) * 140 + (i % 4) * 30;
        entryViews_[static_cast<std::size_t>(i)] = MakeImageView(
            group, QStringLiteral("ImgPaletteEdit%1").arg(i), QRect(x, 22, 24, 24),
            {.pressed = [this, i](int, int, Qt::MouseButton button,
                                  Qt::KeyboardModifiers) { ImgPaletteEditXMouseDown(i, button); },
             .entered = [this, i] { ImgPaletteEditXMouseEnter(i); },
             .left = [this, i] { ImgPaletteEditXMouseLeave(i); }},
            i);
        QLineEdit* box = MakeHexBox(QStringLiteral("EditPaletteEdit%1").arg(i), group, x, 50, 24, 24);
        entryBoxes_[static_cast<std::size_t>(i)] = box;
        QObject::connect(box, &QLineEdit::textChanged, box, [this, i] { EditPaletteEditXChange(i); });
    }
}

void TPaletteEdit::BuildColorGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("色の選択"), page);
    group->setObjectName(QStringLiteral("GroupBoxColorSelect"));
    group->setGeometry(8, 100, 600, 132);
    colorTable_ = MakeImageView(
        group, QStringLiteral("ImgColorTable"), QRect(16, 24, 384, 96),
        {.pressed = [this](int x, int y, Qt::MouseButton, Qt::KeyboardModifiers) { ImgColorTableMouseDown(x, y); },
         .moved = [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { ImgColorTableMouseMove(x, y); },
         .left = [this] { ImgColorTableMouseLeave(); }});

    auto* selected = new QGroupBox(QString::fromUtf8("選択色"), group);
    selected->setObjectName(QStringLiteral("GroupBoxSelectedColor"));
    selected->setGeometry(416, 24, 100, 96);
    selectedPanel_ = new QFrame(selected);
    selectedPanel_->setObjectName(QStringLiteral("PnlSelectedColor"));
    selectedPanel_->setGeometry(38, 24, 24, 24);
    selectedPanel_->setFrameShape(QFrame::NoFrame); // no outer bevel
    selectedPanel_->setAutoFillBackground(true);
    MakeCaption("No:", selected, 24, 60, 24);
    selectedIndex_ = new QLabel(selected);
    selectedIndex_->setObjectName(QStringLiteral("LblSelectedColorIndex"));
    selectedIndex_->setGeometry(52, 60, 32, 16);
}

void TPaletteEdit::BuildAnimeGroup(QWidget* page)
{
    animeGroup_ = new QGroupBox(QString::fromUtf8("パレットアニメの編集"), page);
    animeGroup_->setObjectName(QStringLiteral("GroupBoxPaletteAnime"));
    animeGroup_->setGeometry(8, 240, 600, 176);
    animeView_ = MakeImageView(animeGroup_, QStringLiteral("ImgPaletteAnimeView"), QRect(40, 24, 384, 24));
    animeEdit_ = MakeImageView(
        animeGroup_, QStringLiteral("ImgPaletteAnimeEdit"), QRect(40, 64, 384, 96),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers) { ImgPaletteAnimeEditMouseDown(x, y, button); },
         .moved = [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { ImgPaletteAnimeEditMouseMove(x, y); },
         .left = [this] { ImgPaletteAnimeEditMouseLeave(); }});
    for (int i = 0; i < 4; ++i) {
        auto* arrow = new QLabel(QStringLiteral("->"), animeGroup_);
        arrow->setObjectName(QStringLiteral("LblCurrentAnimePaletteArrow%1").arg(i));
        arrow->setGeometry(16, 64 + 24 * i + 4, 20, 16);
        arrow->hide();
        arrows_[static_cast<std::size_t>(i)] = arrow;
    }

    MakeCaption("フレーム総数:", animeGroup_, 440, 64, 120);
    frameCount_ = new QComboBox(animeGroup_);
    frameCount_->setObjectName(QStringLiteral("ComboBoxPaletteAnimeFrameCount"));
    frameCount_->setGeometry(440, 82, 80, 22);
    frameCount_->addItems({QString::fromUtf8("0(無効)"), QStringLiteral("1"), QStringLiteral("2"),
                           QStringLiteral("3"), QStringLiteral("4")});
    QObject::connect(frameCount_, &QComboBox::currentIndexChanged, frameCount_,
                     [this](int index) { ComboBoxPaletteAnimeFrameCountChange(index); });
    MakeCaption("アニメーション間隔:", animeGroup_, 440, 112, 120);
    frameTimer_ = MakeHexBox(QStringLiteral("EditPaletteAnimeFrameTimer"), animeGroup_, 440, 130, 24, 24);
    QObject::connect(frameTimer_, &QLineEdit::textChanged, frameTimer_, [this] { EditPaletteAnimeFrameTimerChange(); });
    // The view and arrows change every few frames; Qt's backing store double-buffers
    // every widget, so they repaint without flicker.
}

// ---- entry points ----

void TPaletteEdit::Open()
{
    const TGraphicManager& graphics = context_.graphics;
    for (TImageView* view : entryViews_)
        GiveDisplayBitmap(view, graphics, 24, 24);
    GiveDisplayBitmap(colorTable_, graphics, 384, 96);
    GiveDisplayBitmap(animeView_, graphics, 384, 24);
    GiveDisplayBitmap(animeEdit_, graphics, 384, 96);
    selectedColor_ = 0;
    showNumbers_ = true;
    StageChanged();
}

void TPaletteEdit::StageChanged()
{
    hoveredEntry_ = hoveredColor_ = hoveredAnimeCell_ = -1;
    const TStageData& stage = context_.rom.CurrentStage();
    context_.graphics.SetBGPalette(stage.BGPalette());
    context_.graphics.SetPaletteAnime(stage.PaletteAnimeFrameCount(), stage.PaletteAnimeFrameTimer(),
                                      stage.PaletteAnimePalette());
    ShowAnimeSettings();
    DrawAll();
}

void TPaletteEdit::Refresh()
{
    ShowAnimeSettings();
    DrawAll();
}

void TPaletteEdit::AnimationTick() { DrawAnimeViewAndArrows(); }

void TPaletteEdit::ShowAnimeSettings()
{
    const TStageData& stage = context_.rom.CurrentStage();
    const TUpdatingGuard updating(updating_);
    // A stored count above 4 matches no item: the box shows none.
    const int count = stage.PaletteAnimeFrameCount();
    frameCount_->setCurrentIndex(count < frameCount_->count() ? count : -1);
    frameTimer_->setText(Hex2Text(stage.PaletteAnimeFrameTimer()));
}

void TPaletteEdit::SelectEntry(int entry)
{
    if (entry < 0 || entry >= PaletteEntryCount)
        return;
    QLineEdit* box = entryBoxes_[static_cast<std::size_t>(entry)];
    box->setFocus();
    box->selectAll();
}

void TPaletteEdit::MarkAnimationCell(int cell)
{
    const auto colours = context_.rom.CurrentStage().PaletteAnimePalette();
    if (cell < 0 || cell >= static_cast<int>(colours.size()))
        return;
    hoveredAnimeCell_ = cell;
    DrawAnimeCells();
    ShowStatus(cell, colours[static_cast<std::size_t>(cell)]);
}

void TPaletteEdit::FocusFrameCount() { frameCount_->setFocus(); }

// ---- drawing ----

void TPaletteEdit::DrawAll()
{
    DrawColorTable();
    DrawSelectedColor();
    for (int i = 0; i < PaletteEntryCount; ++i)
        DrawPaletteEntry(i, false);
    DrawAnimeCells();
    DrawAnimeViewAndArrows();
}

void TPaletteEdit::DrawColorTable()
{
    TNkDIB* bitmap = colorTable_->Bitmap();
    if (!bitmap)
        return;
    context_.graphics.DrawColorTable(*bitmap);
    if (hoveredColor_ >= 0)
        context_.graphics.DrawCursorFrame(*bitmap, (hoveredColor_ % 16) * 24, (hoveredColor_ / 16) * 24, 24, 24);
    colorTable_->Redraw();
}

void TPaletteEdit::DrawSelectedColor()
{
    selectedColor_ = ShownSelectedColor(selectedColor_);
    QPalette colours = selectedPanel_->palette();
    colours.setColor(QPalette::Window, ToQColor(context_.graphics.GetRGB(selectedColor_)));
    selectedPanel_->setPalette(colours);
    selectedIndex_->setText(Hex2Text(selectedColor_));
}

void TPaletteEdit::DrawPaletteEntry(int entry, bool withFrame)
{
    TImageView* view = entryViews_[static_cast<std::size_t>(entry)];
    const std::uint8_t value = context_.rom.CurrentStage().BGPalette()[static_cast<std::size_t>(entry)];
    if (TNkDIB* bitmap = view->Bitmap()) {
        context_.graphics.FillBitmap(*bitmap, context_.graphics.GetRGB(value));
        if (withFrame)
            context_.graphics.DrawCursorFrame(*bitmap, 0, 0, view->width(), view->height());
        view->Redraw();
    }
    SetBoxText(entryBoxes_[static_cast<std::size_t>(entry)], Hex2Text(value));
}

void TPaletteEdit::DrawAnimeCells()
{
    TNkDIB* bitmap = animeEdit_->Bitmap();
    if (!bitmap)
        return;
    context_.graphics.DrawAnimePalettes(*bitmap, showNumbers_);
    if (hoveredAnimeCell_ >= 0)
        context_.graphics.DrawCursorFrame(*bitmap, (hoveredAnimeCell_ % 16) * 24, (hoveredAnimeCell_ / 16) * 24, 24,
                                          24);
    animeEdit_->Redraw();
}

void TPaletteEdit::DrawAnimeViewAndArrows()
{
    if (TNkDIB* bitmap = animeView_->Bitmap()) {
        context_.graphics.DrawCurrentPalette(*bitmap);
        animeView_->Redraw();
    }
    const int frame = context_.graphics.GetAnimeFrame();
    for (int i = 0; i < 4; ++i)
        arrows_[static_cast<std::size_t>(i)]->setVisible(frame == i);
}

void TPaletteEdit::SetBoxText(QLineEdit* box, const QString& text)
{
    if (box->text() == text)
        return;
    const TUpdatingGuard updating(updating_);
    box->setText(text);
}

void TPaletteEdit::ShowStatus(int cell, int colorIndex)
{
    context_.setStatus(1, cell < 0 ? QString() : QString::fromStdString(ColorStatusText(static_cast<std::uint8_t>(colorIndex))));
}

// ---- events ----

void TPaletteEdit::ImgPaletteEditXMouseEnter(int entry)
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredEntry_ = entry;
    DrawPaletteEntry(entry, true);
}

void TPaletteEdit::ImgPaletteEditXMouseLeave(int entry)
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredEntry_ = -1;
    DrawPaletteEntry(entry, false);
}

void TPaletteEdit::ImgPaletteEditXMouseDown(int entry, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded())
        return;
    if (button == Qt::LeftButton) {
        // The box takes the colour as if typed; its change handling writes it.
        SetBoxText(entryBoxes_[static_cast<std::size_t>(entry)], Hex2Text(selectedColor_));
        EditPaletteEditXChange(entry);
    } else if (button == Qt::RightButton) {
        selectedColor_ = context_.rom.CurrentStage().BGPalette()[static_cast<std::size_t>(entry)];
        DrawSelectedColor();
    }
}

void TPaletteEdit::EditPaletteEditXChange(int entry)
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    QLineEdit* box = entryBoxes_[static_cast<std::size_t>(entry)];
    TStageData& stage = context_.rom.CurrentStage();
    const auto input = ReadPaletteEntryBox(box->text().toStdString(), stage.BGPalette()[static_cast<std::size_t>(entry)]);
    if (!input)
        return;
    SetBoxText(box, QString::fromStdString(input->text));
    if (stage.SetPaletteColor(entry, input->value))
        DrawPaletteEntry(entry, hoveredEntry_ == entry);
}

void TPaletteEdit::ImgColorTableMouseDown(int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const int cell = ColorGridCellAt(x, y, colorTable_->width(), colorTable_->height());
    if (cell < 0)
        return;
    selectedColor_ = static_cast<std::uint8_t>(cell);
    DrawSelectedColor();
}

void TPaletteEdit::ImgColorTableMouseMove(int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const int cell = ColorGridCellAt(x, y, colorTable_->width(), colorTable_->height());
    if (cell == hoveredColor_)
        return;
    hoveredColor_ = cell;
    DrawColorTable();
    ShowStatus(cell, cell);
}

void TPaletteEdit::ImgColorTableMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredColor_ = -1;
    DrawColorTable();
    ShowStatus(-1, 0);
}

void TPaletteEdit::ImgPaletteAnimeEditMouseDown(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded())
        return;
    const int cell = ColorGridCellAt(x, y, animeEdit_->width(), animeEdit_->height());
    if (cell < 0)
        return;
    TStageData& stage = context_.rom.CurrentStage();
    if (button == Qt::LeftButton) {
        if (stage.SetPaletteAnimeColor(cell, selectedColor_))
            DrawAnimeCells();
    } else if (button == Qt::RightButton) {
        selectedColor_ = stage.PaletteAnimePalette()[static_cast<std::size_t>(cell)];
        DrawSelectedColor();
    }
}

void TPaletteEdit::ImgPaletteAnimeEditMouseMove(int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const int cell = ColorGridCellAt(x, y, animeEdit_->width(), animeEdit_->height());
    if (cell == hoveredAnimeCell_)
        return;
    hoveredAnimeCell_ = cell;
    DrawAnimeCells();
    ShowStatus(cell, cell < 0 ? 0 : context_.rom.CurrentStage().PaletteAnimePalette()[static_cast<std::size_t>(cell)]);
}

void TPaletteEdit::ImgPaletteAnimeEditMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoveredAnimeCell_ = -1;
    DrawAnimeCells();
    ShowStatus(-1, 0);
}

void TPaletteEdit::ComboBoxPaletteAnimeFrameCountChange(int index)
{
    if (updating_ || index < 0 || !context_.rom.IsLoaded())
        return;
    if (context_.rom.CurrentStage().SetPaletteAnimeFrameCount(static_cast<std::uint8_t>(index)))
        DrawAnimeViewAndArrows();
}

void TPaletteEdit::EditPaletteAnimeFrameTimerChange()
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    TStageData& stage = context_.rom.CurrentStage();
    const auto input = ReadFrameTimerBox(frameTimer_->text().toStdString(), stage.PaletteAnimeFrameTimer());
    if (!input)
        return;
    SetBoxText(frameTimer_, QString::fromStdString(input->text));
    if (stage.SetPaletteAnimeFrameTimer(input->value))
        DrawAnimeViewAndArrows();
}

} // namespace vx
