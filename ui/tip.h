#ifndef TIP_H
#define TIP_H

#include <QWidget>
#include "global.h"

class QLabel;

// The transient pop-up: 1 saved, 3 USB stick connected, 4 USB stick removed, 5 reading
// data; 2 clears and shows nothing. Hidden 300 ticks after it is shown. GUI thread only.
class TIP : public QWidget
{
    Q_OBJECT
public:
    explicit TIP(QWidget *parent = nullptr);
    void tip_create(int kind);
    // Called by the 10 ms tick: hides the tip once its time is up.
    void tick();
    int kind() const { return kind_; }
    QString text() const;

private:
    QLabel *label_;
    int kind_ = 0;
    u32 shown_at_ = 0;
};

#endif
