#include "gui/pages/ObjectDialog.h"

#include "gui/widgets/PageControls.h"

#include <QFont>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <utility>

namespace vx {

ObjectDialog::ObjectDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ObjectEditForm"));
    setWindowTitle(captionOf("オブジェクトの編集", "Edit Objects"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(249, 334);

    const auto label = [this](const char* name, const QString& text, int y) {
        auto* made = new QLabel(text, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(4, y, 241, 16);
        QFont font = made->font();
        font.setPixelSize(11); // the whole sentence on the dialog's fixed width
        made->setFont(font);
    };
    label("Label1",
          captionOf("”X座標 Y座標 種類”を一列に記述して下さ"
                    "い",
                    "One object per line: \"X Y KIND\""),
          8);
    label("Label2",
          captionOf("※自由順序の場合、オブジェクトの並び順が変"
                    "更",
                    "In free order, the objects may be put"),
          28);
    label("Label3", captionOf("される可能性があります", "in another order."), 44);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoObjectEdit"));
    memo_->setGeometry(8, 66, 233, 226);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QString::fromUtf8("ＭＳ ゴシック"));
    font.setPixelSize(15);
    memo_->setFont(font);
    memo_->setPlainText(QStringLiteral("00 00 00"));

    ok_ = new QPushButton(captionOf("OK(&O)", "&OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setGeometry(63, 301, 75, 25);
    cancel_ = new QPushButton(captionOf("キャンセル(&C)", "&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    cancel_->setGeometry(151, 301, 90, 25); // wide enough for "キャンセル(&C)"
    // Enter makes a new line in the text; only the buttons close the dialog.
    for (QPushButton* button : {ok_, cancel_})
        button->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> ObjectDialog::editText(const QString& caption, const QString& text, Check check)
{
    check_ = std::move(check);
    setWindowTitle(caption);
    QString lines = text; // the memo breaks lines at LF alone
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->setPlainText(lines);
    memo_->setFocus();
    const int result = exec();
    check_ = nullptr; // it may refer to the caller's locals
    if (result != QDialog::Accepted)
        return std::nullopt;
    return memo_->toPlainText();
}

void ObjectDialog::accept()
{
    const auto problem = check_ ? check_(memo_->toPlainText()) : std::nullopt;
    if (!problem) {
        QDialog::accept();
        return;
    }
    QMessageBox box(QMessageBox::Warning, windowTitle(), *problem, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("MsgObjectEditProblem"));
    box.exec();
    memo_->setFocus();
}

} // namespace vx
