#ifndef INPUTCUT_H
#define INPUTCUT_H

#include "global.h"
#include <QDialog>
#include "numberfields.h"
#include <QFont>
#include <QString>

namespace Ui {
class InputCut;
}
class KraPagedTiles;
class QFrame;
class QLineEdit;
class QPushButton;
struct CROP_PARA;

// The input crop editor (page 7): adds, edits and deletes the crops of the six inputs.
// GUI thread only; the crop table is written only through the KraRamPara crop operations.
// A crop opened for editing is remembered by its own crop number, so that OK and Delete
// reach that crop even when other clients add or delete crops meanwhile.
class InputCut : public QDialog
{
    Q_OBJECT
public:
    explicit InputCut(QWidget *parent = nullptr);
    ~InputCut() override;

    void syncUpdate(int code);
    void language_changed();
    void input_init();
    void source_init();
    void crop_source_num_update();
    void para_changed_over();

    u8 input() const { return source_select_; }
    u8 page() const { return page_; }
    u8 last_page() const { return last_page_; }
    u8 edited_crop() const { return source_edit_; }
    bool adding() const { return new_crop_ != 0; }
    // Crop number of the crop being edited, 0 while adding or closed.
    int edited_number() const { return edit_number_; }
    bool editor_open() const;

public slots:
    // A touched number field (its send_show): the number keyboard runs for it.
    void show_numberkeyboard_ui(QString text);
    void confirmString(QString text);
    void kra_button_input_clicked();
    void kra_button_source_clicked();
    void kra_button_add_clicked();
    void kra_button_ok_clicked();
    void kra_button_cancel_clicked();
    void kra_button_delete_clicked();
    void kra_Button_previous_clicked();
    void kra_Button_next_clicked();
    void on_Button_back_clicked();

private:
    void choose_input(int tab);
    void open_new_crop();
    int new_crop_number() const;
    void open_crop(int tile);
    void show_editor(bool editing);
    void caption_editor();
    void read_fields(CROP_PARA *crop) const;
    void store();
    void delete_crop();
    void crops_changed();
    void turn_page(int step);
    bool fill_tile(QWidget *tile, int n);

    Ui::InputCut *ui;
    KraNumberFields fields_;
    u8 source_select_ = 2;               // input code of the chosen tab
    u8 page_ = 0;
    u8 last_page_ = 0;
    u8 source_edit_ = 0;                 // position of the crop as it was touched
    u8 new_crop_ = 0;
    u8 edit_input_ = 2;                  // input and number of the crop being edited
    int edit_number_ = 0;
    QString input_name_ = QStringLiteral("HDMI1");
    QString crop_caption_;
    QFont tile_font_;

    QFrame *frame_input_select_ = nullptr; // highlight of the chosen tab
    KraPagedTiles *frame_source_ = nullptr; // tiles, add, previous, next
    QPushButton *button_add_ = nullptr;    // lives in frame_source_
    QPushButton *button_cancel_ = nullptr;
    QPushButton *button_ok_ = nullptr;
    QPushButton *button_delete_ = nullptr;
};

#endif
