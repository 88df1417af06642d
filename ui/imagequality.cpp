#include "imagequality.h"
#include "screenkit.h"
#include "words.h"
#include "textfit.h"
#include "ui_imagequality.h"

#include "global.h"
#include "krarampara.h"
#include "pararules.h"
#include "screens.h"

#include <QFontMetrics>
#include <QListView>
#include <QSignalBlocker>

namespace {

constexpr int kColourType = Para::PICTURE + 8;
constexpr int kPictureBytes = 16;


// One slider value: its controls, its field and how the field is stored.
struct ValueRow {
    QSlider *Ui::ImageQuality::*slider;
    QLabel *Ui::ImageQuality::*label;
    int addr;
    int max;
    bool lowByteOnly; // the field's high byte belongs to someone else
};

const ValueRow kRows[] = {
    {&Ui::ImageQuality::horizontalSlider_bright, &Ui::ImageQuality::label_bright, Para::PICTURE + 0, 100, true},
    {&Ui::ImageQuality::horizontalSlider_sharpness, &Ui::ImageQuality::label_sharpness, Para::PICTURE + 4, 100, true},
    {&Ui::ImageQuality::horizontalSlider_contrast, &Ui::ImageQuality::label_contrast, Para::PICTURE + 2, 100, true},
    {&Ui::ImageQuality::horizontalSlider_saturation, &Ui::ImageQuality::label_saturation, Para::PICTURE + 6, 100, false},
    {&Ui::ImageQuality::horizontalSlider_red, &Ui::ImageQuality::label_red, Para::PICTURE + 10, 128, false},
    {&Ui::ImageQuality::horizontalSlider_green, &Ui::ImageQuality::label_green, Para::PICTURE + 12, 128, false},
    {&Ui::ImageQuality::horizontalSlider_blue, &Ui::ImageQuality::label_blue, Para::PICTURE + 14, 128, false},
};

const KraFormText<Ui::ImageQuality, QLabel> kLabelTexts[] = {
    {&Ui::ImageQuality::label_title, {{"图像效果", "Image quality", "Изображение", "Chất lượng hình ảnh", "圖像效果"}}},
    {&Ui::ImageQuality::label_name_bright, {{"亮度", "Brightness", "Яркость", "Độ cao", "亮度"}}},
    {&Ui::ImageQuality::label_name_sharp, {{"锐度", "Sharpness", "Резкость", "Độ sắc nét", "銳度"}}},
    {&Ui::ImageQuality::label_name_contrast, {{"对比度", "Contrast", "Контраст", "Độ tương phản", "對比度"}}},
    {&Ui::ImageQuality::label_name_saturation, {{"饱和度", "Saturation", "Насыщенность", "Độ bão hòa", "飽和度"}}},
    {&Ui::ImageQuality::label_type, {{"色温类型", "temperature type", "Выбор цвета", "Lựa chọn độ màu", "色溫類型"}}},
    {&Ui::ImageQuality::label_name_red, {{"红色", "Red", "Красный", "Màu đỏ", "紅色"}}},
    {&Ui::ImageQuality::label_name_green, {{"绿色", "Green", "Зеленый", "Màu xanh lá cây", "綠色"}}},
    {&Ui::ImageQuality::label_name_blue, {{"蓝色", "Blue", "Синий", "Màu xanh da trời", "藍色"}}},
};

const KraFormText<Ui::ImageQuality, QPushButton> kButtonTexts[] = {
    {&Ui::ImageQuality::Button_quality, {{"画质", "Quality", "Качество", "Chất lượng", "畫質"}}},
    {&Ui::ImageQuality::Button_temperature, {{"色温", "Temperature", "Оттенок", "Độ màu", "色溫"}}},
    {&Ui::ImageQuality::Button_reset,
     {{"画质复位", "Reset", "Сбросить", "Đặt lại chất lượng hình ảnh", "畫質複位"}}},
};

const KraText kColourTypes[] = {
    {{"自定义", "custom", "Свой", "Tùy chỉnh", "自定義"}},
    {{"偏暖", "warm", "Теплый", "Màu ấm", "偏暖"}},
    {{"自然", "nature", "Природный", "Tự nhiên", "自然"}},
    {{"偏冷", "cool", "Холодный", "Lạnh hơn", "偏冷"}},
};
constexpr int kColourTypeCount = int(sizeof kColourTypes / sizeof kColourTypes[0]);


} // namespace

ImageQuality::ImageQuality(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::ImageQuality)
{
    ui->setupUi(this);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    ui->stackedWidget->setCurrentIndex(0);
    kra_set_marked(ui->Button_quality, true);
    selected_page_ = ui->Button_quality;
    ui->comboBox->setView(new QListView(ui->comboBox));
    for (int r = 0; r < RowCount; ++r) {
        const Row row = Row(r);
        connect(slider(row), &QAbstractSlider::actionTriggered, this,
                [this, row](int action) { slider_stepped(row, action); });
    }

    language_changed();
    para_init();
}

ImageQuality::~ImageQuality()
{
    delete ui;
}

QSlider *ImageQuality::slider(Row row) const
{
    return ui->*(kRows[row].slider);
}

QLabel *ImageQuality::valueLabel(Row row) const
{
    return ui->*(kRows[row].label);
}

void ImageQuality::show_field(Row row)
{
    const int value = int16_t(KraRamPara::pInstance()->live16(kRows[row].addr));
    valueLabel(row)->setText(QString::number(value));
    QSignalBlocker block(slider(row));
    slider(row)->setValue(value);
}

void ImageQuality::para_init()
{
    for (int r = Bright; r <= Saturation; ++r)
        show_field(Row(r));
    {
        QSignalBlocker block(ui->comboBox);
        ui->comboBox->setCurrentIndex(int16_t(KraRamPara::pInstance()->live16(kColourType)));
    }
    for (int r = Red; r <= Blue; ++r)
        show_field(Row(r));
}

void ImageQuality::syncUpdate()
{
    KraRamPara *para = KraRamPara::pInstance();
    if (para->KraLanguageChanged())
        language_changed();
    if (para->differs(Para::PICTURE, kPictureBytes))
        para_init();
}

void ImageQuality::language_changed()
{
    kra_apply_texts(ui, kLabelTexts, kra_fit_text);
    kra_apply_texts(ui, kButtonTexts, kra_fit_text);
    {
        QSignalBlocker block(ui->comboBox);
        ui->comboBox->setCurrentIndex(KraRamPara::pInstance()->ram_para[kColourType]);
    }
    combox_language_change();
}

void ImageQuality::combox_language_change()
{
    // Clearing and refilling passes through other indexes; none of them is the operator's.
    QSignalBlocker block(ui->comboBox);
    const int index = ui->comboBox->currentIndex();
    ui->comboBox->clear();
    for (const KraText &t : kColourTypes)
        ui->comboBox->addItem(kra_text(t));
    ui->comboBox->setCurrentIndex(index);
}

// A drag only shows the value; its release stores it. A tap on the groove (or a step)
// moves the value without any release, so that move is stored as it is made: the label
// never shows a value not in force. A value set from code only shows.
void ImageQuality::slider_value_changed(Row row, int value)
{
    valueLabel(row)->setText(QString::number(value));
}

void ImageQuality::slider_stepped(Row row, int action)
{
    if (action != QAbstractSlider::SliderMove && !slider(row)->isSliderDown())
        store_value(row, slider(row)->sliderPosition());
}

void ImageQuality::step_value(Row row, int delta)
{
    const ValueRow &r = kRows[row];
    const int16_t shown = valueLabel(row)->text().toShort(); // no number reads 0
    const int16_t stepped = int16_t(shown + delta);
    // Kept within the slider's range both ways, so the label shows what is stored even
    // when the field held a value outside the range.
    const int value = qBound(0, int(stepped), r.max);
    valueLabel(row)->setText(QString::number(value));
    {
        QSignalBlocker block(slider(row));
        slider(row)->setValue(value);
    }
    store_value(row, value);
}

void ImageQuality::store_value(Row row, int value)
{
    const ValueRow &r = kRows[row];
    ParaWrite w;
    if (r.lowByteOnly)
        w.set8(r.addr, u8(value));
    else
        w.set16(r.addr, u16(value));
}

void ImageQuality::set_colour_type(int index)
{
    if (index < 0 || index >= kColourTypeCount)
        return;
    if (int16_t(KraRamPara::pInstance()->live16(kColourType)) == index)
        return;
    ParaWrite w;
    w.set16(kColourType, u16(index));
}

// The controls follow when the refresh finds the 16 bytes changed.
void ImageQuality::reset_picture()
{
    kra_picture_reset();
}

void ImageQuality::select_page(QPushButton *button, int page)
{
    ui->stackedWidget->setCurrentIndex(page);
    if (selected_page_)
        kra_set_marked(selected_page_, false);
    kra_set_marked(button, true);
    selected_page_ = button;
}

void ImageQuality::on_Button_back_clicked() { kra_close_screen(Page::PictureQuality); }

void ImageQuality::on_Button_quality_clicked() { select_page(ui->Button_quality, 0); }
void ImageQuality::on_Button_temperature_clicked() { select_page(ui->Button_temperature, 1); }
void ImageQuality::on_comboBox_currentIndexChanged(int index) { set_colour_type(index); }
void ImageQuality::on_Button_reset_clicked() { reset_picture(); }

void ImageQuality::on_horizontalSlider_bright_valueChanged(int value) { slider_value_changed(Bright, value); }
void ImageQuality::on_horizontalSlider_bright_sliderReleased() { store_value(Bright, slider(Bright)->value()); }
void ImageQuality::on_horizontalSlider_sharpness_valueChanged(int value) { slider_value_changed(Sharpness, value); }
void ImageQuality::on_horizontalSlider_sharpness_sliderReleased() { store_value(Sharpness, slider(Sharpness)->value()); }
void ImageQuality::on_horizontalSlider_contrast_valueChanged(int value) { slider_value_changed(Contrast, value); }
void ImageQuality::on_horizontalSlider_contrast_sliderReleased() { store_value(Contrast, slider(Contrast)->value()); }
void ImageQuality::on_horizontalSlider_saturation_valueChanged(int value) { slider_value_changed(Saturation, value); }
void ImageQuality::on_horizontalSlider_saturation_sliderReleased() { store_value(Saturation, slider(Saturation)->value()); }
void ImageQuality::on_horizontalSlider_red_valueChanged(int value) { slider_value_changed(Red, value); }
void ImageQuality::on_horizontalSlider_red_sliderReleased() { store_value(Red, slider(Red)->value()); }
void ImageQuality::on_horizontalSlider_green_valueChanged(int value) { slider_value_changed(Green, value); }
void ImageQuality::on_horizontalSlider_green_sliderReleased() { store_value(Green, slider(Green)->value()); }
void ImageQuality::on_horizontalSlider_blue_valueChanged(int value) { slider_value_changed(Blue, value); }
void ImageQuality::on_horizontalSlider_blue_sliderReleased() { store_value(Blue, slider(Blue)->value()); }

void ImageQuality::on_Button_bright_add_clicked() { step_value(Bright, +1); }
void ImageQuality::on_Button_bright_reduce_clicked() { step_value(Bright, -1); }
void ImageQuality::on_Button_sharpness_add_clicked() { step_value(Sharpness, +1); }
void ImageQuality::on_Button_sharpness_reduce_clicked() { step_value(Sharpness, -1); }
void ImageQuality::on_Button_contrast_add_clicked() { step_value(Contrast, +1); }
void ImageQuality::on_Button_contrast_reduce_clicked() { step_value(Contrast, -1); }
void ImageQuality::on_Button_saturation_add_clicked() { step_value(Saturation, +1); }
void ImageQuality::on_Button_saturation_reduce_clicked() { step_value(Saturation, -1); }
void ImageQuality::on_Button_red_add_clicked() { step_value(Red, +1); }
void ImageQuality::on_Button_red_reduce_clicked() { step_value(Red, -1); }
void ImageQuality::on_Button_green_add_clicked() { step_value(Green, +1); }
void ImageQuality::on_Button_green_reduce_clicked() { step_value(Green, -1); }
void ImageQuality::on_Button_blue_add_clicked() { step_value(Blue, +1); }
void ImageQuality::on_Button_blue_reduce_clicked() { step_value(Blue, -1); }
