#include "lcd_touch.h"
#include "numberkeyboard.h"

#include <QCoreApplication>
#include <QEvent>
#include <map>

namespace {
std::map<int, std::function<void()>> &backActions()
{
    static std::map<int, std::function<void()>> a;
    return a;
}
std::function<void()> s_lock;
std::function<bool()> s_update_shown;
lcd_touch *s_instance = nullptr;

void runBack(int page)
{
    auto it = backActions().find(page);
    if (it != backActions().end() && it->second)
        it->second();
}
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

void lcd_touch::set_back_action(int page, std::function<void()> action)
{
    backActions()[page] = std::move(action);
}

void lcd_touch::set_lock_action(std::function<void()> action)
{
    s_lock = std::move(action);
}

void lcd_touch::set_update_shown(std::function<bool()> query)
{
    s_update_shown = std::move(query);
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

// Closes the screens above the main window, topmost first.
void lcd_touch::close_to_mainwindow()
{
    const int page = g_page_focus;
    switch (page) {
    case 7:
    case 8:
        runBack(page);
        runBack(3); // the input selection below, when open
        runBack(9);
        break;
    case 3:
        runBack(3);
        runBack(9);
        break;
    case 4:
    case 6:
    case 9:
    case 10:
    case 11:
    case 12:
    case 24:
        runBack(page);
        break;
    case 5:
        break;
    default:
        return; // no entry: the screen on top stays (e.g. the test patterns)
    }
    runBack(5); // then the settings menu, when open
}

void lcd_touch::auto_timeout_back()
{
    if ((s_update_shown && s_update_shown()) || g_auto_lock_time == 120000 || g_qround_bar)
        return;
    ++idle_;
    if (idle_ == g_back_to_mainwindow_time + 1) {
        if (g_numberkeyboard)
            g_numberkeyboard->hide();
        close_to_mainwindow();
    }
    if (idle_ == g_auto_lock_time + 1 && g_page_focus != 0 && s_lock)
        s_lock();
}
