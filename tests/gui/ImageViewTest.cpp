#include "gui/widgets/ImageView.h"
#include "gui/widgets/UpDown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vx;

TEST(ImageView, ShowsItsBitmapStretchedAndRepaintsOnlyAfterAChange)
{
    ImageView view;
    view.resize(256, 256);
    auto bitmap = std::make_unique<IndexedBitmap>(128, 128);
    bitmap->setColor(1, RGB(255, 0, 0));
    bitmap->scanLine(0)[0] = 1;
    IndexedBitmap* raw = bitmap.get();
    view.setBitmap(std::move(bitmap));
    QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(255, 0, 0)) << "pixel (0,0) doubled";
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 0));

    raw->setColor(1, RGB(0, 0, 255)); // a new colour table, the same pixels
    shot = view.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(0, 0, 255));
}

TEST(ImageView, ReportsMouseInControlCoordinatesWithModifiers)
{
    ImageView view(nullptr, 1);
    view.resize(256, 256);
    view.show();
    EXPECT_EQ(view.tag(), 1);
    QSignalSpy pressed(&view, &ImageView::mousePressed);
    QSignalSpy moved(&view, &ImageView::mouseMoved);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(200, 17));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][0].toInt(), 200);
    EXPECT_EQ(pressed[0][1].toInt(), 17);
    EXPECT_EQ(pressed[0][2].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_TRUE(pressed[0][3].value<Qt::KeyboardModifiers>().testFlag(Qt::ShiftModifier));
    QTest::mouseMove(&view, QPoint(30, 40));
    ASSERT_GE(moved.count(), 1);
    EXPECT_EQ(moved.last()[0].toInt(), 30);
}

TEST(UpDown, EachArrowAsksForOneStepInItsDirection)
{
    UpDown upDown;
    QSignalSpy steps(&upDown, &UpDown::stepRequested);
    upDown.upButton()->click();
    upDown.downButton()->click();
    upDown.downButton()->click();
    ASSERT_EQ(steps.count(), 3);
    EXPECT_EQ(steps[0][0].toInt(), 1);
    EXPECT_EQ(steps[2][0].toInt(), -1);
}

TEST(ImageView, ABitmapLargerThanTheControlIsConvertedAtTheControlsSize)
{
    ImageView view;
    view.resize(256, 256);
    auto bitmap = std::make_unique<IndexedBitmap>(512, 512);
    bitmap->setColor(1, RGB(255, 0, 0));
    bitmap->scanLine(10)[20] = 1; // kept: both even
    bitmap->scanLine(11)[21] = 1; // dropped
    IndexedBitmap* raw = bitmap.get();
    view.setBitmap(std::move(bitmap));
    const QImage& picture = view.picture();
    ASSERT_EQ(picture.size(), QSize(256, 256));
    EXPECT_EQ(picture.pixelColor(10, 5), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(11, 5), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(10, 6), QColor(0, 0, 0));

    view.resize(512, 512); // room for every pixel again
    EXPECT_EQ(view.picture().size(), QSize(512, 512));
    EXPECT_EQ(view.picture().pixelColor(21, 11), QColor(255, 0, 0));
    raw->setColor(1, RGB(0, 255, 0));
    EXPECT_EQ(view.picture().pixelColor(20, 10), QColor(0, 255, 0));
}
