#include "linkoption.h"
#include "ui_linkoption.h"

#include "config_engine.h"
#include "fpga_manage.h"
#include "krarampara.h"
#include "my_lineedit.h"
#include "screenkit.h"
#include "screens.h"
#include "textfit.h"
#include "utils.h"
#include "words.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <unistd.h>

namespace {

enum Row { ROW_IP = 0, ROW_MASK = 1, ROW_GATE = 2 };
constexpr int kRows = 3;
enum StackPage { PAGE_SERIAL = 0, PAGE_NET = 1, PAGE_USB = 2 };

// Texts in language-code order: zh-CN, en, ru, vi, zh-TW.
using Form = Ui::LinkOption;
const KraFormText<Form, QLabel> kLabelTexts[] = {
    {&Form::label_title, {{"通讯设置", "Communication", "Подключение", "Cài đặt giao tiếp", "通訊設置"}}},
    {&Form::label_baud, {{"波特率", "Baud rate", "Скорость передачи", "Tốc độ truyền", "波特率"}}},
    {&Form::label_bit, {{"数据位", "Data bits", "Биты данных", "Bit dữ liệ", "數據位"}}},
    {&Form::label_stop, {{"停止位", "Stop bit", "Бит остановки", "Dừng bit", "停止位"}}},
    {&Form::label_network, {{"网卡", "Network", "Сетевая карта", "Thẻ kết nối", "網卡"}}},
    {&Form::label_direct, {{"单机直连", "Direct link", "Напрямую", "Kết nối trực tiếp độc lập", "單機直連"}}},
    {&Form::label_IP, {{"固定IP", "Fixed IP mode", "По IP-адресу", "Dự phòng nóng", "固定IP"}}},
    {&Form::label_IpSet, {{"IP地址", "IP", "IP-адрес", "Địa chỉ IP", "IP地址"}}},
    {&Form::label_netmask, {{"子网掩码", "Mask", "Маска", "Cài đặt mặt lạ con", "子網掩碼"}}},
    {&Form::label_gateway, {{"默认网关", "Gate", "Шлюз", "Cổng vào", "網關"}}},
};
const KraFormText<Form, QPushButton> kButtonTexts[] = {
    {&Form::Button_com, {{"串口连接", "Serial port", "COM-порт", "Cài đặt cổng\n nối tiếp", "串口連接"}}},
    {&Form::Button_wlan, {{"网口设置", "Net connect", "Сетевое по\nдключение", "Cài đặt\ncổng mạng", "網口設置"}}},
    {&Form::Button_usb, {{"USB升级", "USB UPDATE", "Обновление\nчерез USB", "Sử dụng ổ USB\nđể cập nhập", "USB昇級"}}},
    {&Form::Button_net_apply, {{"应用", "Apply", "OK", "Đồng ý", "應用"}}},
};
const KraText kKeyCaption[kRows] = {
    {{"IP", "IP", "IP", "IP", "IP"}},
    {{"掩码", "mask", "mask", "mask", "掩碼"}},
    {{"网关", "gateway", "gateway", "gateway", "網關"}},
};
const KraText kNoFile = {{"无加载文件!", "No loaded file!", "Нет файлов для загрузки!",
                          "Không có tập tin để tải!", "無加載文件!"}};
const KraText kRefused = {{"升级失败: 文件无效", "Update failed: package refused",
                           "Ошибка обновления: файл отклонён", "Cập nhật thất bại: tập tin bị từ chối",
                           "昇級失敗: 文件無效"}};
const KraText kNothing = {{"未安装任何文件", "Nothing installed", "Ничего не установлено",
                           "Không có gì được cài đặt", "未安裝任何文件"}};

const char *const kResultFormat = "<font style = 'font-size:20px' color = %1 >%2</font>";

// An octet as typed when it is one to three decimal digits of 0..255 written plainly ("010"
// would be octal to the system's address parser); empty when refused.
QString octetText(const QString &typed)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    if (!digits.match(typed).hasMatch())
        return QString();
    const int v = typed.toInt();
    return v <= 255 && QString::number(v) == typed ? typed : QString();
}

} // namespace

LinkOption::LinkOption(QWidget *parent)
    : QDialog(parent, kra_screen_flags), ui(new Ui::LinkOption), file_list_(nullptr),
      fields_(this, [this](const QString &text) { confirmString(text); })
{
    ui->setupUi(this);
    setFixedSize(800, 480);
    file_list_ = KraFileList(ui->page_3);
    ui->stackedWidget->setCurrentIndex(PAGE_SERIAL);
    ui->Button_back->setIcon(kra_icon(QStringLiteral(":/png/back.png")));
    current_menu_ = ui->Button_com;
    for (QPushButton *b : {ui->Button_com, ui->Button_wlan, ui->Button_usb, ui->Button_net_cancel,
                           ui->Button_net_apply})
        kra_set_marked(b, b == current_menu_);
    choose_link(true);
    language_changed();

    const QString *const addresses[kRows] = {&g_str_ip, &g_srt_mask, &g_str_gateway};
    for (int row = 0; row < kRows; ++row) {
        const QStringList parts = addresses[row]->split(QLatin1Char('.'));
        for (int k = 0; k < 4 && k < parts.size(); ++k)
            octet(row, k)->setText(parts[k]);
    }

    for (int row = 0; row < kRows; ++row) {
        for (int k = 0; k < 4; ++k)
            fields_.add(octet(row, k), kKeyCaption[row]);
    }
}

LinkOption::~LinkOption()
{
    if (g_linkoption == this)
        g_linkoption = nullptr;
    delete ui;
}

My_lineEdit *LinkOption::octet(int row, int k) const
{
    My_lineEdit *const fields[kRows][4] = {
        {ui->lineEditIp1, ui->lineEditIp2, ui->lineEditIp3, ui->lineEditIp4},
        {ui->lineEditMask1, ui->lineEditMask2, ui->lineEditMask3, ui->lineEditMask4},
        {ui->lineEditGate1, ui->lineEditGate2, ui->lineEditGate3, ui->lineEditGate4},
    };
    return fields[row][k];
}

QString LinkOption::address(int row) const
{
    QStringList parts;
    for (int k = 0; k < 4; ++k)
        parts << octet(row, k)->text();
    return parts.join(QLatin1Char('.'));
}

void LinkOption::language_changed()
{
    kra_apply_texts(ui, kLabelTexts, kra_fit_text);
    kra_apply_texts(ui, kButtonTexts, kra_fit_text);
    ui->Button_net_cancel->setText(kra_text(kra_words::cancel));
    ui->Button_ok->setText(kra_text(kra_words::ok));
}

// ---- menu and the radio pair ----

void LinkOption::show_page(int index, QPushButton *menu)
{
    ui->stackedWidget->setCurrentIndex(index);
    kra_set_marked(current_menu_, false);
    kra_set_marked(menu, true);
    current_menu_ = menu;
}

void LinkOption::on_Button_com_clicked() { show_page(PAGE_SERIAL, ui->Button_com); }
void LinkOption::on_Button_wlan_clicked() { show_page(PAGE_NET, ui->Button_wlan); }

void LinkOption::on_Button_usb_clicked()
{
    show_page(PAGE_USB, ui->Button_usb);
    get_file_list_smartpath();
    rcv_self_recovery_file_list();
}

// Only drawn: nothing reads the choice.
void LinkOption::choose_link(bool direct)
{
    const QIcon &checked = kra_icon(QStringLiteral(":/png/checked.png"));
    const QIcon &unchecked = kra_icon(QStringLiteral(":/png/unchecked.png"));
    ui->Button_direct->setIcon(direct ? checked : unchecked);
    ui->Button_IP->setIcon(direct ? unchecked : checked);
}

void LinkOption::on_Button_direct_clicked() { choose_link(true); }
void LinkOption::on_Button_IP_clicked() { choose_link(false); }

// ---- the address ----

void LinkOption::show_numberkeyboard_ui(QString)
{
    fields_.ask_for(sender());
}

void LinkOption::confirmString(QString text)
{
    QLineEdit *field = g_lineedit;
    const QString value = octetText(text);
    if (!fields_.owns(field) || value.isEmpty())
        return;
    field->setText(value);
    // The gateway usually shares the network part of the address.
    for (int k = 0; k < 3; ++k) {
        if (field == octet(ROW_IP, k))
            octet(ROW_GATE, k)->setText(value);
    }
}

void LinkOption::on_Button_net_apply_clicked() { apply_address(); }

void LinkOption::apply_address()
{
    kra_set_marked(ui->Button_net_cancel, false);
    kra_set_marked(ui->Button_net_apply, true);
    const QString ip = address(ROW_IP), mask = address(ROW_MASK), gate = address(ROW_GATE);
    // An empty octet (from a malformed setting) would write an address on which the device
    // comes up without a network.
    if (!Utils::isDottedQuad(ip) || !Utils::isDottedQuad(mask) || !Utils::isDottedQuad(gate))
        return;
    if (ip == g_str_ip && mask == g_srt_mask && gate == g_str_gateway)
        return;
    // One write for the three: an address half saved would bring the device up elsewhere.
    // Not written (a full disk): nothing is applied and no saved tip shows.
    if (!ConfigEngine::pInstance()->write_config_items(
            {{ConfigItem::IPAddress, ip}, {ConfigItem::SubNetMask, mask}, {ConfigItem::GateWay, gate}}))
        return;
    Utils::system_mutex(QStringLiteral("sync"), nullptr);
    usleep(100);
    Utils::initIPAddress();
    KraRamPara::pInstance()->test_signal(1);
}

void LinkOption::on_Button_net_cancel_clicked()
{
    kra_set_marked(ui->Button_net_apply, false);
    kra_set_marked(ui->Button_net_cancel, true);
}

// ---- the USB update page ----

void LinkOption::get_file_list_smartpath()
{
    usb_ = UsbServer::upgrade_files();
    list_page_ = 0;
}

void LinkOption::rcv_self_recovery_file_list()
{
    QVector<KraFileList::Entry> entries;
    for (int i = 0; i < usb_.files.size(); ++i)
        entries.append({QStringLiteral("<font color = #FFFFFF >%1</font>")
                            .arg(QFileInfo(usb_.files[i]).fileName().toHtmlEscaped()),
                        usb_.install[i], false, true});
    file_list_.redraw(entries, list_page_, last_page_, kra_text(kNoFile));
}

void LinkOption::on_Button_ok_clicked() { menulist_button_ok_page(); }

void LinkOption::menulist_button_ok_page()
{
    // Writing the step while an upgrade or a job runs would restart or corrupt it.
    if (file_downing_ || !fpga_manage::job_start_free())
        return;
    file_downing_ = true;
    UsbServer::hand_to_upgrade(usb_);
    fpga_manage::start_usb_upgrade();
}

void LinkOption::show_upgrade_result()
{
    const fpga_manage *f = fpga_manage::p_fpga_manage;
    if (!f)
        return;
    QString text, colour = QStringLiteral("#FF5A5A");
    switch (f->upgrade_result.load()) {
    case fpga_manage::USB_UPGRADE_INSTALLED:
        text = QStringLiteral("downing over");
        colour = QStringLiteral("#51BB28");
        break;
    case fpga_manage::USB_UPGRADE_REFUSED:
        text = kra_text(kRefused).toHtmlEscaped();
        break;
    case fpga_manage::USB_UPGRADE_NOTHING:
        text = kra_text(kNothing).toHtmlEscaped();
        break;
    default:
        return;
    }
    text += QStringLiteral("<br>") + f->upgrade_log.toHtmlEscaped();
    ui->label_log->setText(QString::fromLatin1(kResultFormat).arg(colour, text));
}

// ---- refresh and close ----

void LinkOption::syncUpdate(int code)
{
    const bool usbShown = current_menu_ == ui->Button_usb;
    if (KraRamPara::pInstance()->KraLanguageChanged()) {
        language_changed();
        if (usbShown) {
            get_file_list_smartpath();
            rcv_self_recovery_file_list();
        }
    }
    switch (code) {
    case 101: // stick removed: the next stick may be loaded again
        file_downing_ = false;
        [[fallthrough]];
    case 102: // storage ready
        get_file_list_smartpath();
        rcv_self_recovery_file_list();
        break;
    case 104: // upgrade finished
        if (usbShown)
            show_upgrade_result();
        break;
    default:
        break;
    }
}

void LinkOption::on_Button_back_clicked() { kra_close_screen(Page::Communication); }
