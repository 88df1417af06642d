#include "lcd_touch.h"
#include "numberkeyboard.h"
#include "screenhost.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
lcd_touch *s_instance = nullptr;
// More closes than screens can be stacked: a table whose below-links loop cannot hang the tick.
constexpr int kMaxCloses = 16;
} // namespace

lcd_touch *lcd_touch::pInstance()
{
    if (!s_instance) {
        s_instance = new lcd_touch();
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(s_instance);
    }
    return s_instance;
}

bool lcd_touch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        idle_ = 0;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Closes the screen on top until the main window is, or until a screen that stays (the
// test patterns) is on top.
void lcd_touch::close_to_mainwindow()
{
    ScreenHost *host = ScreenHost::instance();
    for (int n = 0; host && n < kMaxCloses && g_page_focus != Page::Main; ++n) {
        if (!host->close_top())
            break;
    }
}

void lcd_touch::auto_timeout_back()
{
    ScreenHost *host = ScreenHost::instance();
    if ((host && host->update_shown()) || g_auto_lock_time == 120000 || g_qround_bar)
        return;
    ++idle_;
    if (idle_ == g_back_to_mainwindow_time + 1) {
        if (g_numberkeyboard)
            g_numberkeyboard->hide();
        close_to_mainwindow();
    }
    if (idle_ == g_auto_lock_time + 1 && g_page_focus != Page::Home && host)
        host->lock();
}
