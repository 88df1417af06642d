#ifndef OUTPUTSET_H
#define OUTPUTSET_H

#include <QDialog>
#include "numberfields.h"
#include <QFont>
#include "global.h"

namespace Ui {
class OutputSet;
}
class QFrame;
struct LedLayout;
class QLineEdit;
class QPushButton;

// Highlighted page button, the highlighted one of Cancel and Apply on the LED page and on the
// net-port page, highlighted group tab, and the tile frames of the current group; null while
// the screen is closed. GUI thread only.
extern QPushButton *g_set_focus;
extern QPushButton *g_apply_focus1;
extern QPushButton *g_apply_focus2;
extern QPushButton *g_wlan_focus;
extern QFrame *g_wlan_frame[8];

// LED output settings: the LED screen's size, the splicing of the picture over the two
// outputs and their areas (written to the parameter block by Apply only), and the area of
// each net port (read from the FPGA parameter images). GUI thread only.
class OutputSet : public QDialog
{
    Q_OBJECT
public:
    explicit OutputSet(QWidget *parent = nullptr);
    ~OutputSet() override;

    void syncUpdate();
    void language_changed();
    void combox_language_change();
    void para_init();
    void out_label_changed();
    void wlan_init();
    void wlan_para_get(unsigned short port);

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void on_Button_back_clicked();
    void confirmString(QString value);
    void on_comboBox_activated(int index);
    void on_Button_apply1_clicked();
    void on_Button_cancel1_clicked();
    void on_Button_ledset_clicked();
    void on_Button_lanset_clicked();
    void on_Button_wlan1_clicked();
    void on_Button_wlan2_clicked();
    void on_Button_wlan3_clicked();
    void on_Button_wlan4_clicked();
    void on_Button_apply2_clicked();
    void on_Button_cancel2_clicked();
    void kra_button_wlan_clicked();

private:
    void choose_mode(int index);
    // Writes the LED size, the splice mode and the output areas; false when nothing was
    // written (the split leaves an output 0 or less wide or high).
    bool apply_led();
    LedLayout shown_layout() const;
    void show_outputs(const LedLayout &led);
    void confirm_out1_width(const QString &typed);
    void confirm_out1_height(const QString &typed);
    void select_page(QPushButton *button, int page);
    void select_group(int tab);
    static void move_highlight(QPushButton *&focus, QPushButton *button);

    Ui::OutputSet *ui;
    KraNumberFields fields_;
    u8 mode_ = 3;  // 3 horizontal, 2 vertical, 4 copy
    u8 group_ = 0; // net-port group: ports 8 x group + 1 .. 8 x group + 8
    u8 tile_ = 0;  // highlighted port tile of the group
    QFrame *tiles_ = nullptr;
    QFont tile_font_;
};

#endif
