#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "gui/image/QtGlyphRenderer.h"

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    vx::registerFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
