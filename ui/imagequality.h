#ifndef IMAGEQUALITY_H
#define IMAGEQUALITY_H

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

namespace Ui {
class ImageQuality;
}

// The picture quality screen: brightness, contrast, sharpness, saturation, the colour
// temperature type and the three gains of the parameter block. GUI thread only; every
// store goes through the video-chip manager's hand-off (ParaWrite), and the controls are
// redrawn from the parameter block by syncUpdate, never written back by a redraw.
class ImageQuality : public QDialog
{
    Q_OBJECT
public:
    explicit ImageQuality(QWidget *parent = nullptr);
    ~ImageQuality() override;

    void para_init();
    void syncUpdate();
    void language_changed();
    void combox_language_change();

public slots:
    void on_Button_back_clicked();

    void on_Button_quality_clicked();
    void on_Button_temperature_clicked();
    void on_comboBox_currentIndexChanged(int index);
    void on_Button_reset_clicked();

    void on_horizontalSlider_bright_valueChanged(int value);
    void on_horizontalSlider_bright_sliderReleased();
    void on_horizontalSlider_sharpness_valueChanged(int value);
    void on_horizontalSlider_sharpness_sliderReleased();
    void on_horizontalSlider_contrast_valueChanged(int value);
    void on_horizontalSlider_contrast_sliderReleased();
    void on_horizontalSlider_saturation_valueChanged(int value);
    void on_horizontalSlider_saturation_sliderReleased();
    void on_horizontalSlider_red_valueChanged(int value);
    void on_horizontalSlider_red_sliderReleased();
    void on_horizontalSlider_green_valueChanged(int value);
    void on_horizontalSlider_green_sliderReleased();
    void on_horizontalSlider_blue_valueChanged(int value);
    void on_horizontalSlider_blue_sliderReleased();

    void on_Button_bright_add_clicked();
    void on_Button_bright_reduce_clicked();
    void on_Button_sharpness_add_clicked();
    void on_Button_sharpness_reduce_clicked();
    void on_Button_contrast_add_clicked();
    void on_Button_contrast_reduce_clicked();
    void on_Button_saturation_add_clicked();
    void on_Button_saturation_reduce_clicked();
    void on_Button_red_add_clicked();
    void on_Button_red_reduce_clicked();
    void on_Button_green_add_clicked();
    void on_Button_green_reduce_clicked();
    void on_Button_blue_add_clicked();
    void on_Button_blue_reduce_clicked();

private:
    // The seven slider values, in the order they are shown.
    enum Row { Bright, Sharpness, Contrast, Saturation, Red, Green, Blue, RowCount };

    QSlider *slider(Row row) const;
    QLabel *valueLabel(Row row) const;
    void show_field(Row row);
    void slider_value_changed(Row row, int value);
    void step_value(Row row, int delta);
    void store_value(Row row, int value);
    void slider_stepped(Row row, int action);
    void set_colour_type(int index);
    void reset_picture();
    void select_page(QPushButton *button, int page);

    Ui::ImageQuality *ui;
    QPushButton *selected_page_ = nullptr;
};

#endif
