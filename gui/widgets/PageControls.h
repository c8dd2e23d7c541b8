#pragma once
#include <QString>
#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QScrollBar;
class QWidget;

namespace vx {

class TStageData;

// Two upper-case hex digits, the way the pages show the game's numbers.
QString Hex2Text(unsigned value);
// A fixed caption of the layout (UTF-8 text).
QLabel* MakeCaption(const char* text, QWidget* parent, int x, int y, int width);
// A label the page writes into, named for lookups and tests.
QLabel* MakeValueLabel(const QString& name, QWidget* parent, int x, int y, int width);
// A horizontal bar that picks a room, one step per click, from 0 to `highest`.
QScrollBar* MakeRoomScrollBar(const QString& name, QWidget* parent, int x, int y, int width, int highest);
// Sets a label's text only when it changes: pages rewrite theirs on every animation frame.
void SetLabelText(QLabel* label, const QString& text);
// A captioned box at (3, y) of the page, 200 x 66, with two radio buttons, ids 0 and 1.
QButtonGroup* MakeRadioGroup(QWidget* page, const char* caption, const char* name, int y, const char* first,
                             const char* second);
// One quarter of a stage's 32x32 chip: its entry ("1A(02)") and its attribute's name.
void ShowChipQuarter(QLabel* entry, QLabel* attribute, const TStageData& stage, int chip, int quarter,
                     const std::vector<std::string>& attributeNames);

} // namespace vx
