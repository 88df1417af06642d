#include "test_chart.h"
#include "screenkit.h"
#include "textfit.h"
#include "ui_test_chart.h"

#include "krarampara.h"
#include "screens.h"
#include "utils.h"

#include <QFontMetrics>
#include <QPushButton>

namespace {

struct Pattern {
    QLabel *Ui::test_chart::*picture;
    QLabel *Ui::test_chart::*name;
    KraText text; // Russian and Vietnamese use the numbered format below instead
};
const Pattern kPatterns[test_chart::kPatternCount] = {
    {&Ui::test_chart::label_test1, &Ui::test_chart::label_red, {{"红色", "Red", nullptr, nullptr, "紅色"}}},
    {&Ui::test_chart::label_test2, &Ui::test_chart::label_green, {{"绿色", "Green", nullptr, nullptr, "綠色"}}},
    {&Ui::test_chart::label_test3, &Ui::test_chart::label_blue, {{"蓝色", "Blue", nullptr, nullptr, "藍色"}}},
    {&Ui::test_chart::label_test4, &Ui::test_chart::label_white, {{"白色", "White", nullptr, nullptr, "白色"}}},
    {&Ui::test_chart::label_test5, &Ui::test_chart::label_black, {{"黑色", "Black", nullptr, nullptr, "黑色"}}},
    {&Ui::test_chart::label_test6, &Ui::test_chart::label_colour, {{"色带", "Colour bar", nullptr, nullptr, "色帶"}}},
    {&Ui::test_chart::label_test7, &Ui::test_chart::label_hline,
     {{"横线", "Horizontal line", nullptr, nullptr, "橫線"}}},
    {&Ui::test_chart::label_test8, &Ui::test_chart::label_wline, {{"竖线", "Vertical line", nullptr, nullptr, "豎線"}}},
};
const char *const kNumberedName[5] = {nullptr, nullptr, "Тест %1", "Kiểm tra %1", nullptr};

const KraText kClose = {{"关闭测试图", "Close", "Закрыть", "Đóng", "關閉測試圖"}};
const KraText kTitle = {{"测试图", "Test pattern", "Тестовый\nобразец", "Biểu đồ\nkiểm tra", "測試圖"}};


} // namespace

test_chart::test_chart(QWidget *parent) : QDialog(parent, kra_screen_flags), ui(new Ui::test_chart)
{
    ui->setupUi(this);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    ui->Button_back->setIconSize(QSize(32, 32));
    testimage_button_init();
    para_init();
    language_changed();
}

test_chart::~test_chart()
{
    delete ui;
}

QLabel *test_chart::picture(int index) const
{
    return ui->*(kPatterns[index].picture);
}

// The marked border is wider: the picture is scaled again to the box it leaves.
void test_chart::show_picture(int index)
{
    kra_set_picture(picture(index), QStringLiteral(":/png/img_test%1.png").arg(index + 1));
}

void test_chart::mark_picture(int index, bool marked)
{
    kra_set_marked(picture(index), marked);
    show_picture(index);
}

// Each button covers the right part of its picture and the space beside it.
void test_chart::testimage_button_init()
{
    for (int i = 0; i < kPatternCount; ++i) {
        auto *b = new KraTouchArea(ui->frame);
        b->setObjectName(QString::number(i));
        b->setGeometry(40 + 140 * (i % 4), 20 + 160 * (i / 4), 100, 100);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFlat(true);
        connect(b, &QPushButton::clicked, this, &test_chart::kra_image_button_clicked);
    }
}

void test_chart::para_init()
{
    for (int i = 0; i < kPatternCount; ++i)
        show_picture(i);
}

void test_chart::language_changed()
{
    const int lang = kra_text_language();
    for (int i = 0; i < kPatternCount; ++i) {
        const QString name = kNumberedName[lang] ? QString::fromUtf8(kNumberedName[lang]).arg(i + 1)
                                                 : kra_text(kPatterns[i].text);
        (ui->*(kPatterns[i].name))->setText(name);
        kra_fit_text(ui->*(kPatterns[i].name));
    }
    ui->Button_closetest->setText(kra_text(kClose));
    kra_fit_text(ui->Button_closetest);
    ui->label_title->setText(kra_text(kTitle));
    kra_fit_text(ui->label_title);
}

void test_chart::syncUpdate()
{
    if (KraRamPara::pInstance()->KraLanguageChanged())
        language_changed();
}

// Written on every touch, also of the pattern already marked: the field may have been
// changed by the protocol meanwhile.
void test_chart::choose_pattern(int index)
{
    kra_debug("\n\n index = %d \n\n", index);
    if (index != selected_) {
        if (selected_ < kPatternCount)
            mark_picture(selected_, false);
        selected_ = u8(index);
        mark_picture(index, true);
    }
    ParaWrite w;
    w.set8(Para::TEST_PATTERN, u8(index + 1));
}

void test_chart::close_pattern()
{
    if (selected_ < kPatternCount)
        mark_picture(selected_, false);
    selected_ = kNoSelection;
    ParaWrite w;
    w.set8(Para::TEST_PATTERN, 0);
}

void test_chart::kra_image_button_clicked()
{
    const QObject *button = sender();
    if (!button)
        return;
    bool ok = false;
    const int index = button->objectName().toInt(&ok);
    if (ok && index >= 0 && index < kPatternCount)
        choose_pattern(index);
}

void test_chart::on_Button_closetest_clicked() { close_pattern(); }

void test_chart::on_Button_back_clicked() { kra_close_screen(Page::TestPatterns); }
