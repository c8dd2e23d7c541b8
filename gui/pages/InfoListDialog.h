#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vx {

// What the information window shows: a heading, a text (lines end in CR LF) and, where the
// list offers it, what its Merge button does.
struct InfoList {
    QString heading;
    QString text;
    std::function<void()> merge;
};

// The information window: a heading, a read-only text and OK (Cancel hidden for lists), with
// Merge for a list that offers it. Made once and reused; it has no logic of its own.
class InfoListDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoListDialog(QWidget* parent = nullptr);

    // Heading and text, Cancel hidden, OK shown; modal until closed.
    void showList(const QString& heading, const QString& text);
    // The same for the list `make` gives. Merge shows while that list offers it; pressing it
    // runs the merge with the window open, then the window shows what `make` gives then.
    void showList(const std::function<InfoList()>& make);

private:
    void put(InfoList list);
    void mergePressed();

    QLabel* heading_;
    QPlainTextEdit* memo_;
    QPushButton* merge_;
    QPushButton* cancel_;
    QPushButton* ok_;
    std::function<InfoList()> make_;    // while a list is shown
    std::function<void()> mergeAction_; // what the shown list's Merge does
};

} // namespace vx
