#include "filelist.h"
#include "screenkit.h"
#include "sourcepanel.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVariant>
#include <algorithm>

namespace {
QLabel *listLabel(QFrame *frame, const QRect &rect, const QString &text, bool highlighted, bool stick = false)
{
    auto *l = new QLabel(frame);
    l->setTextFormat(Qt::PlainText); // a file name is never markup
    l->setProperty("stick", stick);
    l->setGeometry(rect);
    QFont f = l->font();
    f.setPointSize(15);
    l->setFont(f);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    kra_set_marked(l, highlighted);
    l->setText(text);
    return l;
}
} // namespace

QLabel *KraFileList::slot_label(int s) const
{
    return s >= 0 && s < SLOTS ? labels_[s] : nullptr;
}

QPushButton *KraFileList::slot_button(int s) const
{
    return s >= 0 && s < SLOTS ? buttons_[s] : nullptr;
}

void KraFileList::redraw(const QVector<Entry> &entries, int page, int last_page, const QString &empty_text)
{
    kra_retire_frame(frame_);
    std::fill(std::begin(labels_), std::end(labels_), nullptr);
    std::fill(std::begin(buttons_), std::end(buttons_), nullptr);
    previous_ = next_ = nullptr;

    frame_ = new QFrame(page_);
    frame_->setObjectName(QStringLiteral("frame_file"));
    frame_->setGeometry(10, 90, 580, 240);
    frame_->setStyleSheet(
        QStringLiteral("#frame_file{background-color: rgb(33, 36, 53);border:1px solid #FFFFFF;}"
                       "#Button_previous, #Button_next{background-color: rgb(33, 36, 53);}")
        + kra_marked_rules(QStringLiteral("QLabel"), "background-color:#4777FF;color: #FFFFFF;",
                           "background-color: rgb(33, 36, 53);color: #FFFFFF")
        + kra_marked_rules(QStringLiteral("QLabel[stick=\"true\"]"), "background-color:#4777FF;color: #00FF00;",
                           "background-color: rgb(33, 36, 53);color: #00FF00"));

    if (entries.isEmpty()) {
        labels_[0] = listLabel(frame_, QRect(5, 5, 570, 40), empty_text, false);
    } else {
        const int first = page * SLOTS;
        const int shown = std::max(0, std::min<int>(SLOTS, entries.size() - first));
        for (int s = 0; s < shown; ++s) {
            const Entry &e = entries[first + s];
            const QRect rect(5, 5 + 45 * s, 520, 40);
            labels_[s] = listLabel(frame_, rect, e.name, e.highlighted, e.stick);
            if (e.rich)
                labels_[s]->setTextFormat(Qt::RichText);
            labels_[s]->setObjectName(QStringLiteral("label_file%1").arg(s));
            buttons_[s] = kra_overlay_button(frame_, QString::number(s), rect);
        }
        if (page > 0)
            previous_ = kra_icon_button(frame_, QStringLiteral("Button_previous"), QRect(530, 5, 50, 50),
                                        QStringLiteral(":/png/previous.png"));
        if (page < last_page)
            next_ = kra_icon_button(frame_, QStringLiteral("Button_next"), QRect(530, 185, 50, 50),
                                    QStringLiteral(":/png/next.png"));
    }
    frame_->show();
}
