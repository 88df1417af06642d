#ifndef GLOBAL_H
#define GLOBAL_H

// Every process-wide global of the application. Each line says who owns it,
// which thread writes it and which lock (if any) guards it.

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;

// Screens are only forward-declared here: the core never touches a widget.
class MainWindow;
class LockWindow;
class MachineState;
class Option;
class CustomMode;
class ImageLayout;
class ImageQuality;
class test_chart;
class InputChoose;
class InputCut;
class EDIDset;
class OutputSet;
class AdvancedOption;
class LinkOption;
class SmartMapping;
class NumberKeyboard;
class QLineEdit;
class TIP;
class QRoundProgressBar;

// Tick counter: +1 every 10 ms, written by the GUI thread's timer only; read anywhere.
extern std::atomic<u32> G_timeTicks;

// Focused-screen ids (the values of g_page_focus).
namespace Page {
enum Id : u8 {
    Home = 0,
    Main = 1,
    DeviceInfo = 2,
    InputSelect = 3,
    UserModes = 4,
    Settings = 5,
    Output = 6,
    CropEditor = 7,
    Edid = 8,
    WindowLayout = 9,
    Communication = 10,
    PictureQuality = 11,
    Advanced = 12,
    TestPatterns = 16,
    SmartMapping = 24,
};
} // namespace Page

// Focused-screen id (a Page::Id) of the screen on top; GUI thread only.
extern u8 g_page_focus;

// Screen pointers: set by the opener, cleared by the close operation; GUI thread only.
extern MainWindow *g_mainwindow;
extern LockWindow *g_lockwindow;
extern MachineState *g_machinestate;
extern Option *g_option;
extern CustomMode *g_custommode;
extern ImageLayout *g_imagelayout;
extern ImageQuality *g_imagequality;
extern test_chart *g_test_chart;
extern InputChoose *g_inputchoose;
extern InputCut *g_inputcut;
extern EDIDset *g_edidset;
extern OutputSet *g_outputset;
extern AdvancedOption *g_advancedoption;
extern LinkOption *g_linkoption;
extern SmartMapping *g_smartmapping;

// Shared number keyboard and the field it is editing; GUI thread only.
extern NumberKeyboard *g_numberkeyboard;
extern QLineEdit *g_lineedit;
// Pop-up tip and the round progress bar (0 when none); GUI thread only.
extern TIP *g_tip;
extern QRoundProgressBar *g_qround_bar;

// Language of the texts (0 zh-CN, 1 en, 2 ru, 3 vi, 4 zh-TW) and the mask of offered
// languages (bit n offers n). Written by the GUI thread (refresh path) and at start-up.
extern u8 g_language;
extern u8 g_lcd_lang_valid;

// Touch idle limits in ticks; written by the GUI thread, read by the touch watcher (GUI thread).
extern u32 g_back_to_mainwindow_time;
extern u32 g_auto_lock_time;

// Console tracing is on while this equals 254; set at start-up only.
extern u8 g_debugSwitch;

// Set by every command frame from a PC (carrier threads); read by the GUI tick.
extern std::atomic<u8> pc_cmd_valid;
extern std::atomic<u32> pc_cmd_time;

// Network settings from the INI file; written by ConfigEngine/initIPAddress (GUI thread
// and start-up), read by the screens.
extern QString g_str_ip;
extern QString g_srt_mask;
extern QString g_str_gateway;
extern int g_tcp_port;
// Upgrade directory below "/mnt/usb1/" (" " = the stick's top directory); INI item 16.
extern QString g_usb_grade_path;
// The upgrade directory on the stick until the settings name another (" " is its top).
constexpr const char *kra_default_usb_upgrade_dir = "KRA-Q53";

// Per input code 0..5 the 40 in-use bits of crop numbers 1..40; rebuilt by
// KraRamPara::KraCropSourceInit in the GUI thread (and by the protocol after a crop write).
extern u8 g_cut_source_state[6][5];

// LED-geometry hand-shake flag (0 idle, 1 requested, 2 panel re-initialised) and the FPGA
// manager's re-initialisation step; written by the GUI thread and both managers' threads,
// always under Utils::_led_para_init_mutex.
extern u8 g_set_led_para;
extern u8 g_set_led_setup;

// Job block from the screens to the FPGA thread (byte layout and access in fpga_manage.h);
// written by the GUI thread only while byte 0 (job code) is 0, job code last; then the FPGA
// thread's until it clears the code. No lock: every byte is accessed atomically.
extern u8 g_send_para[32];
// 1 makes the FPGA thread run the USB upgrade instead of its normal pass; set by the GUI
// thread (after the step byte of g_send_para), cleared by the FPGA thread; atomic.
extern std::atomic<int> g_usb_grade;
// Full path of the chosen load-scan file (empty: none); written by the GUI thread, copied by
// the FPGA thread when load scan starts; both under fpga_manage::job_args_mutex.
extern QString g_ztfile_name;

// Cabinet grid of smart mapping and the net port of load scan (12 bytes, little-endian).
struct LINE_TYPE {
    u16 box_width;
    u16 box_height;
    u16 offset_x;
    u16 offset_y;
    u8 net_port;
    u8 rows;
    u8 columns;
    u8 pattern; // 1..16; 0 or above 16 is ignored by the smart-mapping job
};
static_assert(sizeof(LINE_TYPE) == 12, "line_type is a 12-byte record");
// Written by the GUI thread before the job code; the FPGA thread copies the whole record at
// the job's first step and works on its copy to the end; both under
// fpga_manage::job_args_mutex (the routing buttons stay live while a job runs).
extern LINE_TYPE line_type;

// User-mode slot waiting to be stored by the next refresh (slot + 1, 0 none); GUI thread.
extern u8 g_save_mode_request;
// Selected user-mode slot 0..15 of the user modes screen and the main window's mode panel; GUI thread only, no lock.
extern u8 g_mode_select;

// Ageing records, oldest first (at most 3360), and the step counters of register 42 of
// FPGA 0 and FPGA 1; appended by the GUI tick only.
extern QStringList factoryage_log;
extern u32 factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10,
    factoryage_log_diff20, factoryage_log_diffmore;
extern u32 factoryage_log2_diff3, factoryage_log2_diff5, factoryage_log2_diff10,
    factoryage_log2_diff20, factoryage_log2_diffmore;

// The language whose texts are shown: g_language when it is offered, else English (1).
int kra_text_language();

// One text in the five languages, in language-code order: zh-CN, en, ru, vi, zh-TW.
struct KraText {
    const char *t[5];
};
// The text of `text` for kra_text_language().
QString kra_text(const KraText &text);

#endif
