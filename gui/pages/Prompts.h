#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

enum class Answer {
    Yes,
    No,
    Cancel
};
// What to do with a file that another program changed since the editor last read or wrote it.
enum class DiskAnswer {
    Merge,
    Overwrite,
    Cancel
};

// Every question and message the program puts to the user. The window gets one; tests
// give it a scripted one.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A plain message box with OK.
    virtual void showMessage(const QString& text) = 0;
    // A warning box with OK.
    virtual void showWarning(const QString& text) = 0;
    // Yes, No and Cancel, no icon.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // Yes and No.
    virtual bool askYesNo(const QString& text) = 0;
    // Merge (only when offered), Overwrite and Cancel, Cancel the default and Escape.
    virtual DiskAnswer askChangedOnDisk(const QString& text, bool offerMerge) = 0;
    // Recover (true, the default) or Discard unsaved edits kept from a run that did not end.
    virtual bool askRecover(const QString& text) = 0;
    // Keep Anyway (true) or Edit (false, the default and Escape) a setting found faulty.
    virtual bool askKeepAnyway(const QString& text) = 0;
    // A file to open or to save to; nothing when the user cancels.
    virtual std::optional<QString> chooseOpenFile() = 0;
    // Starts in the folder of `suggested` with its name offered (nothing: Qt's own start).
    virtual std::optional<QString> chooseSaveFile(const QString& suggested) = 0;
    // Any other file, with its own caption and filters ("PNG (*.png)", several joined by ";;").
    // A folder to start in (empty: Qt's own start); a suggested path names the folder to
    // start in and the name to offer.
    virtual std::optional<QString> chooseFileToOpen(const QString& caption, const QString& filters,
                                                    const QString& folder) = 0;
    virtual std::optional<QString> chooseFileToSave(const QString& caption, const QString& filters,
                                                    const QString& suggested) = 0;
    // One or more files; empty when the user cancels.
    virtual QStringList chooseFilesToOpen(const QString& caption, const QString& filters, const QString& folder) = 0;
    // One line of text; nothing when the user cancels.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& initial) = 0;
};

} // namespace vx
