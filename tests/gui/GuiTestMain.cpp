#include <QApplication>
#include <QFontDatabase>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>

#include "gui/image/QtGlyphRenderer.h"

int main(int argc, char** argv)
{
    // Two screens: a wide one the window opens on at its default size, and a small one.
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || std::strcmp(platform, "offscreen") == 0)
        ::setenv("QT_QPA_PLATFORM", "offscreen:configfile=" VX_TEST_SCREENS, 1);
    // Pictures compared pixel for pixel are drawn with the fonts the tests choose, never with
    // whatever a machine has: fontconfig reads only the tests' own file.
    ::setenv("FONTCONFIG_FILE", VX_TEST_FONTS_CONF, 1);
    QApplication application(argc, argv);
    vx::registerFontSubstitutions();
    if (QFontDatabase::addApplicationFont(QStringLiteral(VX_TEST_FONT_FILE)) < 0) {
        std::cerr << "The tests' font " VX_TEST_FONT_FILE " is missing: run scripts/setup.\n";
        return 1;
    }
    QApplication::setFont(vx::editorFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
