#pragma once
#include <QObject>
#include <QSize>
#include <functional>

class QMainWindow;
class QWidget;

namespace vx {

class IniFile;

// The zoom of the views that follow it (room views, chip tables, the colour table, the tiles):
// a whole number from 1 to 4, kept in the preferences, changed from the View menu or with
// Ctrl+wheel over a view.
class ViewZoom : public QObject {
public:
    static constexpr int Lowest = 1, Highest = 4;

    // Reads the kept zoom and shows the pages at it; `preferences` may be null. `pages` is the
    // page control of the window `parent`, made at its default size.
    ViewZoom(QWidget* pages, IniFile* preferences, QObject* parent);

    int level() const { return level_; }
    // Clamps, shows, keeps; `changed` hears of a new level.
    void setLevel(int level);
    void zoomIn() { setLevel(level_ + 1); }
    void zoomOut() { setLevel(level_ - 1); }
    // Resizes a window that is neither maximised nor full screen to show its pages whole without
    // scrolling, never below its default size, as far as its screen's free area allows. Where the
    // screen is too small, the scroll bar that shows is part of the size.
    void fitWindow(QMainWindow& window) const;
    // The first time the pages show in a run, a window made for zoom 1 grows to a kept zoom.
    void fitFirstShownPages(QMainWindow& window);

    std::function<void(int level)> changed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    // The window's first showing, and the frame a window manager gives it, fit it to its screen.
    void fitOnScreen(QMainWindow& window, bool showing);

    QWidget* pages_;
    IniFile* preferences_;
    int level_ = Lowest;
    int wheelDelta_ = 0;
    bool fitted_ = false;
    bool shown_ = false;
    bool frameSeen_ = false;
    QSize least_;
};

} // namespace vx
