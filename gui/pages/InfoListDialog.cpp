#include "gui/pages/InfoListDialog.h"

#include "gui/widgets/PageControls.h"

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vx {

InfoListDialog::InfoListDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SubForm"));
    setWindowTitle(QStringLiteral("VEXALON 2 EDITOR"));
    // A dialog border: fixed size, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(311, 340);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("LblInformation"));
    heading_->setGeometry(8, 8, 295, 16);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoInformation"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    memo_->setFont(font);
    memo_->setGeometry(8, 28, 295, 268);

    cancel_ = new QPushButton(captionOf("キャンセル(&C)", "&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    cancel_->setGeometry(132, 304, 90, 25); // wide enough for "キャンセル(&C)"
    ok_ = new QPushButton(captionOf("OK(&O)", "&OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setGeometry(228, 304, 75, 25);
    ok_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void InfoListDialog::showList(const QString& heading, const QString& text)
{
    heading_->setText(heading);
    // The memo shows each CR LF as one line break.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->setPlainText(lines);
    cancel_->hide();
    ok_->show();
    exec();
}

} // namespace vx
