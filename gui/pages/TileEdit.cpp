#include "gui/pages/TileEdit.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/StageTiles.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "render/PatternData.h"
#include "render/WorkingSheets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <algorithm>
#include <cstring>

namespace vx {
namespace {

constexpr int EditorSide = 256;
constexpr int SwatchWidth = 48;
constexpr int GridIndex = 4;   // the editor's lines between pixels
constexpr int BorderIndex = 5; // and between its tiles
constexpr int CursorIndex = GraphicManager::StageCursorIndex;

std::unique_ptr<IndexedBitmap> makeBitmap(int width, int height)
{
    auto bitmap = std::make_unique<IndexedBitmap>(width, height);
    bitmap->setColor(GridIndex, RGB(80, 80, 80));
    bitmap->setColor(BorderIndex, RGB(160, 160, 160));
    bitmap->setColor(CursorIndex, GraphicManager::CursorColor);
    return bitmap;
}

void setColours(IndexedBitmap& bitmap, const std::array<std::uint32_t, 4>& colours)
{
    for (int c = 0; c < 4; ++c)
        if (bitmap.color(c) != colours[static_cast<std::size_t>(c)])
            bitmap.setColor(c, colours[static_cast<std::size_t>(c)]);
}

// "Background tile", or for the narrow status panel "BG".
QString tableName(TileTable table, bool brief = false)
{
    if (table == TileTable::Sprites)
        return QString::fromStdString(brief ? localized("スプライト", "Sprite")
                                            : localized("スプライトタイル", "Sprite tile"));
    return QString::fromStdString(brief ? localized("背景", "BG") : localized("背景タイル", "Background tile"));
}

} // namespace

// ---- controls ----

void TileEdit::bindControls(QWidget* page)
{
    const auto tableView = [&](TileTable table, const char* name, int x) {
        return makeImageView(
            page, QString::fromLatin1(name), QRect(x, 24, 256, 256),
            {.pressed = [this, table](int px, int py, Qt::MouseButton button,
                                      Qt::KeyboardModifiers) { onTablePressed(table, px, py, button); },
             .moved = [this, table](int px, int py, Qt::MouseButtons,
                                    Qt::KeyboardModifiers) { onTableHover(table, px, py); },
             .left = [this] { context_.setStatus(1, QString()); }},
            1);
    };
    bgView_ = tableView(TileTable::Background, "ImgBGPatternTableView", 48);
    spriteView_ = tableView(TileTable::Sprites, "ImgSpritePatternTableView", 310);
    for (ImageView* view : {bgView_, spriteView_}) {
        view->setFollowsZoom(true);
        view->setCellGrid(QSize(16, 16), 16, 16); // a tile at 2x
        view->describeCell = [](QPoint cell) {
            return QString::fromStdString(localized("タイル ", "tile ")) +
                hex2Text(static_cast<unsigned>(tilePixelAtPicture(cell.x() * 8, cell.y() * 8).tile));
        };
    }
    bgView_->announceName(captionOf("背景のタイル", "Background tiles"));
    spriteView_->announceName(captionOf("スプライトのタイル", "Sprite tiles"));
    tableMenu_ = new QMenu(page);
    tableMenu_->setObjectName(QStringLiteral("MenuTileTable"));
    QAction* swap = tableMenu_->addAction(QString());
    swap->setObjectName(QStringLiteral("MenuItemTileTableSwap"));
    QObject::connect(swap, &QAction::triggered, swap, [this] {
        if (swapRequested)
            swapRequested();
    });
    QObject::connect(bgView_, &ImageView::mousePressed, bgView_,
                     [this](int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers) {
                         if (button == Qt::RightButton)
                             offerSwap(x, y);
                     });
    const auto paletteBox = [&](const QString& caption, const char* name, int x) {
        makeCaption(caption, page, x, 4, 100);
        makeCaption(captionOf("サブパレット:", "Sub-palette:"), page, x + 110, 4, 90);
        auto* box = new QComboBox(page);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(x + 200, 1, 56, 22);
        for (int p = 0; p < 4; ++p)
            box->addItem(QString::number(p));
        QObject::connect(box, &QComboBox::currentIndexChanged, box, [this] {
            drawTables();
            drawEditor();
            drawSwatches();
        });
        return box;
    };
    bgPaletteBox_ = paletteBox(captionOf("背景", "Background"), "ComboBoxBGSubPalette", 48);
    spritePaletteBox_ = paletteBox(captionOf("スプライト", "Sprites"), "ComboBoxSpriteSubPalette", 310);
    buildEditor(page);
    editorHover_ = HoverCell(
        [this] { return context_.rom.isLoaded(); },
        [this](int cell) {
            context_.setStatus(1, cell < 0 ? QString() : tileStatus(table_, cell / 256, cell % 8, (cell / 8) % 8));
        });
}

void TileEdit::buildEditor(QWidget* page)
{
    editorView_ = makeImageView(page, QStringLiteral("ImgTileEditView"), QRect(48, 292, EditorSide, EditorSide),
                                {.pressed = [this](int x, int y, Qt::MouseButton button,
                                                   Qt::KeyboardModifiers) { onEditorPressed(x, y, button); },
                                 .moved = [this](int x, int y, Qt::MouseButtons buttons,
                                                 Qt::KeyboardModifiers) { onEditorMoved(x, y, buttons); },
                                 .left = [this] { editorHover_.leave(); }});
    QObject::connect(editorView_, &ImageView::mouseReleased, editorView_, [this] { onEditorReleased(); });
    editorView_->setFollowsZoom(true);
    editorView_->announceName(captionOf("タイルの編集", "Tile editor"));
    editorView_->describeCell = [this](QPoint cell) {
        const int side = EditorSide / editorCellGrid();
        const TilePixel at = editorPixel(cell.x() * side, cell.y() * side);
        if (at.tile < 0 || !context_.rom.isLoaded())
            return QString();
        const int colour = tilePixel(workingTile(context_.rom.currentStage(), sources_, table_, at.tile), at.x, at.y);
        return QString::fromStdString(localized("色 ", "colour ")) + QString::number(colour);
    };
    // Digits paint the cursor's pixel in that colour, as picking the swatch and clicking does.
    QObject::connect(editorView_, &ImageView::cellKeyPressed, editorView_, [this](int key, int, int) {
        if (key < Qt::Key_0 || key > Qt::Key_3)
            return;
        colour_ = key - Qt::Key_0;
        drawSwatches();
        editorView_->clickCursor(Qt::LeftButton, Qt::NoModifier);
        editorView_->describeCursor();
    });

    auto* sizeBox = new QGroupBox(captionOf("編集範囲", "Edited Size"), page);
    sizeBox->setObjectName(QStringLiteral("GroupBoxTileEditSize"));
    sizeBox->setGeometry(310, 286, 256, 46);
    sizeGroup_ = new QButtonGroup(sizeBox);
    const QString captions[2] = {captionOf("16x16チッ"
                                           "プ(&C)",
                                           "16x16 &Chip"),
                                 captionOf("8x8タイル(&I)", "8x8 T&ile")};
    const char* const names[2] = {"RadioTileEditChip", "RadioTileEditTile"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(captions[i], sizeBox);
        radio->setObjectName(QString::fromLatin1(names[i]));
        radio->setGeometry(10 + 120 * i, 18, 116, 22);
        sizeGroup_->addButton(radio, i);
    }
    sizeGroup_->button(0)->setChecked(true);
    QObject::connect(sizeGroup_, &QButtonGroup::idClicked, sizeGroup_, [this] {
        editorView_->setCellGrid(QSize(EditorSide, EditorSide) / editorCellGrid(), editorCellGrid(), editorCellGrid());
        drawTables();
        drawEditor();
        showSelection();
    });

    makeCaption(captionOf("描く色 (右クリックで拾"
                          "う)",
                          "Drawing Colour (right-click picks)"),
                page, 310, 338, 256);
    swatchView_ = makeImageView(page, QStringLiteral("ImgTileColours"), QRect(310, 356, 4 * SwatchWidth, 40),
                                {.pressed = [this](int x, int, Qt::MouseButton, Qt::KeyboardModifiers) {
                                    colour_ = std::clamp(x / SwatchWidth, 0, 3);
                                    drawSwatches();
                                }});
    swatchView_->setCellGrid(QSize(SwatchWidth, 40), 4, 1);
    swatchView_->announceName(captionOf("描く色", "Drawing colour"));
    editorView_->setCellGrid(QSize(16, 16), 16, 16);
    infoLabel_ = makeValueLabel(QStringLiteral("LblTileInfo"), page, 310, 404, 300);
    infoLabel_->setGeometry(310, 404, 300, 144);
    infoLabel_->setWordWrap(true);
    infoLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// ---- entry points ----

void TileEdit::open()
{
    for (ImageView* view : {bgView_, spriteView_})
        if (view && !view->hasBitmap())
            view->setBitmap(makeBitmap(128, 128));
    if (editorView_ && !editorView_->hasBitmap())
        editorView_->setBitmap(makeBitmap(EditorSide, EditorSide));
    if (swatchView_ && !swatchView_->hasBitmap())
        swatchView_->setBitmap(makeBitmap(4 * SwatchWidth, 40));
    stageChanged();
}

void TileEdit::stageChanged()
{
    assemble(true);
    refresh();
}

void TileEdit::refresh()
{
    if (!context_.rom.isLoaded() || !editorView_ || !editorView_->hasBitmap())
        return;
    drawTables();
    drawEditor();
    drawSwatches();
    showSelection();
}

void TileEdit::animationTick()
{
    if (!editorView_ || !editorView_->hasBitmap())
        return;
    drawTables();
    drawEditor();
    drawSwatches();
}

void TileEdit::tilesChanged()
{
    assemble(false);
    refresh();
}

void TileEdit::assemble(bool warn)
{
    const StageData& stage = context_.rom.currentStage();
    sources_ = patternSourcesOf(stage.patternTableSetting(), context_.rom.imageSize());
    const auto warning = [this](const std::string& text) {
        context_.prompts.showWarning(QString::fromStdString(text));
    };
    buildPatternData(stage.patternTableSetting(), context_.rom.imageBytes(),
                     stage.address(TableKey::PatternTableSetting), patternData_,
                     warn ? std::function<void(const std::string&)>(warning) : nullptr, &stage.tileEdits());
    context_.graphics.setPatternData(patternData_);
    context_.graphics.setPatternTable(
        std::span<const std::uint8_t, PatternTableSize>(patternData_.data() + TileTableLength, PatternTableSize));
}

int TileEdit::subPalette(TileTable table) const
{
    const QComboBox* box = table == TileTable::Background ? bgPaletteBox_ : spritePaletteBox_;
    return box ? std::max(0, box->currentIndex()) : 0;
}

bool TileEdit::editsChips() const { return !sizeGroup_ || sizeGroup_->checkedId() == 0; }

// ---- mouse ----

void TileEdit::onTablePressed(TileTable table, int x, int y, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !context_.rom.isLoaded())
        return;
    const TilePixel at = tilePixelAtPicture(std::clamp(x / 2, 0, 127), std::clamp(y / 2, 0, 127));
    table_ = table;
    tile_ = at.tile;
    refresh();
}

void TileEdit::onTableHover(TileTable table, int x, int y)
{
    if (!context_.rom.isLoaded() || x < 0 || y < 0 || x >= 256 || y >= 256)
        return;
    const TilePixel at = tilePixelAtPicture(x / 2, y / 2);
    context_.setStatus(1, tileStatus(table, at.tile, at.x, at.y));
}

void TileEdit::offerSwap(int x, int y)
{
    if (!context_.rom.isLoaded() || !swapRequested)
        return;
    onTablePressed(TileTable::Background, x, y, Qt::LeftButton);
    QAction* swap = tableMenu_->actions().front();
    swap->setText(QString::fromStdString(editsChips() ? localized("この 16x16チップを入れ替え(&S)...", //
                                                                  "&Swap This 16x16 Chip...")
                                                      : localized("この 8x8タイルを入れ替え(&S)...", //
                                                                  "&Swap This 8x8 Tile...")));
    tableMenu_->popup(bgView_->globalPosition(x, y));
}

int TileEdit::editorCellGrid() const { return sizeGroup_ && sizeGroup_->checkedId() == 1 ? 8 : 16; }

TilePixel TileEdit::editorPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= EditorSide || y >= EditorSide)
        return {-1, 0, 0};
    if (sizeGroup_ && sizeGroup_->checkedId() == 1)
        return {tile_, x / 32, y / 32};
    const int px = x / 16, py = y / 16;
    return {(tile_ & ~3) + (px >= 8 ? 2 : 0) + (py >= 8 ? 1 : 0), px % 8, py % 8};
}

void TileEdit::onEditorPressed(int x, int y, Qt::MouseButton button)
{
    const TilePixel at = editorPixel(x, y);
    if (at.tile < 0 || !context_.rom.isLoaded())
        return;
    StageData& stage = context_.rom.currentStage();
    if (button == Qt::RightButton) {
        colour_ = tilePixel(workingTile(stage, sources_, table_, at.tile), at.x, at.y);
        drawSwatches();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    painting_ = true;
    stage.beginGesture();
    paintAt(x, y);
}

void TileEdit::onEditorMoved(int x, int y, Qt::MouseButtons buttons)
{
    const TilePixel at = editorPixel(x, y);
    editorHover_.moveTo(at.tile < 0 ? -1 : 256 * at.tile + 8 * at.y + at.x);
    if (painting_ && (buttons & Qt::LeftButton))
        paintAt(x, y);
}

void TileEdit::onEditorReleased()
{
    if (!painting_)
        return;
    painting_ = false;
    context_.rom.currentStage().endGesture();
}

void TileEdit::paintAt(int x, int y)
{
    const TilePixel at = editorPixel(x, y);
    if (at.tile < 0)
        return;
    StageData& stage = context_.rom.currentStage();
    const Result<bool> painted = paintTilePixel(stage, sources_, table_, at.tile, at.x, at.y, colour_);
    if (!painted.ok()) {
        setLabelText(infoLabel_, QString::fromStdString(painted.error().message));
        return;
    }
    if (!painted.value())
        return;
    const auto offsets = tileSources(sources_, table_, at.tile);
    const std::int32_t changed[2] = {offsets[at.y], offsets[at.y + 8]};
    showPainted(changed);
}

void TileEdit::showPainted(std::span<const std::int32_t> offsets)
{
    const StageData& stage = context_.rom.currentStage();
    std::array<bool, TileCount> redecode{};
    bool sprites = false;
    for (std::size_t p = 0; p < sources_.offsets.size(); ++p) {
        const std::int32_t offset = sources_.offsets[p];
        if (offset == PatternSources::Zero || std::find(offsets.begin(), offsets.end(), offset) == offsets.end())
            continue;
        patternData_[p] = stage.tileEdits().byteAt(context_.rom.imageBytes(), offset);
        if (p >= TileTableLength)
            redecode[(p - TileTableLength) / TileLength] = true;
        else
            sprites = true;
    }
    const bool background = std::find(redecode.begin(), redecode.end(), true) != redecode.end();
    if (sheets_ && sheets_->ready() && background) {
        for (int tile = 0; tile < TileCount; ++tile)
            if (redecode[static_cast<std::size_t>(tile)])
                context_.graphics.decodeChipSheetTile(*sheets_->chipSheet, tile);
        sheets_->recompose(context_.graphics, stage.chip32x32());
    }
    if (background)
        drawTable(TileTable::Background);
    if (sprites)
        drawTable(TileTable::Sprites);
    drawEditor();
}

// ---- drawing ----

std::array<std::uint32_t, 4> TileEdit::colours(TileTable table) const
{
    const PaletteManager& palette = context_.graphics.paletteManager();
    const int p = subPalette(table);
    std::array<std::uint32_t, 4> result{};
    // Colour 0 is the shared background colour in every sub-palette, as the console shows it.
    result[0] = palette.getRGB(palette.getPaletteEntry(0));
    for (int c = 1; c < 4; ++c)
        result[static_cast<std::size_t>(c)] = table == TileTable::Background
            ? palette.getRGB(palette.getPaletteEntry(4 * p + c))
            : palette.getRGB(context_.rom.currentStage().spritePalette()[static_cast<std::size_t>(4 * p + c)]);
    return result;
}

void TileEdit::drawTables()
{
    drawTable(TileTable::Background);
    drawTable(TileTable::Sprites);
}

void TileEdit::drawTable(TileTable table)
{
    const bool chipMode = !sizeGroup_ || sizeGroup_->checkedId() == 0;
    ImageView* view = table == TileTable::Background ? bgView_ : spriteView_;
    if (!view || !view->hasBitmap())
        return;
    IndexedBitmap& bitmap = *view->bitmap();
    setColours(bitmap, colours(table));
    context_.graphics.decodeTileTable(
        bitmap,
        std::span<const std::uint8_t, TileTableLength>(patternData_.data() + tableStart(table), TileTableLength), 0, 0,
        0);
    if (table == table_) {
        const auto [left, top] = tilePictureCorner(chipMode ? tile_ & ~3 : tile_);
        context_.graphics.drawCursorFrame(bitmap, left, top, chipMode ? 16 : 8, chipMode ? 16 : 8);
    }
    view->redraw();
}

void TileEdit::drawEditor()
{
    if (!editorView_ || !editorView_->hasBitmap() || !context_.rom.isLoaded())
        return;
    IndexedBitmap& bitmap = *editorView_->bitmap();
    setColours(bitmap, colours(table_));
    const bool tileMode = sizeGroup_ && sizeGroup_->checkedId() == 1;
    const int scale = tileMode ? 32 : 16;
    const int start = tableStart(table_);
    std::uint8_t* bits = bitmap.bits();
    // Blocks of one pixel each, then the grid over them: rows by memset, so a stroke stays cheap.
    for (int cy = 0; cy < EditorSide / scale; ++cy)
        for (int cx = 0; cx < EditorSide / scale; ++cx) {
            const TilePixel at = editorPixel(cx * scale, cy * scale);
            const auto tile = std::span<const std::uint8_t, TileLength>(
                patternData_.data() + start + TileLength * at.tile, TileLength);
            const std::uint8_t value = tilePixel(tile, at.x, at.y);
            for (int row = 0; row < scale; ++row)
                std::memset(bits + (cy * scale + row) * EditorSide + cx * scale, value,
                            static_cast<std::size_t>(scale));
        }
    for (int k = 0; k < EditorSide; k += scale) {
        const std::uint8_t line = k % 128 == 0 ? BorderIndex : GridIndex;
        std::memset(bits + k * EditorSide, line, EditorSide);
        for (int y = 0; y < EditorSide; ++y)
            if (std::uint8_t& pixel = bits[y * EditorSide + k]; pixel != BorderIndex)
                pixel = line; // a tile border stays where a grid line crosses it
    }
    editorView_->redraw();
}

void TileEdit::drawSwatches()
{
    if (!swatchView_ || !swatchView_->hasBitmap())
        return;
    IndexedBitmap& bitmap = *swatchView_->bitmap();
    setColours(bitmap, colours(table_));
    std::uint8_t* bits = bitmap.bits();
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            bits[y * bitmap.width() + x] = static_cast<std::uint8_t>(x / SwatchWidth);
    context_.graphics.drawCursorFrame(bitmap, colour_ * SwatchWidth, 0, SwatchWidth, bitmap.height());
    context_.graphics.drawCursorFrame(bitmap, colour_ * SwatchWidth + 1, 1, SwatchWidth - 2, bitmap.height() - 2);
    swatchView_->redraw();
}

void TileEdit::showSelection()
{
    if (!infoLabel_ || !context_.rom.isLoaded())
        return;
    const bool chipMode = !sizeGroup_ || sizeGroup_->checkedId() == 0;
    std::vector<int> tiles;
    for (int t = chipMode ? tile_ & ~3 : tile_; t <= (chipMode ? (tile_ | 3) : tile_); ++t)
        tiles.push_back(t);
    QString text = tableName(table_) + QStringLiteral(" ") + QString::fromStdString(hexListText(tiles));
    if (chipMode)
        text += QString::fromStdString(localized(" (16x16チップ ", " (16x16 chip ")) +
            hex2Text(static_cast<unsigned>(tile_ / 4)) + QStringLiteral(")");
    std::vector<int> outside;
    for (const int t : tiles)
        if (!tileInImage(sources_, table_, t))
            outside.push_back(t);
    const std::int32_t first = tileSources(sources_, table_, tiles.front())[0];
    if (first != PatternSources::Zero)
        text += QStringLiteral("\nROM 0x") + QString::fromStdString(formatHex(static_cast<std::uint32_t>(first), 5));
    if (!outside.empty())
        text += QStringLiteral("\n") + QString::fromStdString(tileOutsideText(table_, outside));
    const std::vector<int> others =
        stagesDrawing(context_.rom, offsetsOfTiles(sources_, table_, tiles), context_.rom.currentStageIndex());
    if (!others.empty())
        text += QString::fromStdString(localized("\nこのバイトはステージ ", "\nAlso used by stages ") +
                                       hexListText(others) + localized(" でも使われています。", "."));
    setLabelText(infoLabel_, text);
}

QString TileEdit::tileStatus(TileTable table, int tile, int x, int y) const
{
    const std::int32_t offset = tileSources(sources_, table, tile)[static_cast<std::size_t>(y & 7)];
    QString text = tableName(table, true) + QStringLiteral(" ") + hex2Text(static_cast<unsigned>(tile)) +
        QStringLiteral(" (%1,%2)").arg(x).arg(y);
    // The ROM offset of the pixel's row; the panel is narrow, the selection's text says "ROM".
    if (offset != PatternSources::Zero)
        text += QStringLiteral(" 0x") + QString::fromStdString(formatHex(static_cast<std::uint32_t>(offset), 5));
    return text;
}

} // namespace vx
