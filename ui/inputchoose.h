#ifndef INPUTCHOOSE_H
#define INPUTCHOOSE_H

#include <QDialog>
#include <QString>
#include "global.h"

namespace Ui {
class InputChoose;
}
class KraPagedTiles;
class QFrame;
class QLabel;
class QPushButton;

// The input selection screen: chooses what each window shows, a whole input or one of its
// crops. GUI thread only; its one write to the parameter block goes through
// KraRamPara::KraSetImageSource.
class InputChoose : public QDialog
{
    Q_OBJECT
public:
    explicit InputChoose(QWidget *parent = nullptr);
    ~InputChoose() override;

    void syncUpdate(int code);
    void language_changed();
    void initSource();
    void crop_source_num_update();
    void initMenu();
    void image_select();
    void TextCreate(char window, char);
    void input_source_changed(char window);
    void source_name_update();
    void source_check_update();

    u8 selected_window() const { return image_select_; }
    u8 selected_input() const { return source_select_; }
    u8 page() const { return page_; }
    u8 last_page() const { return last_page_; }

public slots:
    void on_Button_back_clicked();
    void on_Button_HDMI1_clicked();
    void on_Button_HDMI2_clicked();
    void on_Button_HDMI3_clicked();
    void on_Button_HDMI4_clicked();
    void on_Button_DVI_clicked();
    void on_Button_EXT_clicked();
    void kra_image_button_clicked();
    void kra_source_button_clicked();
    void kra_Button_previous_clicked();
    void kra_Button_next_clicked();
    void kra_Button_menu_clicked();
    void kra_button_inputcut_clicked();
    void kra_button_EDID_clicked();

private:
    void choose_input(int tab);
    void select_window(int window, int x);
    void assign_source(int tile);
    void turn_page(int step);
    QWidget *make_tile(QWidget *area, int place);
    bool fill_tile(QWidget *tile, int n);
    void build_menu();
    void menu_language_changed();
    void hide_menu();
    void toggle_menu();

    Ui::InputChoose *ui;
    u8 image_select_ = 0;                // selected window record
    u8 source_select_ = 2;               // input code of the chosen tab (HDMI1 until one is chosen)
    u8 page_ = 0;
    u8 last_page_ = 0;
    QString input_name_ = QStringLiteral("HDMI1");

    QLabel *tab_text_[6] = {};
    QLabel *tab_num_[6] = {};
    QLabel *tab_icon_[6] = {};

    QFrame *frame_image_ = nullptr;      // window strip
    QFrame *frame_image_select_ = nullptr;
    QLabel *window_labels_[6] = {};      // name labels of the strip's tiles, null without a tile
    KraPagedTiles *frame_source_ = nullptr; // source tiles
    QPushButton *button_inputcut_ = nullptr; // pop-up menu
    QPushButton *button_EDID_ = nullptr;
};

#endif
