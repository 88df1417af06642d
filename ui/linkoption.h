#ifndef LINKOPTION_H
#define LINKOPTION_H

#include "filelist.h"
#include "numberfields.h"
#include "global.h"
#include "usbserver.h"

#include <QDialog>
#include <QString>

namespace Ui {
class LinkOption;
}
class My_lineEdit;
class QLineEdit;
class QPushButton;

// The communication settings screen (page 10): the serial port's fixed settings, the wired
// network address typed octet by octet, and the USB update page, which lists the update
// files of the stick and hands the upgrade to the FPGA thread. GUI thread only; it touches
// no field of the parameter block.
class LinkOption : public QDialog
{
    Q_OBJECT
public:
    explicit LinkOption(QWidget *parent = nullptr);
    ~LinkOption() override;

    void syncUpdate(int code);
    void language_changed();
    void get_file_list_smartpath();
    void rcv_self_recovery_file_list();
    void menulist_button_ok_page();

    const UsbUpgradeFiles &usb_files() const { return usb_; }

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void on_Button_back_clicked();
    void on_Button_com_clicked();
    void on_Button_wlan_clicked();
    void on_Button_usb_clicked();
    void on_Button_direct_clicked();
    void on_Button_IP_clicked();
    void on_Button_net_apply_clicked();
    void on_Button_net_cancel_clicked();
    void on_Button_ok_clicked();
    void confirmString(QString text);

private:
    void show_page(int index, QPushButton *menu);
    void choose_link(bool direct);
    void apply_address();
    void show_upgrade_result();
    My_lineEdit *octet(int row, int k) const;
    QString address(int row) const;

    Ui::LinkOption *ui;
    QPushButton *current_menu_ = nullptr;
    UsbUpgradeFiles usb_;
    int list_page_ = 0;
    int last_page_ = 0; // only the first five files are shown
    bool file_downing_ = false;
    KraFileList file_list_;
    KraNumberFields fields_;
};

#endif
