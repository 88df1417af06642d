#include "option.h"
#include "screenkit.h"
#include "global.h"
#include "mainwindow.h"
#include "screens.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {
struct Entry {
    const char *name;
    Page::Id page;
    const char *icon;
    KraText text;
};
const Entry kEntries[] = {
    {"image_layout", Page::WindowLayout, ":/png/icon_layout.png",
     {{"画面布局", "Screen layout", "Расположение", "Bố cục", "畫麵佈局"}}},
    {"image_quality", Page::PictureQuality, ":/png/icon_quality.png",
     {{"画质调节", "Picture quality", "Изображение", "Chất lượng ảnh", "畫質調節"}}},
    {"test_chart", Page::TestPatterns, ":/png/icon_test.png",
     {{"测试画面", "Test pattern", "Тест", "Mẫu kiểm tra", "測試畫面"}}},
    {"input_cut", Page::CropEditor, ":/png/icon_crop.png",
     {{"输入截取", "Input crop", "Обрезка", "Cắt nguồn vào", "輸入截取"}}},
    {"output_set", Page::Output, ":/png/icon_output.png",
     {{"输出设置", "Output", "Выход", "Đầu ra", "輸出設置"}}},
    {"link_set", Page::Communication, ":/png/icon_link.png",
     {{"通讯设置", "Communication", "Связь", "Truyền thông", "通訊設置"}}},
    {"AdvanceButton", Page::Advanced, ":/png/icon_advanced.png",
     {{"高级设置", "Advanced", "Дополнительно", "Nâng cao", "高級設置"}}},
    {"smart_mapping", Page::SmartMapping, ":/png/icon_mapping.png",
     {{"智能映射", "Smart mapping", "Смарт-карта", "Ánh xạ", "智能映射"}}},
};
const KraText kTitle = {{"设置", "Settings", "Настройки", "Cài đặt", "設置"}};
// The whole screen's look, in one sheet.
const char *kSheet = "*{background-color: rgb(16, 16, 28);}"
                     "#label_title{color: rgb(255, 255, 255);font: 24px;}"
                     "#line{background-color: rgb(133, 129, 153);}"
                     "QToolButton{background-color: #212435;color: #FFFFFF;border:1px solid #FFFFFF;"
                     "font: 17px;}QToolButton:disabled{color: #5F6481;border:1px solid #5F6481;}";
} // namespace

Option::Option(QWidget *parent) : QDialog(parent, kra_screen_flags)
{
    setObjectName(QStringLiteral("Option"));
    setFixedSize(800, 480);
    // The font first: set under a style sheet it has the sheet's rules resolved at once,
    // which the first polish does again.
    QFont f = font();
    f.setPointSize(12);
    setFont(f);
    setStyleSheet(QString::fromLatin1(kSheet));

    auto *back = new QPushButton(this);
    back->setObjectName(QStringLiteral("Button_back"));
    back->setGeometry(11, 11, 50, 50);
    back->setFocusPolicy(Qt::NoFocus);
    back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    back->setIconSize(QSize(32, 32));
    back->setFlat(true);
    label_title_ = new QLabel(this);
    label_title_->setObjectName(QStringLiteral("label_title"));
    label_title_->setGeometry(200, 15, 400, 42);
    label_title_->setAlignment(Qt::AlignCenter);
    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setGeometry(0, 70, 800, 1);

    int i = 0;
    for (const Entry &e : kEntries) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(e.name));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setGeometry(30 + 190 * (i % 4), 100 + 185 * (i / 4), 170, 165);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(kra_icon(QString::fromLatin1(e.icon)));
        b->setIconSize(QSize(64, 64));
        b->setEnabled(kra_screen_built(e.page));
        ++i;
    }
    QMetaObject::connectSlotsByName(this);
    language_changed();
}

void Option::language_changed()
{
    label_title_->setText(kra_text(kTitle));
    for (const Entry &e : kEntries) {
        if (auto *b = findChild<QToolButton *>(QString::fromLatin1(e.name)))
            b->setText(kra_text(e.text));
    }
}

void Option::on_Button_back_clicked() { kra_close_screen(Page::Settings); }
void Option::on_image_layout_clicked() { kra_open_screen(Page::WindowLayout); }
void Option::on_image_quality_clicked() { kra_open_screen(Page::PictureQuality); }
void Option::on_test_chart_clicked() { kra_open_screen(Page::TestPatterns); }
void Option::on_input_cut_clicked() { kra_open_screen(Page::CropEditor); }
void Option::on_output_set_clicked() { kra_open_screen(Page::Output); }
void Option::on_link_set_clicked() { kra_open_screen(Page::Communication); }
void Option::on_AdvanceButton_clicked() { kra_open_screen(Page::Advanced); }
void Option::on_smart_mapping_clicked() { kra_open_screen(Page::SmartMapping); }
