#include "gui/pages/InfoListDialog.h"

#include "gui/widgets/KeyboardReach.h"
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

    // Made before Cancel and OK: Tab goes left to right along the bottom row. Left, away
    // from OK, as it changes the image.
    merge_ = new QPushButton(captionOf("統合(&M)", "&Merge"), this);
    merge_->setObjectName(QStringLiteral("BtnSubFormMerge"));
    merge_->setAccessibleName(withoutAccessMarks(merge_->text()));
    merge_->setGeometry(8, 304, 75, 25);
    merge_->hide();

    cancel_ = new QPushButton(captionOf("キャンセル(&C)", "&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    cancel_->setGeometry(132, 304, 90, 25); // wide enough for "キャンセル(&C)"
    ok_ = new QPushButton(captionOf("OK(&O)", "&OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setGeometry(228, 304, 75, 25);
    ok_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(merge_, &QPushButton::clicked, this, &InfoListDialog::mergePressed);
}

void InfoListDialog::showList(const QString& heading, const QString& text)
{
    showList([heading, text] { return InfoList{heading, text, {}}; });
}

void InfoListDialog::showList(const std::function<InfoList()>& make)
{
    make_ = make;
    put(make_());
    cancel_->hide();
    ok_->show();
    exec();
    make_ = nullptr;
    mergeAction_ = nullptr;
}

void InfoListDialog::put(InfoList list)
{
    heading_->setText(list.heading);
    // The memo shows each CR LF as one line break.
    list.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->setPlainText(list.text);
    mergeAction_ = std::move(list.merge);
    merge_->setVisible(static_cast<bool>(mergeAction_));
}

void InfoListDialog::mergePressed()
{
    if (!mergeAction_)
        return;
    mergeAction_();
    if (make_)
        put(make_());
}

} // namespace vx
