#include "gui/app/RecoveryKeeper.h"

#include "core/base/Language.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/model/RomImage.h"
#include "core/text/Recovery.h"
#include "gui/pages/Prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

Result<RecoveryRecord> readRecord(const QString& file)
{
    try {
        return decodeRecovery(readInputFile(file.toStdString(), InputKind::Recovery));
    } catch (const std::exception& error) {
        return Error{error.what()};
    }
}

} // namespace

RecoveryKeeper::RecoveryKeeper(RomImage& rom, Prompts& prompts, QString folder,
                               std::function<void(const QString&)> report)
    : rom_(rom), prompts_(prompts), folder_(std::move(folder)), report_(std::move(report))
{
    delay_.setSingleShot(true);
    delay_.setInterval(1000);
    connect(&delay_, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    writer_.setMaxThreadCount(1);
    // Private: the folder holds the user's unpublished work.
    if (!folder_.isEmpty() && QDir().mkpath(folder_))
        QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

RecoveryKeeper::~RecoveryKeeper() { writer_.waitForDone(); }

void RecoveryKeeper::editMade()
{
    if (!folder_.isEmpty() && !delay_.isActive())
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

QString RecoveryKeeper::fileOf(const QString& imagePath) const
{
    return QString::fromStdString(recoveryFileOf(folder_.toStdString(), imagePath.toStdString()));
}

void RecoveryKeeper::writeNow()
{
    if (folder_.isEmpty() || !rom_.isLoaded() || !rom_.isModified())
        return;
    // Made here, where the model lives; the slow part, the flushed write, runs on the writer.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(encodeRecovery(recoveryRecordOf(rom_)));
    keptFor_ = QString::fromStdString(rom_.fileName());
    const std::string file = fileOf(keptFor_).toStdString();
    writer_.start([this, bytes, file] {
        try {
            writeOutputFile(file, *bytes, 0600);
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
    if (folder_.isEmpty())
        return;
    // Save As renames the image: the edits were kept under its old name.
    for (const QString& image : {keptFor_, QString::fromStdString(rom_.fileName())})
        if (!image.isEmpty())
            QFile::remove(fileOf(image));
    keptFor_.clear();
}

void RecoveryKeeper::setAside(const QString& file, const QString& reason)
{
    const QString aside = file + QStringLiteral(".bad");
    QFile::remove(aside);
    QFile::rename(file, aside);
    prompts_.showWarning(qText("復元用のファイルを使えません。", "A recovery file cannot be used: ") + file +
                         QStringLiteral("\n") + reason +
                         qText("\n\n.bad として残しました。イメージはディスクにある通りに開きます。",
                               "\n\nIt was kept aside as .bad; the image opens as it is on disk."));
}

bool RecoveryKeeper::offerFor(const QString& imagePath)
{
    if (folder_.isEmpty())
        return false;
    const QString file = fileOf(imagePath);
    if (!QFileInfo::exists(file))
        return false;
    const Result<RecoveryRecord> read = readRecord(file);
    if (!read.ok()) {
        setAside(file, QString::fromStdString(read.error().text()));
        return false;
    }
    const RecoveryRecord& record = read.value();
    if (record.imagePath != rom_.fileName()) {
        setAside(file, qText("別のイメージの復元ファイルです。", "It belongs to another image."));
        return false;
    }
    const QString name = QFileInfo(imagePath).fileName();
    const QString when = QDateTime::fromSecsSinceEpoch(record.savedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    QString question = isJapanese() ? name + QString::fromUtf8(" には ") + when +
            QString::fromUtf8(" の保存されていない編集があります (エディタが正常に終了しませんでした)。復元しますか？")
                                    : name + QStringLiteral(" has unsaved edits from ") + when +
            QStringLiteral(" (the editor did not close normally). Recover them?");
    const DiskStamp onDisk = rom_.onDisk();
    if (record.fileSize != onDisk.size || record.fileHash != onDisk.hash)
        question +=
            qText("\n\nファイルはその後ディスク上で変更されています。保存の時に、取り込むか上書きするかを尋ねます。",
                  "\n\nThe file was changed on disk since then; saving will ask whether to merge or overwrite.");
    if (!prompts_.askRecover(question)) {
        QFile::remove(file);
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
    if (folder_.isEmpty())
        return {};
    const auto files = QDir(folder_).entryInfoList({QStringLiteral("*.recovery")}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : files) {
        const Result<RecoveryRecord> record = readRecord(info.filePath());
        if (!record.ok())
            setAside(info.filePath(), QString::fromStdString(record.error().text()));
        else if (QFileInfo::exists(QString::fromStdString(record.value().imagePath)))
            return QString::fromStdString(record.value().imagePath);
    }
    return {};
}

} // namespace vx
