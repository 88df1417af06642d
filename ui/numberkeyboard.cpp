#include "numberkeyboard.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

std::function<void(NumberKeyboard *)> NumberKeyboard::runner;

namespace {
const char *kKeyStyle = "QPushButton{background-color: #212435;color: rgb(255, 255, 255);"
                        "border:1px solid rgb(133, 129, 153);font: 26px;}"
                        "QPushButton:pressed{background-color: #4777FF;}";
const char *kDisplayStyle = "background-color: rgb(33, 36, 53);color: %1;font: 30px;"
                            "border:1px solid rgb(133, 129, 153);padding-right:8px;";
} // namespace

NumberKeyboard::NumberKeyboard(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NumberKeyboard"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(380, 480);
    setStyleSheet(QStringLiteral("#NumberKeyboard{background-color: rgb(16, 16, 28);"
                                 "border:1px solid rgb(133, 129, 153);}"));

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("label_caption"));
    caption_->setGeometry(20, 12, 340, 40);
    caption_->setAlignment(Qt::AlignCenter);
    display_ = new QLabel(this);
    display_->setObjectName(QStringLiteral("label_value"));
    display_->setGeometry(20, 58, 340, 56);
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // 1 2 3 / 4 5 6 / 7 8 9 / Del 0 OK, then Cancel across the bottom.
    const int w = 108, h = 62, x0 = 20, y0 = 126, gap = 8;
    auto place = [&](QPushButton *b, int row, int col, int span = 1) {
        b->setGeometry(x0 + col * (w + gap), y0 + row * (h + gap), span * w + (span - 1) * gap, h);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(QString::fromLatin1(kKeyStyle));
    };
    for (int d = 0; d <= 9; ++d) {
        auto *b = new QPushButton(QString::number(d), this);
        b->setObjectName(QStringLiteral("key_%1").arg(d));
        if (d == 0)
            place(b, 3, 1);
        else
            place(b, (d - 1) / 3, (d - 1) % 3);
        connect(b, &QPushButton::clicked, this, [this, d] { press_digit(d); });
    }
    auto *del = new QPushButton(QStringLiteral("Del"), this);
    del->setObjectName(QStringLiteral("key_delete"));
    place(del, 3, 0);
    connect(del, &QPushButton::clicked, this, &NumberKeyboard::press_delete);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("key_ok"));
    place(ok, 3, 2);
    connect(ok, &QPushButton::clicked, this, &NumberKeyboard::press_ok);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("key_cancel"));
    place(cancel, 4, 0, 3);
    connect(cancel, &QPushButton::clicked, this, &NumberKeyboard::press_cancel);
}

void NumberKeyboard::label_show(const QString &caption, const QString &value)
{
    caption_->setText(caption);
    caption_->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);font: %1px;")
                                .arg(caption.length() == 4 ? 18 : 25));
    value_ = value;
    typed_.clear();
    refresh_display();
}

int NumberKeyboard::run()
{
    if (runner) {
        runner(this);
        return 0;
    }
    return exec();
}

// Built once and shown again over screens built after it: without a window manager nothing
// else would lift it above them, and it would take no touch.
void NumberKeyboard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void NumberKeyboard::refresh_display()
{
    // Until a digit is typed the field's current value is shown greyed.
    display_->setText(typed_.isEmpty() ? value_ : typed_);
    display_->setStyleSheet(QString::fromLatin1(kDisplayStyle)
                                .arg(typed_.isEmpty() ? QStringLiteral("rgb(133, 129, 153)")
                                                      : QStringLiteral("rgb(255, 255, 255)")));
}

void NumberKeyboard::press_digit(int digit)
{
    if (typed_.length() >= 5)
        return; // five digits hold every value the screens take
    typed_ += QString::number(digit);
    refresh_display();
}

void NumberKeyboard::press_delete()
{
    typed_.chop(1);
    refresh_display();
}

void NumberKeyboard::press_ok()
{
    const QString text = typed_;
    hide();
    if (!text.isEmpty())
        emit sendKeyBoardUIDataToLineEdit(text);
    if (isModal())
        done(QDialog::Accepted);
}

void NumberKeyboard::press_cancel()
{
    typed_.clear();
    hide();
    done(QDialog::Rejected);
}
