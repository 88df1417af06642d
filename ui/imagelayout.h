#ifndef IMAGELAYOUT_H
#define IMAGELAYOUT_H

#include "global.h"
#include <QDialog>
#include "numberfields.h"
#include <array>

namespace Ui {
class ImageLayout;
}
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The window layout screen (page 9): a strip of six window tiles and the controls of the
// selected window (on/off, rectangle, mirror, point-to-point). GUI thread only. Every change
// is written into the live parameter image through ParaWrite; refills from the image never
// write back.
class ImageLayout : public QDialog
{
    Q_OBJECT
public:
    explicit ImageLayout(QWidget *parent = nullptr);
    ~ImageLayout() override;

    void syncUpdate();
    void language_changed();
    void image_para_update();
    void image_init();
    void TextCreate(int window);
    void mirror_select(int mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void on_Button_back_clicked();
    void kra_image_button_clicked();
    void confirmString(QString text);
    void on_button_state_clicked();
    void on_mirror1_clicked();
    void on_mirror2_clicked();
    void on_mirror3_clicked();
    void on_mirror4_clicked();
    void on_comboBox_P2P_currentIndexChanged(int index);
    void on_comboBox_currentIndexChanged(int index);
    void on_Button_source_select_clicked();
    void on_Button_ok_clicked();
    void on_Button_cancel_clicked();

private:
    void select_window(int window);
    void switch_state();
    void choose_mirror(int mode);
    void choose_p2p(int index);
    void choose_backup(int index);
    void show_p2p();
    void show_state(bool on);
    void mark_editor_button(QPushButton *button);
    void write_rectangle();
    int record(int offset) const;

    Ui::ImageLayout *ui;
    KraNumberFields fields_;
    u8 image_index_ = 0; // selected window 0..5
    u8 image_state_ = 1; // shown state of the selected window: 1 on, 0 off
    QPushButton *editor_marked_ = nullptr;
    QFrame *frame_image_ = nullptr;
    QFrame *frame_select_ = nullptr;
    std::array<QLabel *, 6> tile_source_{};
};

#endif
