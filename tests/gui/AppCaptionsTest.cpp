// With English chosen as the interface language, the editor's own windows show no Japanese,
// and each of their controls is reached by a letter of its own.
#include "tests/gui/support/EditorFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>

using namespace vx;

namespace {

class AppCaptionsTest : public test::EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        forceLanguage(std::nullopt); // the choice alone decides
        chooseInterfaceLanguage(Language::English);
    }
    void TearDown() override
    {
        chooseInterfaceLanguage(std::nullopt);
        EditorFixture::TearDown();
    }
};

void expectEnglishWithOwnLetters(const QWidget* window)
{
    const QString name = window->objectName();
    QStringList shown{window->windowTitle()};
    QStringList captions; // the ones that take the keyboard somewhere
    QSet<const QWidget*> captioned;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        shown << label->text();
        if (label->buddy())
            captions << label->text();
        captioned << label->buddy();
    }
    for (const QLineEdit* field : window->findChildren<QLineEdit*>())
        EXPECT_TRUE(captioned.contains(field)) << name.toStdString() << ": " << field->objectName().toStdString();
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        shown << button->text();
        if (!qobject_cast<QDialogButtonBox*>(button->parentWidget()))
            captions << button->text();
    }
    for (const QTreeWidget* tree : window->findChildren<QTreeWidget*>())
        for (int c = 0; c < tree->columnCount(); ++c) {
            shown << tree->headerItem()->text(c);
            for (int r = 0; r < tree->topLevelItemCount(); ++r)
                shown << tree->topLevelItem(r)->text(c);
        }
    for (const QListWidget* list : window->findChildren<QListWidget*>())
        for (int r = 0; r < list->count(); ++r)
            shown << list->item(r)->text();
    const QRegularExpression japanese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    for (const QString& text : shown)
        EXPECT_FALSE(text.contains(japanese)) << name.toStdString() << ": " << text.toStdString();
    QSet<QChar> letters;
    for (QString caption : captions) {
        const qsizetype at = caption.remove(QStringLiteral("&&")).indexOf(QLatin1Char('&'));
        const QChar letter = at >= 0 ? caption.at(at + 1).toLower() : QChar();
        EXPECT_TRUE(letter.isLetter() && !letters.contains(letter))
            << name.toStdString() << ": " << caption.toStdString();
        letters.insert(letter);
    }
}

} // namespace

TEST_F(AppCaptionsTest, ToolWindowsAreEnglishWithAnAccessLetterForEachControl)
{
    mainForm();
    expectEnglishWithOwnLetters(find<QWidget>(u"StartScreen"));
    opened();
    menuAction(u"MenuItemCheckStage")->trigger();
    expectEnglishWithOwnLetters(find<QDialog>(u"StageCheckWindow"));
    menuAction(u"MenuItemFindChipUses")->trigger();
    expectEnglishWithOwnLetters(find<QDialog>(u"ChipUsesWindow"));

    QString settings; // the modal dialog, looked at from inside its loop
    QTimer::singleShot(0, form.get(), [&settings] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            settings = dialog->objectName();
            expectEnglishWithOwnLetters(dialog);
            dialog->close();
        }
    });
    menuAction(u"MenuItemEmulatorSettings")->trigger();
    EXPECT_EQ(settings, QStringLiteral("EmulatorSettingsDialog"));
}
