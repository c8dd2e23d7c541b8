#include "gui/widgets/ImageView.h"
#include "gui/widgets/UpDown.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vx;

TEST(ImageView, ShowsItsBitmapStretchedAndRepaintsOnlyAfterAChange)
{
    TImageView view;
    view.resize(256, 256);
    auto bitmap = std::make_unique<TNkDIB>(128, 128);
    bitmap->SetColor(1, RGB(255, 0, 0));
    bitmap->ScanLine(0)[0] = 1;
    TNkDIB* raw = bitmap.get();
    view.SetBitmap(std::move(bitmap));
    QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(255, 0, 0)) << "pixel (0,0) doubled";
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 0, 0));

    raw->SetColor(1, RGB(0, 0, 255)); // a new colour table, the same pixels
    shot = view.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(0, 0, 255));
}

TEST(ImageView, ReportsMouseInControlCoordinatesWithModifiers)
{
    TImageView view(nullptr, 1);
    view.resize(256, 256);
    view.show();
    EXPECT_EQ(view.Tag(), 1);
    QSignalSpy pressed(&view, &TImageView::mousePressed);
    QSignalSpy moved(&view, &TImageView::mouseMoved);
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
    TUpDown upDown;
    QSignalSpy steps(&upDown, &TUpDown::stepRequested);
    upDown.UpButton()->click();
    upDown.DownButton()->click();
    upDown.DownButton()->click();
    ASSERT_EQ(steps.count(), 3);
    EXPECT_EQ(steps[0][0].toInt(), 1);
    EXPECT_EQ(steps[2][0].toInt(), -1);
}

TEST(ImageView, ABitmapLargerThanTheControlIsConvertedAtTheControlsSize)
{
    TImageView view;
    view.resize(256, 256);
    auto bitmap = std::make_unique<TNkDIB>(512, 512);
    bitmap->SetColor(1, RGB(255, 0, 0));
    bitmap->ScanLine(10)[20] = 1; // kept: both even
    bitmap->ScanLine(11)[21] = 1; // dropped
    TNkDIB* raw = bitmap.get();
    view.SetBitmap(std::move(bitmap));
    const QImage& picture = view.Picture();
    ASSERT_EQ(picture.size(), QSize(256, 256));
    EXPECT_EQ(picture.pixelColor(10, 5), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(11, 5), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(10, 6), QColor(0, 0, 0));

    view.resize(512, 512); // room for every pixel again
    EXPECT_EQ(view.Picture().size(), QSize(512, 512));
    EXPECT_EQ(view.Picture().pixelColor(21, 11), QColor(255, 0, 0));
    raw->SetColor(1, RGB(0, 255, 0));
    EXPECT_EQ(view.Picture().pixelColor(20, 10), QColor(0, 255, 0));
}
