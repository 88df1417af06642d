#ifndef CUSTOMMODE_H
#define CUSTOMMODE_H

#include "omenu.h"
#include <QDialog>
#include <QFont>

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace Ui {
class CustomMode;
}

// Action button of this screen that carries the selected style; GUI thread only.
extern QPushButton *g_button_focus;
// Tile frame of each user-mode slot from the last list build (0 when none); GUI thread only.
extern QFrame *g_frame[16];

// The user modes screen: the sixteen slots as tiles, the details and a preview of the
// selected slot, and Invoke / Delete of a saved mode. GUI thread only; the only shared
// write is the live image under the video-chip manager's mutex (Invoke).
class CustomMode : public QDialog
{
    Q_OBJECT
public:
    explicit CustomMode(QWidget *parent = nullptr);
    ~CustomMode() override;

    void init();
    void lcd_para_init();
    void image_para_init();
    void language_changed();
    void syncUpdate();
    void color_fill(QLabel *label, char index);

    void select_mode(int slot);
    void use_mode();
    void delete_mode();

public slots:
    void kra_button_mode_clicked();
    void on_Button_use_clicked();
    void on_Button_delete_clicked();
    void on_Button_back_clicked();

private:
    void focus_button(QPushButton *button);
    // Makes the sixteen rows of the list: tile, number, name and button.
    void build_rows();

    Ui::CustomMode *ui;
    QScrollArea *scroll_ = nullptr;
    // A tile has been touched since the list was made: the touched tile is marked, not
    // the mode in use.
    bool touched_ = false;
    QWidget *preview_ = nullptr;
    QFont font10_;
    OSD_LIST osd_list_;
};

#endif
