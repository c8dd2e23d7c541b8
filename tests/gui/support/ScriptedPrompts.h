#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "gui/pages/Prompts.h"

namespace vx::test {

// Answers questions from a script and records everything shown. An unexpected question
// fails the test that asked it (it would have blocked a real user).
class ScriptedPrompts : public TPrompts {
public:
    std::deque<TAnswer> answers;
    std::deque<bool> yesNo;
    std::deque<std::optional<QString>> openFiles;
    std::deque<std::optional<QString>> saveFiles;
    std::deque<std::optional<QString>> inputs;
    std::deque<TDiskAnswer> diskAnswers;
    std::deque<bool> recoverAnswers;

    QStringList messages;  // plain messages and warnings, in order
    QStringList questions; // every question asked
    int unexpected = 0;

    void ShowMessage(const QString& text) override { messages << text; }
    void ShowWarning(const QString& text) override { messages << text; }
    TAnswer AskYesNoCancel(const QString& text) override
    {
        questions << text;
        return Take(answers, TAnswer::Cancel);
    }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return Take(yesNo, false);
    }
    TDiskAnswer AskChangedOnDisk(const QString& text, bool offerMerge) override
    {
        questions << text;
        const TDiskAnswer answer = Take(diskAnswers, TDiskAnswer::Cancel);
        // Choosing a button that was not shown is a fault of the test's script.
        if (answer == TDiskAnswer::Merge && !offerMerge)
            ++unexpected;
        return answer;
    }
    bool AskRecover(const QString& text) override
    {
        questions << text;
        return Take(recoverAnswers, false);
    }
    std::optional<QString> ChooseOpenFile() override { return Take(openFiles, std::optional<QString>{}); }
    std::optional<QString> ChooseSaveFile() override { return Take(saveFiles, std::optional<QString>{}); }
    std::optional<QString> ChooseFileToOpen(const QString& caption, const QString&) override
    {
        questions << caption;
        return Take(openFiles, std::optional<QString>{});
    }
    std::optional<QString> ChooseFileToSave(const QString& caption, const QString&) override
    {
        questions << caption;
        return Take(saveFiles, std::optional<QString>{});
    }
    std::optional<QString> InputText(const QString&, const QString& prompt, const QString&) override
    {
        questions << prompt;
        return Take(inputs, std::optional<QString>{});
    }

private:
    template <class T> T Take(std::deque<T>& queue, T fallback)
    {
        if (queue.empty()) {
            ++unexpected;
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace vx::test
