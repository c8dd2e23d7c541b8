#include "gui/pages/PageTabs.h"

#include "core/base/Language.h"

#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>

namespace vx {
namespace {

// Asks for room for its sheet whole (a plain scroll area caps its wish at a few lines of
// text), so the window knows the size at which nothing scrolls; it makes do with less.
class PageScroll : public QScrollArea {
public:
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return (widget() ? widget()->minimumSizeHint() : QSize()).expandedTo(QSize(0, 0)) + QSize(frame, frame);
    }
};

} // namespace

void addPageTabs(QTabWidget& pages)
{
    // The tiles page stands last; it keeps the pattern-table page's name.
    const char* const names[PageCount] = {"TabSheetMapEdit",         "TabSheet32x32ChipEdit", "TabSheetPaletteEdit",
                                          "TabSheetObjectEdit",      "TabSheetMidPointEdit",  "TabSheetScrollEdit",
                                          "TabSheetPatternTableEdit"};
    const char* const captions[PageCount][2] = {
        {"マップ", "Map"},           {"32x32チップ", "32x32 Chips"}, {"パレット", "Palette"},
        {"オブジェクト", "Objects"}, {"復帰地点", "Restart Points"}, {"スクロール", "Scroll"},
        {"タイル", "Tiles"}};
    for (int i = 0; i < PageCount; ++i) {
        // Only the sheet scrolls in a window smaller than it: the tabs and the stage selector
        // stay where a click expects them.
        auto* scroll = new PageScroll;
        scroll->setObjectName(QStringLiteral("MainScrollArea"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        // The tab pane shows through, as it did behind a bare sheet.
        scroll->viewport()->setAutoFillBackground(false);
        auto* sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(names[i]));
        scroll->setWidget(sheet);
        pages.addTab(scroll, QString::fromStdString(captionText(captions[i][0], captions[i][1])));
    }
}

QScrollArea* pageScroll(const QTabWidget& pages, int page) { return qobject_cast<QScrollArea*>(pages.widget(page)); }

QWidget* pageSheet(const QTabWidget& pages, int page)
{
    QScrollArea* scroll = pageScroll(pages, page);
    return scroll ? scroll->widget() : nullptr;
}

} // namespace vx
