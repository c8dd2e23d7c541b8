#pragma once
#include "gui/pages/Prompts.h"

class QWidget;

namespace vx {

// Message boxes, file dialogs and the input dialog, over the given window.
class TQtPrompts : public TPrompts {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const QString& text) override;
    void ShowWarning(const QString& text) override;
    TAnswer AskYesNoCancel(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    TDiskAnswer AskChangedOnDisk(const QString& text, bool offerMerge) override;
    bool AskRecover(const QString& text) override;
    std::optional<QString> ChooseOpenFile() override;
    std::optional<QString> ChooseSaveFile() override;
    std::optional<QString> ChooseFileToOpen(const QString& caption, const QString& filters) override;
    std::optional<QString> ChooseFileToSave(const QString& caption, const QString& filters) override;
    std::optional<QString> InputText(const QString& caption, const QString& prompt, const QString& initial) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace vx
