#pragma once
#include <array>
#include <cstdint>

#include "gui/pages/EditorUnit.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace vx {

class TImageView;

// The palette page: the stage's 16 background entries, the 64-colour table, the palette
// animation with its live view. Its StageChanged hands the stage's colours to the
// renderer, which every other page draws with.
class TPaletteEdit : public TEditorUnit {
public:
    explicit TPaletteEdit(TEditorContext& context) : context_(context) {}

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;

    std::uint8_t SelectedColor() const { return selectedColor_; }
    // Focuses an entry's box with its text selected, ready for two hex digits.
    void SelectEntry(int entry);
    // Frames an animation colour (row x 16 + column) as the pointer does, its colour in the
    // status bar, until the pointer moves over the rows.
    void MarkAnimationCell(int cell);
    void FocusFrameCount();

private:
    void BuildEntryGroup(QWidget* page);
    void BuildColorGroup(QWidget* page);
    void BuildAnimeGroup(QWidget* page);

    void ImgPaletteEditXMouseEnter(int entry);
    void ImgPaletteEditXMouseLeave(int entry);
    void ImgPaletteEditXMouseDown(int entry, Qt::MouseButton button);
    void EditPaletteEditXChange(int entry);
    void ImgColorTableMouseDown(int x, int y);
    void ImgColorTableMouseMove(int x, int y);
    void ImgColorTableMouseLeave();
    void ImgPaletteAnimeEditMouseDown(int x, int y, Qt::MouseButton button);
    void ImgPaletteAnimeEditMouseMove(int x, int y);
    void ImgPaletteAnimeEditMouseLeave();
    void ComboBoxPaletteAnimeFrameCountChange(int index);
    void EditPaletteAnimeFrameTimerChange();

    void ShowAnimeSettings();
    void DrawAll();
    void DrawColorTable();
    void DrawSelectedColor();
    void DrawPaletteEntry(int entry, bool withFrame);
    void DrawAnimeCells();
    void DrawAnimeViewAndArrows();
    // Sets a box's text without taking it as typing.
    void SetBoxText(QLineEdit* box, const QString& text);
    void ShowStatus(int cell, int previous);

    TEditorContext& context_;
    bool updating_ = false;
    std::uint8_t selectedColor_ = 0;
    int hoveredEntry_ = -1;
    int hoveredColor_ = -1;
    int hoveredAnimeCell_ = -1;
    bool showNumbers_ = false;

    std::array<TImageView*, 16> entryViews_{};
    std::array<QLineEdit*, 16> entryBoxes_{};
    TImageView* colorTable_ = nullptr;
    QFrame* selectedPanel_ = nullptr;
    QLabel* selectedIndex_ = nullptr;
    QGroupBox* animeGroup_ = nullptr;
    TImageView* animeView_ = nullptr;
    TImageView* animeEdit_ = nullptr;
    std::array<QLabel*, 4> arrows_{};
    QComboBox* frameCount_ = nullptr;
    QLineEdit* frameTimer_ = nullptr;
};

} // namespace vx
