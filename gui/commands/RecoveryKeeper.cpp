#include "gui/commands/RecoveryKeeper.h"

#include "core/base/Language.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/files/PrivateFolder.h"
#include "core/model/RomImage.h"
#include "core/text/Recovery.h"
#include "gui/pages/Prompts.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

// Nothing when there is no record of this user by the name (a link, another user's file).
std::optional<Result<RecoveryRecord>> readRecord(const PrivateFolder& folder, const std::string& name)
{
    try {
        if (const auto bytes = folder.read(name, InputKind::Recovery))
            return decodeRecovery(*bytes);
        return std::nullopt;
    } catch (const std::exception& error) {
        return Result<RecoveryRecord>(Error{error.what()});
    }
}

} // namespace

RecoveryKeeper::RecoveryKeeper(RomImage& rom, Prompts& prompts, QString folder,
                               std::function<void(const QString&)> report)
    : rom_(rom), prompts_(prompts), report_(std::move(report))
{
    delay_.setSingleShot(true);
    delay_.setInterval(1000);
    connect(&delay_, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    writer_.setMaxThreadCount(1);
    if (folder.isEmpty())
        return;
    // Private: the folder holds the user's unpublished work. One that is not (a link, another
    // user's) is never used: nothing is kept this run, and the status bar says why.
    const Result<PrivateFolder> opened = PrivateFolder::open(folder.toStdString(), true);
    if (!opened.ok()) {
        const QString text = qText("保存されていない編集はこの実行中は残せませ"
                                   "ん: ",
                                   "Unsaved edits cannot be kept in this run: ") +
            QString::fromStdString(opened.error().text());
        QTimer::singleShot(0, this, [this, text] { report_(text); });
        return;
    }
    folder_ = opened.value();
    folder_->removeLeftovers();
}

RecoveryKeeper::~RecoveryKeeper() { writer_.waitForDone(); }

void RecoveryKeeper::editMade()
{
    if (folder_ && !delay_.isActive())
        delay_.start();
}

void RecoveryKeeper::flush()
{
    if (delay_.isActive()) {
        delay_.stop();
        writeNow();
    }
    writer_.waitForDone();
}

std::string RecoveryKeeper::recordName(const QString& imagePath)
{
    return recoveryFileOf({}, imagePath.toStdString()).substr(1);
}

void RecoveryKeeper::writeNow()
{
    if (!folder_ || !rom_.isLoaded())
        return;
    // Undone back to what the file holds: nothing is left to lose, so nothing is kept.
    if (!rom_.differsFromFile()) {
        writer_.waitForDone();
        folder_->remove(recordName(QString::fromStdString(rom_.fileName())));
        return;
    }
    // Made here, where the model lives; the slow part, the flushed write, runs on the writer.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(encodeRecovery(recoveryRecordOf(rom_)));
    keptFor_ = QString::fromStdString(rom_.fileName());
    writer_.start([this, bytes, folder = *folder_, name = recordName(keptFor_)] {
        try {
            folder.write(name, *bytes);
        } catch (const std::exception& error) {
            const QString text = qText("復元用のファイルを書けません。編集は続けられます。\n",
                                       "The recovery file cannot be written; editing goes on.\n") +
                QString::fromStdString(error.what());
            QMetaObject::invokeMethod(
                this,
                [this, text] {
                    if (!failureSaid_)
                        report_(text);
                    failureSaid_ = true;
                },
                Qt::QueuedConnection);
        }
    });
}

void RecoveryKeeper::discard()
{
    delay_.stop();
    writer_.waitForDone();
    if (!folder_)
        return;
    // Save As renames the image: the edits were kept under its old name.
    for (const QString& image : {keptFor_, QString::fromStdString(rom_.fileName())})
        if (!image.isEmpty())
            folder_->remove(recordName(image));
    keptFor_.clear();
}

void RecoveryKeeper::setAside(const std::string& name, const QString& reason)
{
    folder_->rename(name, name + ".bad");
    prompts_.showWarning(qText("復元用のファイルを使えません。", "A recovery file cannot be used: ") +
                         QString::fromStdString(folder_->pathOf(name)) + QStringLiteral("\n") + reason +
                         qText("\n\n.bad として残しました。イメージはディスクにある通りに"
                               "開きます。",
                               "\n\nIt was kept aside as .bad; the image opens as it is on disk."));
}

bool RecoveryKeeper::offerFor(const QString& imagePath)
{
    if (!folder_)
        return false;
    const std::string file = recordName(imagePath);
    const auto read = readRecord(*folder_, file);
    if (!read)
        return false;
    if (!read->ok()) {
        setAside(file, QString::fromStdString(read->error().text()));
        return false;
    }
    const RecoveryRecord& record = read->value();
    if (record.imagePath != rom_.fileName()) {
        setAside(file, qText("別のイメージの復元ファイルです。", "It belongs to another image."));
        return false;
    }
    const QString name = QFileInfo(imagePath).fileName();
    const QString when = QDateTime::fromSecsSinceEpoch(record.savedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    QString question = isJapanese() ? name + QString::fromUtf8(" には ") + when +
            QString::fromUtf8(" の保存されていない編集があります (エディタが正常に終了"
                              "しませんでした)。復元しますか？")
                                    : name + QStringLiteral(" has unsaved edits from ") + when +
            QStringLiteral(" (the editor did not close normally). Recover them?");
    const DiskStamp onDisk = rom_.onDisk();
    if (record.fileSize != onDisk.size || record.fileHash != onDisk.hash)
        question +=
            qText("\n\nファイルはその後ディスク上で変更されています。保存の時に、取"
                  "り込むか上書きするかを尋ねます。",
                  "\n\nThe file was changed on disk since then; saving will ask whether to merge or overwrite.");
    if (!prompts_.askRecover(question)) {
        folder_->remove(file);
        return false;
    }
    if (const Result<void> applied = applyRecovery(rom_, record); !applied.ok()) {
        setAside(file, QString::fromStdString(applied.error().text()));
        return false;
    }
    return true;
}

QString RecoveryKeeper::imageWithRecovery()
{
    if (!folder_)
        return {};
    // Newest first; only records of this user's own (a link or another user's file is no record).
    std::vector<std::pair<std::int64_t, std::string>> records;
    for (const std::string& name : folder_->names())
        if (name.ends_with(".recovery"))
            if (const auto when = folder_->modifiedAt(name))
                records.emplace_back(*when, name);
    std::sort(records.rbegin(), records.rend());
    for (const auto& [when, name] : records) {
        const auto record = readRecord(*folder_, name);
        if (record && !record->ok())
            setAside(name, QString::fromStdString(record->error().text()));
        else if (record && QFileInfo::exists(QString::fromStdString(record->value().imagePath)))
            return QString::fromStdString(record->value().imagePath);
    }
    return {};
}

} // namespace vx
