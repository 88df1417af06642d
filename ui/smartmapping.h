#ifndef SMARTMAPPING_H
#define SMARTMAPPING_H

#include "global.h"
#include "filelist.h"
#include "numberfields.h"
#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class SmartMapping;
}
class QFrame;
class QLabel;
class QPushButton;

// The smart mapping screen (page 24): quick lighting of the receiving cards of one net port,
// load scan, parameter save and the mapping switch, each handed to the FPGA manager's thread
// as a job with the round progress bar. GUI thread only; the job's progress reaches
// sig_qround_bar_update from the GUI thread (KraShell posts it there).
class SmartMapping : public QDialog
{
    Q_OBJECT
public:
    explicit SmartMapping(QWidget *parent = nullptr);
    ~SmartMapping() override;

    void syncUpdate(int code);
    void language_changed();
    void button_select(QPushButton *button);
    // The port grid of the current group on page 1 (0) or page 4 (1).
    void wlan_init(unsigned char page);
    // Routing pattern 1..16 on Button_route and in line_type.
    void line_select(int pattern);
    // Builds the scan-file list and shows it (page 5).
    void build_file_list();
    // Append the scan files of the device's folder (local count), then of the stick (total
    // count), at most 100 in all.
    int get_file_list_smartpath();
    int get_file_list_usbpath();
    void scan_file_list();

    void language_for_shortcutt_page0();
    void language_for_shortcutt_page1();
    void language_for_shortcutt_page2();
    void language_for_shortcutt_page3();
    void language_for_loadscan_page4();
    void language_for_loadscan_page5();
    void language_for_paraweld_page6();
    void language_for_mapping_onoff_page7();

    int scan_file_count() const { return scan_count_; }
    const QStringList &file_list() const { return files_; }
    int list_page() const { return page_; }
    int list_last_page() const { return last_page_; }

signals:
    void sig_qround_bar_update(int percent);

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void on_Button_back_clicked();
    void on_Button_shortcut_clicked();
    void on_Button_loadscan_clicked();
    void on_Button_paraweld_clicked();
    void on_Button_mapping_clicked();
    void on_Button_next_clicked();
    void on_Button_front_2_clicked();
    void on_Button_next_2_clicked();
    void on_Button_front_3_clicked();
    void on_Button_route_clicked();
    void on_Button_cancel_clicked();
    void on_Button_send_clicked();
    void on_Button_next_5_clicked();
    void on_Button_front_6_clicked();
    void on_Button_load_clicked();
    void on_Button_confirm_clicked();
    void on_Button_mapping_state_clicked();
    void on_Button_route1_clicked();
    void on_Button_route2_clicked();
    void on_Button_route3_clicked();
    void on_Button_route4_clicked();
    void on_Button_route5_clicked();
    void on_Button_route6_clicked();
    void on_Button_route7_clicked();
    void on_Button_route8_clicked();
    void on_Button_route9_clicked();
    void on_Button_route10_clicked();
    void on_Button_route11_clicked();
    void on_Button_route12_clicked();
    void on_Button_route13_clicked();
    void on_Button_route14_clicked();
    void on_Button_route15_clicked();
    void on_Button_route16_clicked();
    void on_Button_wlan1_clicked();
    void on_Button_wlan2_clicked();
    void on_Button_wlan3_clicked();
    void on_Button_wlan4_clicked();
    void on_Button_wlan5_clicked();
    void on_Button_wlan6_clicked();
    void on_Button_wlan7_clicked();
    void on_Button_wlan8_clicked();
    void kra_button_wlan_clicked();
    void usb_para_sync(int code);
    void kra_Button_previous_clicked();
    void kra_Button_next_clicked();
    void kra_button_file_clicked();
    void confirmString(QString text);

private:
    void show_page(int index);
    void select_tab(int tab);
    void choose_route(int pattern);
    void refresh_scan_count();
    int usb_scan_files() const;
    QStringList list_scan_files(const QString &dir, int max) const;
    // Creates the progress bar and hands `code` to the FPGA thread; false when the job-start
    // guard refuses.
    bool start_job(u16 code);
    void job_progressed(int percent);
    void rebuild_list(int code);
    bool mapping_on() const;

    Ui::SmartMapping *ui;
    KraNumberFields fields_;
    QPushButton *menu_selected_ = nullptr;
    int tab_selected_ = 1;           // Button_wlan1..8
    u8 group_ = 0;                   // port group 0..2 of the shown grid
    u8 tile_ = 0;                    // tile 0..7 of the grid last pressed
    QFrame *grid_ = nullptr;         // the port grid, on page 1 or 4
    QFrame *tiles_[8] = {};
    u32 scan_count_ = 0;             // files of the scan folder (else USB scan files)
    QStringList files_;              // local scan files, then USB ones
    int local_count_ = 0;
    int page_ = 0;
    int last_page_ = 0;
    bool list_active_ = false;
    int pending_list_ = 0;           // 101/102 that came while a job ran
    KraFileList file_list_{nullptr};
    int selected_ = 0;               // position 0..4 on the shown page
};

#endif
