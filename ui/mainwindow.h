#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QDialog>
#include <QTimer>
#include "global.h"

class QLabel;
class QPushButton;
class QFrame;
class QToolButton;
class FirmwareUpdate;

// The main window: the 10 ms tick, the entry buttons to the screens and the user-mode
// panel. GUI thread only; update_start/update_over may be called from any thread.
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    void language_changed();
    void syncUpdate();
    // Appends one ageing record from registers 40, 42 and 43 of both FPGAs.
    void getagelog();
    // Show / close the firmware-update notice (safe from a worker thread).
    void update_start();
    void update_over();
    bool update_shown() const;

    bool panel_locked() const { return panel_lock_; }
    int mode_panel_slot() const { return g_mode_select; }
    QTimer *tick_timer() { return &timer_; }
    // Stores the current parameters into user-mode slot `slot` (0..15) at the next refresh.
    void save_user_mode(int slot);

public slots:
    void slot_update_timer_ticks();
    void on_inputchoose_clicked();
    void on_custommode_clicked();
    void on_Button_option_clicked();
    void on_Button_mode_panel_clicked();
    void on_Button_lock_clicked();
    void kra_mode_slot_clicked();

public:
    // The mode panel's buttons, connected when the panel is first built (an auto-connection
    // at construction would find no button to connect).
    void on_Button_mode_save_clicked();
    void on_Button_mode_close_clicked();

private:
    void show_update_notice(bool show);
    void build();
    void build_mode_panel();
    void mode_panel_texts();
    void mode_slot_looks();
    void close_mode_panel();
    void status_update();

    QTimer timer_;
    bool panel_lock_ = false;
    FirmwareUpdate *update_notice_ = nullptr;
    QLabel *label_title_ = nullptr;
    QLabel *label_led_ = nullptr;
    QLabel *label_mode_ = nullptr;
    QLabel *label_mode_title_ = nullptr;
    QToolButton *tiles_[5] = {}; // input, user modes, mode panel, settings, lock
    QFrame *frame_mode_panel_ = nullptr;
    QPushButton *mode_buttons_[16] = {};
    QPushButton *button_mode_save_ = nullptr;
    QPushButton *button_mode_close_ = nullptr;
};

#endif
