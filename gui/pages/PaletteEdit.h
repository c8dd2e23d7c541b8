#pragma once
#include <array>
#include <cstdint>

#include "gui/pages/EditorUnit.h"
#include "gui/widgets/HoverCell.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace vx {

class ImageView;

// The palette page: the stage's 16 background entries, the 64-colour table, the palette
// animation with its live view. Its stageChanged hands the stage's colours to the
// renderer, which every other page draws with.
class PaletteEdit : public EditorUnit {
public:
    explicit PaletteEdit(EditorContext& context) : context_(context) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    std::uint8_t selectedColor() const { return selectedColor_; }
    // Focuses an entry's box with its text selected, ready for two hex digits.
    void selectEntry(int entry);
    // Frames an animation colour (row x 16 + column) as the pointer does, its colour in the
    // status bar, until the pointer moves over the rows.
    void markAnimationCell(int cell);
    void focusFrameCount();
    // Crosses out the entries no chip of the stage draws with, at every drawing while shown.
    void showUnused(bool shown);
    bool unusedShown() const { return showUnused_; }
    // The entry whose box has the focus, else the one under the pointer; -1 for neither.
    int currentEntry() const;

private:
    static QString colourWord(int colour);
    void buildEntryGroup(QWidget* page);
    void buildColorGroup(QWidget* page);
    void buildAnimeGroup(QWidget* page);

    void onPaletteEntered(int entry);
    void onPaletteLeft(int entry);
    void onPalettePressed(int entry, Qt::MouseButton button);
    void onColourTyped(int entry);
    void onColourTablePressed(int x, int y);
    void onAnimationPressed(int x, int y, Qt::MouseButton button);
    void onFrameCountChosen(int index);
    void onFrameTimerTyped();

    void showAnimeSettings();
    void drawAll();
    void drawColorTable();
    void drawSelectedColor();
    void drawPaletteEntry(int entry, bool withFrame);
    void drawAnimeCells();
    void drawAnimeViewAndArrows();
    // Sets a box's text without taking it as typing.
    void setBoxText(QLineEdit* box, const QString& text);
    void showStatus(int cell, int previous);

    EditorContext& context_;
    bool updating_ = false;
    std::uint8_t selectedColor_ = 0;
    int hoveredEntry_ = -1;
    HoverCell colorHover_;
    HoverCell animeHover_;
    bool showNumbers_ = false;
    bool showUnused_ = false;
    std::array<bool, 16> unused_{};

    std::array<ImageView*, 16> entryViews_{};
    std::array<QLineEdit*, 16> entryBoxes_{};
    ImageView* colorTable_ = nullptr;
    QFrame* selectedPanel_ = nullptr;
    QLabel* selectedIndex_ = nullptr;
    QGroupBox* animeGroup_ = nullptr;
    ImageView* animeView_ = nullptr;
    ImageView* animeEdit_ = nullptr;
    std::array<QLabel*, 4> arrows_{};
    QComboBox* frameCount_ = nullptr;
    QLineEdit* frameTimer_ = nullptr;
};

} // namespace vx
