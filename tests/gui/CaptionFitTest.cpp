// Every caption the editor shows fits its control, in both languages and with a larger font:
// the start screen, the pages, the dialogs they open and the tool windows.
#include "gui/image/QtGlyphRenderer.h"
#include "gui/testplay/EmulatorSettingsDialog.h"
#include "gui/widgets/PlacedLayout.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QDialog>

using namespace vx;

namespace {

class CaptionFitTest : public test::EditorFixture {
protected:
    void TearDown() override
    {
        QApplication::setFont(editorFont());
        chooseInterfaceLanguage(std::nullopt);
        EditorFixture::TearDown();
    }
    // Each clipped caption shown in `window`, by control name, text and widths.
    static void expectFits(QWidget* window, const std::string& setting)
    {
        QApplication::processEvents();
        std::string report;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const int shortfall = captionShortfall(control, control->width());
            if (shortfall <= 0 || !control->isVisibleTo(window))
                continue;
            QString text, name = control->objectName(); // an unnamed one by its kind and its parent
            for (const char* property : {"text", "title", "currentText"})
                text += control->property(property).toString();
            if (name.isEmpty())
                name = QLatin1String(control->metaObject()->className()) + QLatin1String(" in ") +
                    control->parentWidget()->objectName();
            report += "\n  " + name.toStdString() + " \"" + text.toStdString() + "\" needs " +
                std::to_string(control->width() + shortfall) + ", has " + std::to_string(control->width());
        }
        EXPECT_TRUE(report.empty()) << setting << ", " << window->objectName().toStdString() << ":" << report;
    }
};

TEST_F(CaptionFitTest, EveryCaptionFitsInBothLanguagesAtTheDefaultFontAndAQuarterLarger)
{
    for (const double scale : {1.0, 1.25})
        for (const Language language : {Language::Japanese, Language::English}) {
            QFont font = editorFont();
            font.setPointSizeF(font.pointSizeF() * scale);
            QApplication::setFont(font);
            forceLanguage(language);
            chooseInterfaceLanguage(language);
            const std::string setting =
                (language == Language::English ? "English x" : "Japanese x") + std::to_string(scale);
            mainForm().show();
            expectFits(find<QWidget>(u"StartScreen"), setting);
            MainForm& window = opened();
            for (int page = pgMapEdit; page < PageCount; ++page) {
                pages()->setCurrentIndex(page);
                expectFits(pageSheet(Page(page)), setting);
            }
            for (const char16_t* dialog : {u"SubForm", u"MapEditGridForm", u"ObjectEditForm"})
                expectFits(find<QWidget>(dialog), setting);
            for (const char16_t* tool : {u"MenuItemCheckStage", u"MenuItemFindChipUses", u"MenuItemStageOverview"})
                menuAction(tool)->trigger();
            for (const char16_t* tool : {u"StageCheckWindow", u"ChipUsesWindow", u"StageOverviewWindow"})
                expectFits(find<QDialog>(tool), setting);
            auto* settings = new EmulatorSettingsDialog(&window, prompts, QStringLiteral("emu \"%1\""), true);
            settings->show(); // the window's child: goes with it
            expectFits(settings, setting);
            form.reset();
        }
}

} // namespace
