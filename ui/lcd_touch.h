#ifndef LCD_TOUCH_H
#define LCD_TOUCH_H

#include <QObject>
#include "global.h"

// Touch idle watcher: any touch restarts the idle count; the 10 ms tick advances it and
// closes the screens back to the main window, then locks to the home status screen. The
// screens are reached through the ScreenHost. GUI thread only.
class lcd_touch : public QObject
{
    Q_OBJECT
public:
    static lcd_touch *pInstance();

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
