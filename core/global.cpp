#include "global.h"

std::atomic<u32> G_timeTicks{0};
u8 g_page_focus = Page::Home;

MainWindow *g_mainwindow = nullptr;
LockWindow *g_lockwindow = nullptr;
MachineState *g_machinestate = nullptr;
Option *g_option = nullptr;
CustomMode *g_custommode = nullptr;
ImageLayout *g_imagelayout = nullptr;
ImageQuality *g_imagequality = nullptr;
test_chart *g_test_chart = nullptr;
InputChoose *g_inputchoose = nullptr;
InputCut *g_inputcut = nullptr;
EDIDset *g_edidset = nullptr;
OutputSet *g_outputset = nullptr;
AdvancedOption *g_advancedoption = nullptr;
LinkOption *g_linkoption = nullptr;
SmartMapping *g_smartmapping = nullptr;

NumberKeyboard *g_numberkeyboard = nullptr;
QLineEdit *g_lineedit = nullptr;
TIP *g_tip = nullptr;
QRoundProgressBar *g_qround_bar = nullptr;

u8 g_language = 1;
u8 g_lcd_lang_valid = 0x1F;

u32 g_back_to_mainwindow_time = 18000;
u32 g_auto_lock_time = 30000;

u8 g_debugSwitch = 254;

std::atomic<u8> pc_cmd_valid{0};
std::atomic<u32> pc_cmd_time{0};

QString g_str_ip = QStringLiteral("192.168.1.199");
QString g_srt_mask = QStringLiteral("255.255.255.0");
QString g_str_gateway = QStringLiteral("192.168.1.1");
int g_tcp_port = 5005;
QString g_usb_grade_path = QString::fromLatin1(kra_default_usb_upgrade_dir);

u8 g_cut_source_state[6][5] = {};
u8 g_save_mode_request = 0;
u8 g_mode_select = 0;
u8 g_set_led_para = 0;
u8 g_set_led_setup = 0;
u8 g_send_para[32] = {};
std::atomic<int> g_usb_grade{0};
QString g_ztfile_name;
LINE_TYPE line_type = {0, 0, 0, 0, 0, 0, 0, 1};

QStringList factoryage_log;
u32 factoryage_log_diff3 = 0, factoryage_log_diff5 = 0, factoryage_log_diff10 = 0,
    factoryage_log_diff20 = 0, factoryage_log_diffmore = 0;
u32 factoryage_log2_diff3 = 0, factoryage_log2_diff5 = 0, factoryage_log2_diff10 = 0,
    factoryage_log2_diff20 = 0, factoryage_log2_diffmore = 0;

int kra_text_language()
{
    if (g_language <= 4 && (g_lcd_lang_valid & (1u << g_language)))
        return g_language;
    return 1;
}

QString kra_text(const KraText &text)
{
    return QString::fromUtf8(text.t[kra_text_language()]);
}
