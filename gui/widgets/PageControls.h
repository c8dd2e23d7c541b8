#pragma once
#include <QString>
#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QScrollBar;
class QWidget;

namespace vx {

class StageData;

// A fixed caption: Japanese whatever the locale, English when the user chose English.
QString captionOf(const char* japanese, const char* english);
// Two upper-case hex digits, the way the pages show the game's numbers.
QString hex2Text(unsigned value);
// A fixed caption of the layout.
QLabel* makeCaption(const QString& text, QWidget* parent, int x, int y, int width);
// A label the page writes into, named for lookups and tests.
QLabel* makeValueLabel(const QString& name, QWidget* parent, int x, int y, int width);
// A horizontal bar that picks a room, one step per click, from 0 to `highest`.
QScrollBar* makeRoomScrollBar(const QString& name, QWidget* parent, int x, int y, int width, int highest);
// Sets a label's text only when it changes: pages rewrite theirs on every animation frame.
void setLabelText(QLabel* label, const QString& text);
// A captioned box at (3, y) of the page, 200 x 66, with two radio buttons, ids 0 and 1.
QButtonGroup* makeRadioGroup(QWidget* page, const QString& caption, const char* name, int y, const QString& first,
                             const QString& second);
// One quarter of a stage's 32x32 chip: its entry ("1A(02)") and its attribute's name.
void showChipQuarter(QLabel* entry, QLabel* attribute, const StageData& stage, int chip, int quarter,
                     const std::vector<std::string>& attributeNames);

} // namespace vx
