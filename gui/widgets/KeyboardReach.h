#pragma once
#include <QString>
#include <vector>

class QWidget;

namespace vx {

// A caption as a screen reader should say it: without its access letter ("保存(&S)" is
// "保存", "&Save" is "Save"); "&&" stays one "&".
QString withoutAccessMarks(const QString& caption);

// Gives every control of a page that has none an accessible name in the interface language:
// a button or box its caption, a box without one (hex boxes, lists, bars) the caption
// standing left of it or just above it, else its group's title.
void nameControls(QWidget* page);

// The controls of a page that take Tab, in reading order: by their top, then their left,
// on the page (views and the controls of the page's boxes alike).
std::vector<QWidget*> readingOrder(QWidget* page);
// Makes Tab go through a page's controls in reading order.
void orderFocus(QWidget* page);

} // namespace vx
