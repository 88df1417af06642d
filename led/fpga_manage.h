#ifndef FPGA_MANAGE_H
#define FPGA_MANAGE_H

#include "global.h"
#include "rcv_recovery_file.h"
#include <QString>
#include <QStringList>
#include <atomic>
#include <pthread.h>
#include <vector>

enum RCV_CHECK_OR_RECOVERY { RCV_CHECK = 0, RCV_RECOVERY = 1 };

// Byte positions in g_send_para.
namespace SendPara {
constexpr int JOB = 0;       // u16: job code in byte 0, step in byte 1 (0 = start)
constexpr int STEP = 1;      // also the step of the USB upgrade
constexpr int MAP_ARG = 16;  // u32: mapping argument of job 4 (9 on, 0 off)
constexpr int SCREEN = 24;   // screen index the check is working on
constexpr int WORK = 28;     // recovery: parameter blocks to send per card (the screen sets 16)
constexpr int RESULT = 30;   // u16: check result (255 / 65535: no card needs restoring)
} // namespace SendPara

// Job codes of g_send_para.
enum FpgaJob {
    JOB_SMART_MAPPING = 1,
    JOB_LOAD_SCAN = 2,
    JOB_SAVE_PARA = 3,
    JOB_MAPPING_SWITCH = 4,
    JOB_RCV_CHECK = 5,
    JOB_RCV_RECOVERY = 6,
};

// Where a job's progress goes: jobs 1 to 4 are started by the smart mapping screen, 5 and 6
// by the advanced settings screen, the USB upgrade by the communication settings screen.
enum FpgaProgressSink { PROGRESS_SMARTMAPPING = 0, PROGRESS_ADVANCED = 1, PROGRESS_USB = 2 };

// The FPGA manager and its thread. On the host the two FPGAs and the receiving cards are an
// in-memory model: the register and parameter images answer as running FPGAs do.
// Threads: the register and parameter images are read by anyone without a lock and written
// under the image mutex; the LED-geometry hand-shake flags are taken under kra_manage_mutex,
// then Utils::_led_para_init_mutex (the order every writer uses); jobs run only in the
// manager's thread (or in a test's run_once while that thread is not running). Progress and
// the update notice go to the ScreenHost from the manager's thread.
class fpga_manage
{
public:
    static fpga_manage *p_fpga_manage;
    static fpga_manage *pInstance();

    static constexpr int REG_COUNT = 170;
    static constexpr int RAM_PARA_SIZE = 1024;
    static constexpr int ETH_PORTS = 12; // net ports driven by each FPGA
    static u8 *MCU_REG_func[2];
    static u8 *MCU_RAM_PARA_func[2];

    // Starts the manager's thread (once).
    void initialize_start();
    // Stops and joins the thread; only tests stop it.
    void stop_thread();
    // One pass of the thread's loop.
    void run_once();

    // Reads one register of FPGA 0 or 1 into the register image.
    int read_from_register(int reg, int fpga);
    // Sets the masked bits of a register in the image (and, outside 64..127, in the FPGA).
    int write_to_register(int reg, u8 mask, u8 value, int fpga);
    // True when register 80 of both images reads 3.
    static bool both_running();
    // Byte positions of X, Y, width and height of net port `index` (0..15) in a parameter
    // image; any other index gives those of index 0. Returns 0.
    static int get_eth_param_addr(unsigned char index, unsigned short *x, unsigned short *y,
                                  unsigned short *width, unsigned short *height);

    // The jobs, one step per call, in the manager's thread.
    void rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY mode);
    void usb_upgrade_deal();

    // Job block access (atomic per byte; the job code is stored last and read first).
    static u8 send_para_byte(int pos);
    static void set_send_para_byte(int pos, u8 value);
    static u16 send_para_u16(int pos);
    static void set_send_para_u16(int pos, u16 value); // high byte first
    static u32 send_para_u32(int pos);
    static void set_send_para_u32(int pos, u32 value);
    // Hands a job to the thread: the 16-bit job word, which also sets the step to 0.
    static void start_job(u16 code) { set_send_para_u16(SendPara::JOB, code); }

    // Result of the check and recovery job for the advanced settings screen: at most one
    // entry "screen/port/card/cards in the pack"; the job replaces it before it raises the
    // change code, so the refresh that follows reads a complete list.
    QStringList rcv_result_list() const;
    u32 rcv_result_count() const;
    void set_rcv_result_count(u32 count); // the Check button empties the shown list

    // Text of the last USB upgrade: start time, four blanks, end time (H:m:s). Written by the
    // manager's thread; read after change code 104.
    QString upgrade_log;
    // What the last USB upgrade did: installed every file it took, refused a package (gone,
    // no regular file, or shorter than an update head), or found nothing to install. Set
    // before change code 104.
    enum UsbUpgradeResult { USB_UPGRADE_NONE, USB_UPGRADE_INSTALLED, USB_UPGRADE_REFUSED, USB_UPGRADE_NOTHING };
    std::atomic<int> upgrade_result{USB_UPGRADE_NONE};
    ::rcvRecovery *rcvRecovery = nullptr;

    // Host model ------------------------------------------------------------------------
    // Start or stop one simulated FPGA (register 80 reads 3 while it runs). A stopped FPGA
    // stays stopped through a bring-up; started again, it sets up its net ports from the
    // output areas then in the block.
    void sim_set_running(int fpga, bool running);
    // Reads "<root>/sim/fpga.txt" when it changed: the first two numbers are FPGA 0 and
    // FPGA 1, 0 stops that FPGA, anything else (or nothing) lets it run; '#' starts a comment.
    // The thread reads it every 100 passes. A removed file lets both run again.
    void sim_poll_file();
    // What register `reg` of the chip holds (what a read brings into the image).
    u8 sim_chip[2][REG_COUNT];
    // The LED output is blanked during the geometry hand-shake.
    bool sim_output_blank() const { return output_blank_; }
    // Recomputes the net-port areas of both parameter images from the output areas of the
    // live parameter block (each output's area in twelve bands, one per net port); `only`
    // 0 or 1 limits it to that FPGA.
    void configure_net_ports(int only = -1);

    struct SimCard {
        u16 x;
        u16 y;
    };
    // Receiving cards of a net port as smart mapping placed them (0..23).
    std::vector<SimCard> sim_cards(int port) const;
    // Name of the scan file last loaded into the cards of a net port (empty: none).
    QString sim_scan_file(int port) const;
    // How often the cards saved their parameters, and the last mapping argument sent.
    u32 sim_saves() const;
    u32 sim_mapping_arg() const;
    // Card `card` of net port `port` lost its parameters; the stored pack holds `pack_cards`
    // cards of that port. A port of -1 clears the fault.
    void sim_rcv_fault(int port, int card, int pack_cards);
    // Update files installed by the last USB upgrade (full paths), and the ones it took that
    // it refused (gone, no regular file, or shorter than an update head).
    QStringList sim_installed() const;
    QStringList sim_not_installed() const;

private:
    fpga_manage();
    static void *thread_main(void *arg);
    void led_para_pass();
    void job_pass();
    void end_job(int sink);
    void report(int sink, int percent);
    void set_running_image(int fpga, bool running);
    void smart_mapping_deal();
    void load_scan_deal();
    bool port_sweep_pass();
    void para_save_deal();
    void mapping_switch_deal();
    // Port and card of the first card that lost its parameters, from port `from` on.
    bool sim_find_fault(int from, int *port, int *card, int *pack_cards) const;

    pthread_mutex_t image_mutex_ = PTHREAD_MUTEX_INITIALIZER;
    mutable pthread_mutex_t state_mutex_ = PTHREAD_MUTEX_INITIALIZER; // results and the model
    pthread_t thread_{};
    bool thread_started_ = false;
    std::atomic<bool> stop_{false};

    // Thread-only state.
    u32 passes_ = 0;
    u32 led_wait_ = 0;
    int last_percent_[3] = {-1, -1, -1};
    int job_pos_ = 0;
    int job_total_ = 0;
    LINE_TYPE job_line_{}; // the running job's copy of line_type, taken at its first step
    QByteArray scan_data_;
    QString scan_name_;
    QStringList usb_files_;
    bool sim_file_seen_ = false;
    QString sim_file_key_;

    std::atomic<bool> output_blank_{false};
    std::atomic<bool> sim_stopped_[2] = {{false}, {false}};

    // Guarded by state_mutex_.
    QStringList rcv_result_;
    u32 rcv_count_ = 0;
    std::vector<SimCard> cards_[2 * ETH_PORTS];
    QString scan_file_[2 * ETH_PORTS];
    u32 saves_ = 0;
    u32 mapping_arg_ = 0;
    int fault_port_ = -1;
    int fault_card_ = 0;
    int fault_pack_cards_ = 0;
    QStringList installed_;
    QStringList not_installed_;
};

#endif
