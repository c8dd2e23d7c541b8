#include "core/files/IniFile.h"
#include "gui/app/InterfaceLanguage.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QMenu>
#include <QRegularExpression>

using namespace vx;

// After the fixture's own tear-down: no chosen language outlives the test.
struct CaptionsTest : test::EditorFixture {
    ~CaptionsTest() override { chooseInterfaceLanguage(std::nullopt); }
};

// Each page and page dialog, Japanese and English: buttons' own access letters, no Japanese in English.
TEST_F(CaptionsTest, EveryButtonHasItsOwnAccessLetterAndEnglishLeavesNoJapanese)
{
    for (const auto choice : {std::optional<Language>(), std::optional(Language::English)}) {
        chooseInterfaceLanguage(choice);
        opened();
        std::vector<QWidget*> places{find<QWidget>(u"SubForm"), find<QWidget>(u"MapEditGridForm"),
                                     find<QWidget>(u"ObjectEditForm")};
        for (int page = pgMapEdit; page < PageCount; ++page)
            places.push_back(pageSheet(Page(page)));
        for (const QWidget* place : places) {
            QString letters, shown = place->windowTitle();
            for (const QObject* control : place->findChildren<QObject*>()) { // texts, titles, entries of lists
                const QString text = control->property("text").toString();
                shown += text + control->property("title").toString();
                if (const auto* view = qobject_cast<const QAbstractItemView*>(control))
                    for (int row = 0; row < view->model()->rowCount(); ++row)
                        shown += view->model()->index(row, 0).data().toString();
                if (!qobject_cast<const QAbstractButton*>(control) || text.isEmpty()) // the arrows, the grid's corner
                    continue;
                const QString letter = text.section(QLatin1Char('&'), 1).left(1).toUpper();
                EXPECT_TRUE(!letter.isEmpty() && !letters.contains(letter))
                    << place->objectName().toStdString() << ": " << text.toStdString();
                letters += letter;
            }
            EXPECT_TRUE(!choice ||
                        !shown.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"))))
                << place->objectName().toStdString() << ": " << shown.toStdString();
        }
        form.reset();
    }
}

// With no choice kept, "Follow the System" is ticked; choosing it takes the kept language out of
// the preferences, so the next start has Japanese captions and other texts as the locale says.
TEST_F(CaptionsTest, FollowingTheSystemIsTheDefaultAndForgetsTheKeptLanguage)
{
    opened();
    auto* languages = find<QMenu>(u"MenuInterfaceLanguage");
    QAction* system = menuAction(u"MenuItemSystemInterface");
    emit languages->aboutToShow();
    EXPECT_TRUE(system->isChecked() && !menuAction(u"MenuItemJapaneseInterface")->isChecked());
    menuAction(u"MenuItemEnglishInterface")->trigger();
    emit languages->aboutToShow();
    EXPECT_FALSE(system->isChecked());
    system->trigger();
    emit languages->aboutToShow();
    EXPECT_TRUE(system->isChecked() && !menuAction(u"MenuItemEnglishInterface")->isChecked());
    EXPECT_TRUE(prompts.messages.back().startsWith(QStringLiteral("From the next start")));
    EXPECT_FALSE(IniFile(dir.file("preferences.ini")).valueExists("View", "Language"));
    loadInterfaceLanguage(QString::fromStdString(dir.file("preferences.ini")));
    EXPECT_EQ(localized("はい", "Yes") + captionText("はい", "Yes"), "Yesはい") << "the locale is English";
}
