#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QTimer;

namespace vx {

// Test play's fceux choice: a Lua script beside the copy reloads the game in the running fceux
// (emu.loadrom) when the editor renews the copy's stamp file, and writes a line per reload to
// a log beside the copy, which the editor reads back. So F5 never starts a second emulator.
class FceuxReload : public QObject {
public:
    explicit FceuxReload(QObject* parent);

    // The program fceux is at: Debian's, else the one the path finds.
    static QString program();
    // fceux's words with the script loaded before the copy.
    static QStringList startWords(QStringList words, const QString& script);
    // Writes the script and a first stamp beside the copy; the script's path. Throws when a
    // file cannot be written.
    QString prepare(const QString& copy);
    // The copy was written again: renews its stamp, then says within 3 s whether the running
    // fceux reloaded it.
    void reload(const QString& copy, std::function<void(bool reloaded)> told);

private:
    void look();

    QTimer* timer_;
    QElapsedTimer clock_;
    QString log_;
    QString awaited_;                // the log line of the reload under way
    std::function<void(bool)> told_; // the reload before, if still awaited, is not told
    int reloads_ = 0;
};

} // namespace vx
