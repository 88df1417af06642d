#include "tip.h"
#include "utils.h"

#include <QLabel>

namespace {
const KraText kTipText[] = {
    {{"", "", "", "", ""}},
    {{"保存成功", "Saved", "Сохранено", "Đã lưu", "保存成功"}},
    {{"", "", "", "", ""}},
    {{"U盘已连接", "USB stick connected", "USB подключен", "Đã kết nối USB", "U盤已連接"}},
    {{"U盘已拔出", "USB stick removed", "USB извлечен", "Đã rút USB", "U盤已拔出"}},
    {{"正在读取数据...", "Reading data...", "Чтение данных...", "Đang đọc dữ liệu...", "正在讀取數據..."}},
};
constexpr u32 kShowTicks = 300;
} // namespace

TIP::TIP(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TIP"));
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(300, 60);
    move(250, 400);
    label_ = new QLabel(this);
    label_->setGeometry(0, 0, 300, 60);
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet(QStringLiteral("background-color: rgb(95, 100, 129);color: rgb(255, 255, 255);"
                                         "font: 20px;border-radius:8px;"));
}

QString TIP::text() const
{
    return label_->text();
}

void TIP::tip_create(int kind)
{
    label_->clear();
    hide();
    kind_ = kind;
    if (kind < 1 || kind > 5 || kind == 2)
        return;
    label_->setText(kra_text(kTipText[kind]));
    shown_at_ = G_timeTicks.load();
    show();
    raise();
}

void TIP::tick()
{
    if (isVisible() && Utils::getTimeSpace(shown_at_) >= kShowTicks)
        hide();
}
