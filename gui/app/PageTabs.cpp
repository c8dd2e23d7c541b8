#include "gui/app/PageTabs.h"

#include "core/base/Language.h"

#include <QTabBar>
#include <QTabWidget>

namespace vx {

void addPageTabs(QTabWidget& pages)
{
    // The tiles page stands last of the tabs shown; it keeps the pattern-table page's name.
    const char* const names[PageCount] = {"TabSheetMapEdit",          "TabSheet32x32ChipEdit", "TabSheetPaletteEdit",
                                          "TabSheetObjectEdit",       "TabSheetMidPointEdit",  "TabSheetScrollEdit",
                                          "TabSheetPatternTableEdit", "TabSheetSpriteBankEdit"};
    const char* const captions[PageCount][2] = {
        {"マップ", "Map"},           {"32x32チップ", "32x32 Chips"},      {"パレット", "Palette"},
        {"オブジェクト", "Objects"}, {"復帰地点", "Restart Points"},      {"スクロール", "Scroll"},
        {"タイル", "Tiles"},         {"スプライトバンク", "Sprite Banks"}};
    for (int i = 0; i < PageCount; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(names[i]));
        pages.addTab(page, QString::fromStdString(captionText(captions[i][0], captions[i][1])));
    }
    pages.tabBar()->setTabVisible(pgSpriteBankEdit, false);
}

} // namespace vx
