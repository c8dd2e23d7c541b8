#pragma once
#include "gui/pages/Prompts.h"

class QWidget;

namespace vx {

// Message boxes, file dialogs and the input dialog, over the given window.
class QtPrompts : public Prompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const QString& text) override;
    void showWarning(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askYesNo(const QString& text) override;
    DiskAnswer askChangedOnDisk(const QString& text, bool offerMerge) override;
    bool askRecover(const QString& text) override;
    bool askKeepAnyway(const QString& text) override;
    std::optional<QString> chooseOpenFile() override;
    std::optional<QString> chooseSaveFile(const QString& suggested) override;
    std::optional<QString> chooseFileToOpen(const QString& caption, const QString& filters,
                                            const QString& folder) override;
    std::optional<QString> chooseFileToSave(const QString& caption, const QString& filters,
                                            const QString& suggested) override;
    QStringList chooseFilesToOpen(const QString& caption, const QString& filters, const QString& folder) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& initial) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace vx
