#ifndef LOCKWINDOW_H
#define LOCKWINDOW_H

#include <QDialog>

class QLabel;

// The home status screen (page 0): the LED screen's size, the signal of each input; a touch goes on to the main window. Shown over everything at start-up and by the
// idle auto-lock. GUI thread only.
class LockWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LockWindow(QWidget *parent = nullptr);
    // Builds the screen if needed and shows it over everything with page 0.
    static void show_home();
    void syncUpdate();
    void language_changed();
    void unlock();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *label_title_;
    QLabel *label_led_;
    QLabel *label_touch_;
    QLabel *input_name_[6];
    QLabel *input_state_[6];
    int return_page_ = 1;
};

#endif
