#pragma once
#include <QString>
#include <optional>

namespace vx {

enum class TAnswer { Yes, No, Cancel };
// What to do with a file that another program changed since the editor last read or wrote it.
enum class TDiskAnswer { Merge, Overwrite, Cancel };

// Every question and message the program puts to the user. The window gets one; tests
// give it a scripted one.
class TPrompts {
public:
    virtual ~TPrompts() = default;
    // A plain message box with OK.
    virtual void ShowMessage(const QString& text) = 0;
    // A warning box with OK.
    virtual void ShowWarning(const QString& text) = 0;
    // Yes, No and Cancel, no icon.
    virtual TAnswer AskYesNoCancel(const QString& text) = 0;
    // Yes and No.
    virtual bool AskYesNo(const QString& text) = 0;
    // Merge (only when offered), Overwrite and Cancel, Cancel the default and Escape.
    virtual TDiskAnswer AskChangedOnDisk(const QString& text, bool offerMerge) = 0;
    // Recover (true, the default) or Discard unsaved edits kept from a run that did not end.
    virtual bool AskRecover(const QString& text) = 0;
    // A file to open or to save to; nothing when the user cancels.
    virtual std::optional<QString> ChooseOpenFile() = 0;
    virtual std::optional<QString> ChooseSaveFile() = 0;
    // Any other file, with its own caption and filters ("PNG (*.png)", several joined by ";;").
    virtual std::optional<QString> ChooseFileToOpen(const QString& caption, const QString& filters) = 0;
    virtual std::optional<QString> ChooseFileToSave(const QString& caption, const QString& filters) = 0;
    // One line of text; nothing when the user cancels.
    virtual std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
};

} // namespace vx
