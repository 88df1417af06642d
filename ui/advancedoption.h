#ifndef ADVANCEDOPTION_H
#define ADVANCEDOPTION_H

#include "filelist.h"
#include "global.h"
#include <QDialog>
#include <QStringList>

class QPushButton;
class QStackedWidget;

namespace Ui {
class AdvancedOption;
}

// The advanced settings screen: touch idle times, the window switch effect, the audio of one
// window, the access point, point-to-point, the SDI receiver reset, the language and the
// factory resets, behind a column of page buttons. GUI thread only: the parameter block is
// written through the core's operations (the video-chip manager's hand-off), and the
// controls are redrawn from the block by para_init, never written back by a redraw. The
// command protocol's requests reach it queued, through the screens table.
class AdvancedOption : public QDialog
{
    Q_OBJECT
public:
    explicit AdvancedOption(QWidget *parent = nullptr);
    ~AdvancedOption() override;

    void syncUpdate(int code);
    void para_init();
    void language_changed();
    void lcd_language_deal();
    void button_select(QPushButton *button);
    // True while the receiving-card page (stack page 1) is shown.
    bool rcv_self_recovery_ornot() const;

    // "30s", "1.5m", "3m", ... for a back-to-main time in ticks.
    static QString idle_time_text(int ticks);
    // Receiving-card parameter files found by the last language_changed (at most 255).
    u8 rcv_file_count() const { return rcv_file_num_; }
    // Redraws the ageing-log labels (the main window's tick calls it every 3 minutes while
    // the screen exists, whichever page is shown).
    void ageloginit();
    void update_agelog();
    // Redraws the receiving-card check's result list.
    void rcv_self_recovery_file_list();
    // Back, unless a job's progress bar is shown: the job's progress and end must find the
    // screen that started it.
    void close_screen();

signals:
    void sig_qround_bar_update(int percent);

public slots:
    void on_Button_back_clicked();
    // The number keyboard's OK: the access code of the ageing log.
    void confirmString(QString text);

    void on_Button_LCDshow_clicked();
    void on_Button_timeplan_clicked();
    void on_Button_other_clicked();
    void on_Button_factory_clicked();
    void on_Button_plan_clicked();
    void on_Button_switch_clicked();
    void on_Button_language_clicked();
    void on_Button_reset_clicked();
    void on_horizontalSlider_valueChanged(int value);
    void on_horizontalSlider_sliderReleased();
    void on_Button_5min_clicked();
    void on_Button_10min_clicked();
    void on_Button_never_clicked();
    void on_Button_seamless_clicked();
    void on_Button_fade_clicked();
    void on_ImageVolume_currentIndexChanged(int index);
    void on_Button_volume_state_clicked();
    void on_Button_wifi_state_clicked();
    void on_modeButton_clicked();
    void on_Button_DBD_open_clicked();
    void on_Button_DBD_close_clicked();
    void on_Button_chinese_clicked();
    void on_Button_english_clicked();
    void on_Button_ru_clicked();
    void on_Button_vn_clicked();
    void on_Button_tn_clicked();
    void on_Button_reset1_clicked();
    void on_Button_reset2_clicked();
    void on_Button_reset3_clicked();
    void on_Button_factory_age_clicked();
    void on_next_clicked();
    void on_pre_clicked();
    void on_Button_rcv_recovery_clicked();
    void on_Button_check_clicked();
    void on_Button_self_recovery_clicked();
    void kra_Button_previous_clicked();
    void kra_Button_next_clicked();
    void kra_button_rcv_data_list_file_clicked();

private:
    void show_page(QPushButton *button, int page);
    void fit_page_column();
    void show_tab(QStackedWidget *tabs, bool second, QPushButton *first, QPushButton *other, QWidget *underline);
    void store_idle_time();
    void slider_stepped(int action);
    void set_auto_lock(u32 ticks);
    void show_audio(int index);
    void toggle_audio();
    void set_effect(bool fade);
    void toggle_wlan();
    void restart_access_point();
    void set_p2p(bool on);
    void choose_language(int code);
    void factory_reset(int kind, QPushButton *button);
    // Window of the audio list's entry `index`, -1 when there is none.
    int listed_window(int index) const;
    void show_fonts();
    void ask_access_code();
    void agelog_step(int step);
    void show_rcv_page();
    void start_rcv_job(bool recovery);
    void select_entry(int slot);

    Ui::AdvancedOption *ui;
    QPushButton *select_button_ = nullptr;       // the marked page button
    QPushButton *select_reset_button_ = nullptr; // the last reset pressed
    int page_text_px_ = 0;                        // the page buttons' text size, 0 before fitting
    u8 rcv_file_num_ = 0;
    // Ageing log: the page shown (signed: Pre below the first page wraps to the last), and
    // whether the number keyboard's next value is the access code (no field of this screen
    // asks for it).
    bool agelog_shown_ = false;
    int agelog_page_ = 0;
    bool awaiting_code_ = false;
    QString agelog_text_;
    // Receiving-card check: the copy of the job's result last drawn, the list page, the
    // highlighted slot and whether the last entry drawn cannot be restored.
    int list_page_ = 0;
    int select_slot_ = 0;
    bool red_entry_ = false;
    QStringList rcv_list_;
    u32 rcv_count_ = 0;
    KraFileList file_list_;
};

#endif
