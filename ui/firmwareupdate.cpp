#include "firmwareupdate.h"
#include "global.h"

#include <QLabel>

namespace {
const KraText kUpdating = {{"正在升级，请勿断电...", "Updating, do not power off...",
                            "Обновление, не выключайте питание...",
                            "Đang cập nhật, không tắt nguồn...", "正在升級，請勿斷電..."}};
} // namespace

FirmwareUpdate::FirmwareUpdate(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FirmwareUpdate"));
    setWindowModality(Qt::ApplicationModal);
    setGeometry(0, 0, 800, 480);
    setStyleSheet(QStringLiteral("#FirmwareUpdate{background-color: rgb(16, 16, 28);}"));
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("label_update"));
    label->setGeometry(0, 200, 800, 80);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);font: 28px;"));
    language_changed();
}

void FirmwareUpdate::language_changed()
{
    if (auto *label = findChild<QLabel *>(QStringLiteral("label_update")))
        label->setText(kra_text(kUpdating));
}
