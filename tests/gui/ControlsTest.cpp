#include "tests/gui/support/Controls.h"

#include <QLabel>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace vx;

// The tests reach every control through these; a wrong or doubled name must stop a test
// with the name, never hand it a null pointer or the wrong control.
TEST(Controls, FindTheOneNamedControlAtAnyDepthAndRefuseMissingOrDoubledNames)
{
    QWidget page;
    page.setObjectName(QStringLiteral("Page"));
    auto* group = new QWidget(&page);
    auto* bar = new QScrollBar(group);
    bar->setObjectName(QStringLiteral("ScrollBarRoom1"));
    for (int i = 0; i < 2; ++i)
        (new QLabel(group))->setObjectName(QStringLiteral("LblTwice"));

    EXPECT_EQ(test::control<QScrollBar>(&page, u"ScrollBarRoom1"), bar);
    EXPECT_EQ(test::control<QScrollBar>(&page, u"ScrollBarRoom", 1), bar);
    EXPECT_EQ(test::control<QScrollBar>(&page), bar) << "the only scroll bar, whatever its name";
    try {
        test::control<QLabel>(&page, u"ScrollBarRoom1");
        ADD_FAILURE() << "a control of another type was taken";
    } catch (const test::ControlNotFound& error) {
        EXPECT_STREQ(error.what(), "no QLabel named \"ScrollBarRoom1\" under QWidget \"Page\"");
    }
    EXPECT_THROW(test::control<QLabel>(&page, u"LblTwice"), test::ControlNotFound);
    EXPECT_THROW(test::control<QLabel>(nullptr, u"LblTwice"), test::ControlNotFound);
}
