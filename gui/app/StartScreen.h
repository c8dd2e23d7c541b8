#pragma once
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vx {

// What the window shows with no image open: the recent images (name, folder, date of the
// file) and an Open button. Enter or a double click opens the selected image.
class StartScreen : public QWidget {
    Q_OBJECT
public:
    explicit StartScreen(QWidget* parent);

    // Lists these paths, newest first, the first one selected.
    void showFiles(const std::vector<std::string>& paths);

    std::function<void(const QString& path)> openFile;
    std::function<void()> openOther;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* caption_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* open_ = nullptr;
};

} // namespace vx
