#pragma once
#include "gui/pages/PageNavigator.h"

class QScrollArea;
class QTabWidget;
class QWidget;

namespace vx {

// One empty page for each Page, with its caption: a scroll area holding the sheet the
// page's controls stand on, named as the controls' tests know it.
void addPageTabs(QTabWidget& pages);
// The scroll area that is a page of the control, and the sheet in it.
QScrollArea* pageScroll(const QTabWidget& pages, int page);
QWidget* pageSheet(const QTabWidget& pages, int page);

} // namespace vx
