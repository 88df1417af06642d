#ifndef EDIDSET_H
#define EDIDSET_H

#include "global.h"
#include <QDialog>
#include "numberfields.h"
#include <QFont>
#include <QString>

namespace Ui {
class EDIDset;
}
class QFrame;
class QLineEdit;
class QPushButton;

// The EDID settings screen (page 8): width, height and refresh rate that each input
// announces to its source. GUI thread only; its one write to the parameter block goes
// through KraRamPara::KraSetEDIDPara.
class EDIDset : public QDialog
{
    Q_OBJECT
public:
    explicit EDIDset(QWidget *parent = nullptr);
    ~EDIDset() override;

    void syncUpdate();
    void input_init();
    void source_init();
    void language_changed();

    u8 selected_record() const { return edid_select_; }

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void on_Button_back_clicked();
    void kra_button_input_clicked();
    void kra_button_source_clicked();
    void kra_button_ok_clicked();
    void kra_button_cancel_clicked();
    void kra_button_delete_clicked();
    void on_Button_left_clicked();
    void on_Button_right_clicked();
    void confirmString(QString text);

private:
    void choose_input(int position);
    void open_editor();
    void close_editor();
    void save();
    void toggle_rate();
    void show_source_label();

    Ui::EDIDset *ui;
    KraNumberFields fields_;
    u8 edid_select_ = 2;                 // record of the chosen input (HDMI1 when built)
    QString input_name_ = QStringLiteral("HDMI1");
    QFont tile_font_;
    QFrame *frame_select_ = nullptr;     // marks the chosen input
    QFrame *frame_source_ = nullptr;     // the chosen input's tile
    QPushButton *button_delete_ = nullptr;
    QPushButton *button_cancel_ = nullptr;
    QPushButton *button_ok_ = nullptr;
};

#endif
