#include "gui/pages/PaletteEdit.h"

#include "core/model/ColourUses.h"
#include "core/model/RomImage.h"
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

QColor toQColor(Color color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

// Two strokes corner to corner, two pixels wide, in the cursor's colour: seen on any colour.
void crossOut(IndexedBitmap& bitmap)
{
    BitmapCanvas canvas(bitmap);
    canvas.penColor = GraphicManager::CursorColor;
    const int last = bitmap.width() - 1;
    for (const int shift : {0, 1}) {
        canvas.moveTo(3 + shift, 3);
        canvas.lineTo(last - 3 + shift, last - 3);
        canvas.moveTo(last - 3 + shift, 3);
        canvas.lineTo(3 + shift, last - 3);
    }
}

} // namespace

// ---- controls ----

void PaletteEdit::bindControls(QWidget* page)
{
    buildEntryGroup(page);
    buildColorGroup(page);
    buildAnimeGroup(page);
}

void PaletteEdit::buildEntryGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("パレットの編集", "Palette"), page);
    group->setObjectName(QStringLiteral("GroupBoxPaletteEdit"));
    group->setGeometry(8, 8, 600, 84);
    // Four sub-palettes of four entries, a gap between them.
    for (int i = 0; i < PaletteEntryCount; ++i) {
        const int x = 16 + (i / 4) * 140 + (i % 4) * 30;
        entryViews_[static_cast<std::size_t>(i)] =
            makeImageView(group, QStringLiteral("ImgPaletteEdit%1").arg(i), QRect(x, 22, 24, 24),
                          {.pressed = [this, i](int, int, Qt::MouseButton button,
                                                Qt::KeyboardModifiers) { onPalettePressed(i, button); },
                           .entered = [this, i] { onPaletteEntered(i); },
                           .left = [this, i] { onPaletteLeft(i); }},
                          i);
        // Each entry is a one-cell grid; the arrows carry the cursor on to the neighbours.
        ImageView* view = entryViews_[static_cast<std::size_t>(i)];
        view->setCellGrid(QSize(24, 24), 1, 1);
        view->announceName(captionOf("パレット ", "Palette entry ") + hex2Text(static_cast<unsigned>(i)));
        view->describeCell = [this, i](QPoint) {
            if (!context_.rom.isLoaded())
                return QString();
            return colourWord(context_.rom.currentStage().bgPalette()[static_cast<std::size_t>(i)]);
        };
        // Down goes to the colour table below, Up from its top row comes back.
        QObject::connect(view, &ImageView::cursorPastEdge, view,
                         [this, i](int columns, int rows, Qt::KeyboardModifiers) {
                             if (rows > 0) {
                                 colorTable_->setCursorCell(QPoint(i, 0));
                                 colorTable_->setFocus(Qt::TabFocusReason);
                             } else if (columns != 0 && i + columns >= 0 && i + columns < PaletteEntryCount) {
                                 entryViews_[static_cast<std::size_t>(i + columns)]->setFocus(Qt::TabFocusReason);
                             }
                         });
        QLineEdit* box = makeHexBox(QStringLiteral("EditPaletteEdit%1").arg(i), group, x, 50, 24, 24);
        entryBoxes_[static_cast<std::size_t>(i)] = box;
        QObject::connect(box, &QLineEdit::textChanged, box, [this, i] { onColourTyped(i); });
    }
}

void PaletteEdit::buildColorGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("色の選択", "Colours"), page);
    group->setObjectName(QStringLiteral("GroupBoxColorSelect"));
    group->setGeometry(8, 100, 600, 132);
    const auto loaded = [this] { return context_.rom.isLoaded(); };
    colorHover_ = HoverCell(loaded, [this](int cell) {
        drawColorTable();
        showStatus(cell, cell);
    });
    colorTable_ = makeImageView(
        group, QStringLiteral("ImgColorTable"), QRect(16, 24, 384, 96),
        {.pressed = [this](int x, int y, Qt::MouseButton, Qt::KeyboardModifiers) { onColourTablePressed(x, y); },
         .moved =
             [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
                 colorHover_.moveTo(colorGridCellAt(x, y, colorTable_->unzoomedWidth(), colorTable_->unzoomedHeight()));
             },
         .left = [this] { colorHover_.leave(); }});
    colorTable_->setFollowsZoom(true);
    colorTable_->setCellGrid(QSize(24, 24), 16, 4);
    colorTable_->announceName(captionOf("色の表", "Colour table"));
    colorTable_->describeCell = [](QPoint cell) { return colourWord(cell.y() * 16 + cell.x()); };
    QObject::connect(
        colorTable_, &ImageView::cursorPastEdge, colorTable_, [this](int, int rows, Qt::KeyboardModifiers) {
            if (rows < 0)
                entryViews_[static_cast<std::size_t>(colorTable_->cursorCell().x())]->setFocus(Qt::TabFocusReason);
        });

    auto* selected = new QGroupBox(captionOf("選択色", "Selected"), group);
    selected->setObjectName(QStringLiteral("GroupBoxSelectedColor"));
    selected->setGeometry(416, 24, 100, 96);
    selectedPanel_ = new QFrame(selected);
    selectedPanel_->setObjectName(QStringLiteral("PnlSelectedColor"));
    selectedPanel_->setGeometry(38, 24, 24, 24);
    selectedPanel_->setFrameShape(QFrame::NoFrame); // no outer bevel
    selectedPanel_->setAutoFillBackground(true);
    makeCaption(QStringLiteral("No:"), selected, 24, 60, 24);
    selectedIndex_ = new QLabel(selected);
    selectedIndex_->setObjectName(QStringLiteral("LblSelectedColorIndex"));
    selectedIndex_->setGeometry(52, 60, 32, 16);
}

void PaletteEdit::buildAnimeGroup(QWidget* page)
{
    animeGroup_ = new QGroupBox(captionOf("パレットアニメの編集", "Palette Animation"), page);
    animeGroup_->setObjectName(QStringLiteral("GroupBoxPaletteAnime"));
    animeGroup_->setGeometry(8, 240, 600, 176);
    animeView_ = makeImageView(animeGroup_, QStringLiteral("ImgPaletteAnimeView"), QRect(40, 24, 384, 24));
    const auto loaded = [this] { return context_.rom.isLoaded(); };
    animeHover_ = HoverCell(loaded, [this](int cell) {
        drawAnimeCells();
        const auto colours = context_.rom.currentStage().paletteAnimePalette();
        showStatus(cell, cell < 0 ? 0 : colours[static_cast<std::size_t>(cell)]);
    });
    animeEdit_ = makeImageView(
        animeGroup_, QStringLiteral("ImgPaletteAnimeEdit"), QRect(40, 64, 384, 96),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers) { onAnimationPressed(x, y, button); },
         .moved =
             [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
                 animeHover_.moveTo(colorGridCellAt(x, y, animeEdit_->unzoomedWidth(), animeEdit_->unzoomedHeight()));
             },
         .left = [this] { animeHover_.leave(); }});
    animeEdit_->setCellGrid(QSize(24, 24), 16, 4);
    animeEdit_->announceName(captionOf("パレットアニメ", "Palette animation"));
    animeEdit_->describeCell = [this](QPoint cell) {
        if (!context_.rom.isLoaded())
            return QString();
        return colourWord(
            context_.rom.currentStage().paletteAnimePalette()[static_cast<std::size_t>(cell.y() * 16 + cell.x())]);
    };
    for (int i = 0; i < 4; ++i) {
        auto* arrow = new QLabel(QStringLiteral("->"), animeGroup_);
        arrow->setObjectName(QStringLiteral("LblCurrentAnimePaletteArrow%1").arg(i));
        arrow->setGeometry(16, 64 + 24 * i + 4, 20, 16);
        arrow->hide();
        arrows_[static_cast<std::size_t>(i)] = arrow;
    }

    makeCaption(captionOf("フレーム総数:", "Frames:"), animeGroup_, 440, 64, 120);
    frameCount_ = new QComboBox(animeGroup_);
    frameCount_->setObjectName(QStringLiteral("ComboBoxPaletteAnimeFrameCount"));
    frameCount_->setGeometry(440, 82, 80, 22);
    frameCount_->addItems({captionOf("0(無効)", "0 (Off)"), QStringLiteral("1"), QStringLiteral("2"),
                           QStringLiteral("3"), QStringLiteral("4")});
    QObject::connect(frameCount_, &QComboBox::currentIndexChanged, frameCount_,
                     [this](int index) { onFrameCountChosen(index); });
    makeCaption(captionOf("アニメーション間隔:", "Frame Interval:"), animeGroup_, 440, 112, 120);
    frameTimer_ = makeHexBox(QStringLiteral("EditPaletteAnimeFrameTimer"), animeGroup_, 440, 130, 24, 24);
    QObject::connect(frameTimer_, &QLineEdit::textChanged, frameTimer_, [this] { onFrameTimerTyped(); });
    // The view and arrows change every few frames; Qt's backing store double-buffers
    // every widget, so they repaint without flicker.
}

// ---- entry points ----

void PaletteEdit::open()
{
    const GraphicManager& graphics = context_.graphics;
    for (ImageView* view : entryViews_)
        giveDisplayBitmap(view, graphics, 24, 24);
    giveDisplayBitmap(colorTable_, graphics, 384, 96);
    giveDisplayBitmap(animeView_, graphics, 384, 24);
    giveDisplayBitmap(animeEdit_, graphics, 384, 96);
    selectedColor_ = 0;
    showNumbers_ = true;
    stageChanged();
}

void PaletteEdit::stageChanged()
{
    hoveredEntry_ = -1;
    colorHover_.forget();
    animeHover_.forget();
    const StageData& stage = context_.rom.currentStage();
    context_.graphics.setBGPalette(stage.bgPalette());
    context_.graphics.setPaletteAnime(stage.paletteAnimeFrameCount(), stage.paletteAnimeFrameTimer(),
                                      stage.paletteAnimePalette());
    showAnimeSettings();
    drawAll();
}

void PaletteEdit::refresh()
{
    showAnimeSettings();
    drawAll();
}

void PaletteEdit::animationTick() { drawAnimeViewAndArrows(); }

void PaletteEdit::showAnimeSettings()
{
    const StageData& stage = context_.rom.currentStage();
    const UpdatingGuard updating(updating_);
    // A stored count above 4 matches no item: the box shows none.
    const int count = stage.paletteAnimeFrameCount();
    frameCount_->setCurrentIndex(count < frameCount_->count() ? count : -1);
    frameTimer_->setText(hex2Text(stage.paletteAnimeFrameTimer()));
}

void PaletteEdit::selectEntry(int entry)
{
    if (entry < 0 || entry >= PaletteEntryCount)
        return;
    QLineEdit* box = entryBoxes_[static_cast<std::size_t>(entry)];
    box->setFocus();
    box->selectAll();
}

void PaletteEdit::markAnimationCell(int cell)
{
    const auto colours = context_.rom.currentStage().paletteAnimePalette();
    if (cell >= 0 && cell < static_cast<int>(colours.size()))
        animeHover_.show(cell);
}

void PaletteEdit::focusFrameCount() { frameCount_->setFocus(); }

void PaletteEdit::showUnused(bool shown)
{
    showUnused_ = shown;
    if (context_.rom.isLoaded())
        drawAll();
}

int PaletteEdit::currentEntry() const
{
    for (int i = 0; i < PaletteEntryCount; ++i)
        if (entryBoxes_[static_cast<std::size_t>(i)]->hasFocus())
            return i;
    return hoveredEntry_;
}

// ---- drawing ----

void PaletteEdit::drawAll()
{
    unused_.fill(false);
    if (showUnused_)
        for (const int entry : unusedPaletteEntries(context_.rom.currentStage()))
            unused_[static_cast<std::size_t>(entry)] = true;
    drawColorTable();
    drawSelectedColor();
    for (int i = 0; i < PaletteEntryCount; ++i)
        drawPaletteEntry(i, false);
    drawAnimeCells();
    drawAnimeViewAndArrows();
}

QString PaletteEdit::colourWord(int colour)
{
    return QString::fromStdString(localized("色 ", "colour ")) + hex2Text(static_cast<unsigned>(colour & 0xFF));
}

void PaletteEdit::drawColorTable()
{
    IndexedBitmap* bitmap = colorTable_->bitmap();
    if (!bitmap)
        return;
    context_.graphics.drawColorTable(*bitmap);
    if (const int cell = colorHover_.cell(); cell >= 0)
        context_.graphics.drawCursorFrame(*bitmap, (cell % 16) * 24, (cell / 16) * 24, 24, 24);
    colorTable_->redraw();
}

void PaletteEdit::drawSelectedColor()
{
    selectedColor_ = shownSelectedColor(selectedColor_);
    QPalette colours = selectedPanel_->palette();
    colours.setColor(QPalette::Window, toQColor(context_.graphics.getRGB(selectedColor_)));
    selectedPanel_->setPalette(colours);
    selectedIndex_->setText(hex2Text(selectedColor_));
}

void PaletteEdit::drawPaletteEntry(int entry, bool withFrame)
{
    ImageView* view = entryViews_[static_cast<std::size_t>(entry)];
    const std::uint8_t value = context_.rom.currentStage().bgPalette()[static_cast<std::size_t>(entry)];
    if (IndexedBitmap* bitmap = view->bitmap()) {
        context_.graphics.fillBitmap(*bitmap, context_.graphics.getRGB(value));
        if (withFrame)
            context_.graphics.drawCursorFrame(*bitmap, 0, 0, view->unzoomedWidth(), view->unzoomedHeight());
        if (unused_[static_cast<std::size_t>(entry)])
            crossOut(*bitmap);
        view->redraw();
        view->describeCursor();
    }
    setBoxText(entryBoxes_[static_cast<std::size_t>(entry)], hex2Text(value));
}

void PaletteEdit::drawAnimeCells()
{
    IndexedBitmap* bitmap = animeEdit_->bitmap();
    if (!bitmap)
        return;
    context_.graphics.drawAnimePalettes(*bitmap, showNumbers_);
    if (const int cell = animeHover_.cell(); cell >= 0)
        context_.graphics.drawCursorFrame(*bitmap, (cell % 16) * 24, (cell / 16) * 24, 24, 24);
    animeEdit_->redraw();
}

void PaletteEdit::drawAnimeViewAndArrows()
{
    if (IndexedBitmap* bitmap = animeView_->bitmap()) {
        context_.graphics.drawCurrentPalette(*bitmap);
        animeView_->redraw();
    }
    const int frame = context_.graphics.getAnimeFrame();
    for (int i = 0; i < 4; ++i)
        arrows_[static_cast<std::size_t>(i)]->setVisible(frame == i);
}

void PaletteEdit::setBoxText(QLineEdit* box, const QString& text)
{
    if (box->text() == text)
        return;
    const UpdatingGuard updating(updating_);
    box->setText(text);
}

void PaletteEdit::showStatus(int cell, int colorIndex)
{
    context_.setStatus(
        1, cell < 0 ? QString() : QString::fromStdString(colorStatusText(static_cast<std::uint8_t>(colorIndex))));
}

// ---- events ----

void PaletteEdit::onPaletteEntered(int entry)
{
    if (!context_.rom.isLoaded())
        return;
    hoveredEntry_ = entry;
    drawPaletteEntry(entry, true);
}

void PaletteEdit::onPaletteLeft(int entry)
{
    if (!context_.rom.isLoaded())
        return;
    hoveredEntry_ = -1;
    drawPaletteEntry(entry, false);
}

void PaletteEdit::onPalettePressed(int entry, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded())
        return;
    if (button == Qt::LeftButton) {
        // The box takes the colour as if typed; its change handling writes it.
        setBoxText(entryBoxes_[static_cast<std::size_t>(entry)], hex2Text(selectedColor_));
        onColourTyped(entry);
    } else if (button == Qt::RightButton) {
        selectedColor_ = context_.rom.currentStage().bgPalette()[static_cast<std::size_t>(entry)];
        drawSelectedColor();
    }
}

void PaletteEdit::onColourTyped(int entry)
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    QLineEdit* box = entryBoxes_[static_cast<std::size_t>(entry)];
    StageData& stage = context_.rom.currentStage();
    const auto input =
        readPaletteEntryBox(box->text().toStdString(), stage.bgPalette()[static_cast<std::size_t>(entry)]);
    if (!input)
        return;
    setBoxText(box, QString::fromStdString(input->text));
    if (stage.setPaletteColor(entry, input->value))
        drawPaletteEntry(entry, hoveredEntry_ == entry);
}

void PaletteEdit::onColourTablePressed(int x, int y)
{
    if (!context_.rom.isLoaded())
        return;
    const int cell = colorGridCellAt(x, y, colorTable_->unzoomedWidth(), colorTable_->unzoomedHeight());
    if (cell < 0)
        return;
    selectedColor_ = static_cast<std::uint8_t>(cell);
    drawSelectedColor();
}

void PaletteEdit::onAnimationPressed(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded())
        return;
    const int cell = colorGridCellAt(x, y, animeEdit_->unzoomedWidth(), animeEdit_->unzoomedHeight());
    if (cell < 0)
        return;
    StageData& stage = context_.rom.currentStage();
    if (button == Qt::LeftButton) {
        if (stage.setPaletteAnimeColor(cell, selectedColor_))
            drawAnimeCells();
    } else if (button == Qt::RightButton) {
        selectedColor_ = stage.paletteAnimePalette()[static_cast<std::size_t>(cell)];
        drawSelectedColor();
    }
}

void PaletteEdit::onFrameCountChosen(int index)
{
    if (updating_ || index < 0 || !context_.rom.isLoaded())
        return;
    if (context_.rom.currentStage().setPaletteAnimeFrameCount(static_cast<std::uint8_t>(index)))
        drawAnimeViewAndArrows();
}

void PaletteEdit::onFrameTimerTyped()
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    StageData& stage = context_.rom.currentStage();
    const auto input = readFrameTimerBox(frameTimer_->text().toStdString(), stage.paletteAnimeFrameTimer());
    if (!input)
        return;
    setBoxText(frameTimer_, QString::fromStdString(input->text));
    if (stage.setPaletteAnimeFrameTimer(input->value))
        drawAnimeViewAndArrows();
}

} // namespace vx
