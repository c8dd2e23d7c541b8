// Every caption the editor shows fits its control, in both languages and with a larger font:
// the pages, the dialogs they open, the tool windows and the start screen.
#include "gui/app/EmulatorSettingsDialog.h"
#include "gui/image/QtGlyphRenderer.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

using namespace vx;

namespace {

// The text as drawn: "&&" is one ampersand, a lone "&" marks the access letter.
int captionWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.size(Qt::TextShowMnemonic, text).width();
}

struct Clip {
    QString what;
    int needed;
    int room;
};

// The room each caption of `control` has, against the width the caption needs.
std::vector<Clip> clipsOf(QWidget* control)
{
    std::vector<Clip> clips;
    const QFontMetrics metrics(control->font());
    const auto check = [&](const QString& text, int needed, int room) {
        if (!text.isEmpty() && needed > room)
            clips.push_back({text, needed, room});
    };
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        // By the style's contents rectangle: its idea of a least button width is no caption's need.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        check(button->text(), captionWidth(metrics, button->text()), inside.width());
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        check(button->text(), button->sizeHint().width(), button->width());
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->wordWrap() || Qt::mightBeRichText(label->text()))
            return clips;
        const QString text =
            label->buddy() ? label->text() : QString(label->text()).replace(QStringLiteral("&"), QStringLiteral("&&"));
        check(label->text(), captionWidth(metrics, text) + 2 * label->margin(), label->contentsRect().width());
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        check(box->title(), title.left() + captionWidth(metrics, box->title()), box->width());
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        for (int item = 0; item < combo->count(); ++item)
            check(combo->itemText(item), metrics.horizontalAdvance(combo->itemText(item)), field.width());
    }
    return clips;
}

// A control by its object name, or an unnamed one by its kind and its named parent's.
std::string nameOf(const QWidget* control)
{
    if (!control->objectName().isEmpty())
        return control->objectName().toStdString();
    return std::string(control->metaObject()->className()) + " in " + nameOf(control->parentWidget());
}

class CaptionFitTest : public test::EditorFixture {
protected:
    void TearDown() override
    {
        QApplication::setFont(editorFont());
        chooseInterfaceLanguage(std::nullopt);
        EditorFixture::TearDown();
    }
    // Every caption below `window` that is shown with it; each clipped one is reported by name.
    void expectFits(QWidget* window, const std::string& where)
    {
        QApplication::processEvents();
        std::string report;
        QList<QWidget*> controls = window->findChildren<QWidget*>();
        controls.prepend(window);
        for (QWidget* control : controls) {
            if (control != window && !control->isVisibleTo(window))
                continue;
            for (const Clip& clip : clipsOf(control))
                report += "\n  " + nameOf(control) + " \"" + clip.what.toStdString() + "\" needs " +
                    std::to_string(clip.needed) + ", has " + std::to_string(clip.room);
        }
        EXPECT_TRUE(report.empty()) << where << " (" << window->objectName().toStdString() << "):" << report;
    }
    // The start screen, each page, each dialog and each tool window, in one language and font.
    void expectAllFit(const std::string& setting)
    {
        mainForm().show();
        expectFits(find<QWidget>(u"StartScreen"), setting);
        MainForm& window = opened();
        for (int page = pgMapEdit; page <= pgSpriteBankEdit; ++page) {
            pages()->setCurrentIndex(page);
            expectFits(pageSheet(Page(page)), setting);
        }
        for (const char16_t* dialog : {u"SubForm", u"MapEditGridForm", u"ObjectEditForm"})
            expectFits(find<QWidget>(dialog), setting);
        for (const char16_t* tool : {u"MenuItemCheckStage", u"MenuItemFindChipUses", u"MenuItemStageOverview"})
            menuAction(tool)->trigger();
        for (const char16_t* tool : {u"StageCheckWindow", u"ChipUsesWindow", u"StageOverviewWindow"})
            expectFits(find<QDialog>(tool), setting);
        {
            EmulatorSettingsDialog settings(&window, prompts, QStringLiteral("emulator \"%1\""), true);
            settings.show();
            expectFits(&settings, setting);
        }
        form.reset();
    }
};

TEST_F(CaptionFitTest, EveryCaptionFitsInBothLanguagesAtTheDefaultFontAndAQuarterLarger)
{
    for (const double scale : {1.0, 1.25}) {
        QFont font = editorFont();
        font.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(font);
        for (const Language language : {Language::Japanese, Language::English}) {
            forceLanguage(language);
            chooseInterfaceLanguage(language);
            expectAllFit((language == Language::English ? "English at " : "Japanese at ") + std::to_string(scale));
        }
    }
}

} // namespace
