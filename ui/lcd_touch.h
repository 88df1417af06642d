#ifndef LCD_TOUCH_H
#define LCD_TOUCH_H

#include <QObject>
#include <functional>
#include "global.h"

// Touch idle watcher: any touch restarts the idle count; the 10 ms tick advances it and
// closes the screens back to the main window, then locks to the home status screen.
// GUI thread only.
class lcd_touch : public QObject
{
    Q_OBJECT
public:
    static lcd_touch *pInstance();

    // Back action of the screen of a page (it checks that its screen is open).
    static void set_back_action(int page, std::function<void()> action);
    // Shows the home status screen over everything.
    static void set_lock_action(std::function<void()> action);
    // True while the firmware-update notice is shown (the idle count stands still).
    static void set_update_shown(std::function<bool()> query);

    void auto_timeout_back();
    void touched() { idle_ = 0; }
    u32 idle_count() const { return idle_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    lcd_touch() = default;
    void close_to_mainwindow();
    u32 idle_ = 0;
};

#endif
