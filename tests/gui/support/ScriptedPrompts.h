#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "gui/pages/Prompts.h"

namespace vx::test {

// Answers questions from a script and records everything shown. An unexpected question
// fails the test that asked it (it would have blocked a real user).
class ScriptedPrompts : public Prompts {
public:
    std::deque<Answer> answers;
    std::deque<bool> yesNo;
    std::deque<std::optional<QString>> openFiles;
    std::deque<std::optional<QString>> saveFiles;
    std::deque<QStringList> openFileLists;
    std::deque<std::optional<QString>> inputs;
    std::deque<DiskAnswer> diskAnswers;
    std::deque<bool> recoverAnswers;
    std::deque<bool> keepAnyway;

    QStringList messages;    // plain messages and warnings, in order
    QStringList questions;   // every question asked
    QStringList suggestions; // the path or folder each file dialog started from
    int unexpected = 0;

    void showMessage(const QString& text) override { messages << text; }
    void showWarning(const QString& text) override { messages << text; }
    Answer askYesNoCancel(const QString& text) override
    {
        questions << text;
        return take(answers, Answer::Cancel);
    }
    bool askYesNo(const QString& text) override
    {
        questions << text;
        return take(yesNo, false);
    }
    DiskAnswer askChangedOnDisk(const QString& text, bool offerMerge) override
    {
        questions << text;
        const DiskAnswer answer = take(diskAnswers, DiskAnswer::Cancel);
        // Choosing a button that was not shown is a fault of the test's script.
        if (answer == DiskAnswer::Merge && !offerMerge)
            ++unexpected;
        return answer;
    }
    bool askRecover(const QString& text) override
    {
        questions << text;
        return take(recoverAnswers, false);
    }
    bool askKeepAnyway(const QString& text) override
    {
        questions << text;
        return take(keepAnyway, false);
    }
    std::optional<QString> chooseOpenFile() override { return take(openFiles, std::optional<QString>{}); }
    std::optional<QString> chooseSaveFile(const QString& suggested) override
    {
        suggestions << suggested;
        return take(saveFiles, std::optional<QString>{});
    }
    std::optional<QString> chooseFileToOpen(const QString& caption, const QString&, const QString& folder) override
    {
        questions << caption;
        suggestions << folder;
        return take(openFiles, std::optional<QString>{});
    }
    std::optional<QString> chooseFileToSave(const QString& caption, const QString&, const QString& suggested) override
    {
        questions << caption;
        suggestions << suggested;
        return take(saveFiles, std::optional<QString>{});
    }
    QStringList chooseFilesToOpen(const QString& caption, const QString&, const QString& folder) override
    {
        questions << caption;
        suggestions << folder;
        return take(openFileLists, QStringList{});
    }
    std::optional<QString> inputText(const QString&, const QString& prompt, const QString&) override
    {
        questions << prompt;
        return take(inputs, std::optional<QString>{});
    }

private:
    template <class T>
    T take(std::deque<T>& queue, T fallback)
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
