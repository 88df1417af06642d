#ifndef FPGA_MANAGE_H
#define FPGA_MANAGE_H

#include "fpga_access.h"
#include "global.h"
#include "rcv_recovery_file.h"
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <pthread.h>

class FpgaModelSim;

enum RCV_CHECK_OR_RECOVERY { RCV_CHECK = 0, RCV_RECOVERY = 1 };

// Byte positions in g_send_para.
namespace SendPara {
constexpr int JOB = 0;       // u16: job code in byte 0, step in byte 1 (0 = start)
constexpr int STEP = 1;      // also the step of the USB upgrade
constexpr int MAP_ARG = 16;  // u32: mapping argument of job 4 (9 on, 0 off)
constexpr int SCREEN = 24;   // screen index the check is working on
constexpr int WORK = 28;     // recovery: parameter blocks to send per card (the screen sets 16)
constexpr int RESULT = 30;   // u16: check result (255 / 65535: no card needs restoring; card
                             // index 255 reads 0x01FF)
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

// The FPGA manager and its thread. It reaches the two FPGAs and the receiving cards through
// one FpgaAccess: the device's, or on the PC the in-memory model (chosen by the build kind,
// see chip_access.h). The jobs of the job block are in fpga_jobs.cpp.
// Threads: the register and parameter images are read by anyone without a lock and written
// under the image mutex; the LED-geometry hand-shake flags are taken under kra_manage_mutex,
// then Utils::_led_para_init_mutex (the order every writer uses); jobs run only in the
// manager's thread (or in a test's run_once while that thread is not running). Between passes
// the thread waits on kra_fpga_wake, which every writer of its flags signals. Progress and
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

    // The chip access; replacing it is for tests, while the thread is not running.
    FpgaAccess *access() const { return access_.get(); }
    void set_access(std::unique_ptr<FpgaAccess> access);
    // The PC model when that is the access, else null.
    FpgaModelSim *model() const;

    // Starts the manager's thread (once).
    void initialize_start();
    // Stops and joins the thread; only tests stop it.
    void stop_thread();
    // One pass of the thread's loop; true while a job, the upgrade or the LED hand-shake is
    // under way (the thread then comes back after 1 ms instead of waiting for a signal).
    bool run_once();

    // Reads one register of FPGA 0 or 1 into the register image.
    int read_from_register(int reg, int fpga);
    // Sets the masked bits of a register in the image (and, outside 64..127, in the FPGA).
    int write_to_register(int reg, u8 mask, u8 value, int fpga);
    // One byte of a register image, read under the image lock (0 before the manager exists).
    static u8 register_image(int fpga, int reg);
    // The 16-bit value at `pos` of a parameter image, read under the image lock.
    static u16 ram_para_image16(int fpga, int pos);
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
    // Hands a job to the thread: the 16-bit job word, which also sets the step to 0; wakes
    // the thread.
    static void start_job(u16 code);
    // Starts the USB upgrade at step 0 (g_usb_grade 1) and wakes the thread.
    static void start_usb_upgrade();
    // GUI thread: true when a screen may start a job or the upgrade: no progress bar is
    // shown, the job word is 0 and no USB upgrade runs (a job word written over a running
    // upgrade would clear its step). Every job button asks this before it does anything.
    static bool job_start_free();

    // The job arguments line_type and g_ztfile_name, under job_args_mutex: written by the
    // GUI thread, copied by a job at its first step.
    static LINE_TYPE line_type_copy();
    static void store_line_type(const LINE_TYPE &grid);
    static QString ztfile_name();
    static void set_ztfile_name(const QString &path);

    // Result of the check and recovery job for the advanced settings screen: at most one
    // entry "screen/port/card/cards in the pack", and how many entries to show. The job
    // replaces both before it raises the change code; the screen takes them as one copy, so
    // the list and the count always belong together.
    struct RcvResult {
        QStringList entries;
        u32 count = 0;
    };
    RcvResult rcv_result() const;
    // What the last check or recovery could not do, for the page to say so: a card that could
    // not be read, or a restore the card did not take. Such a job leaves the list and count
    // as they were. Set before the job's change code; a screen clears it as it starts a job.
    enum RcvJobFailure { RCV_JOB_OK, RCV_JOB_READ_FAILED, RCV_JOB_RESTORE_FAILED };
    std::atomic<int> rcv_failure{RCV_JOB_OK};
    // Check empties the shown list before job 5: the count goes to 0, the entries stay for
    // the job (a recovery that then finds nothing lost clears and raises 99 only while the
    // count is not 0).
    void clear_rcv_result_count();

    // Text of the last USB upgrade: start time, four blanks, end time (H:m:s). Written by the
    // manager's thread; read after change code 104.
    QString upgrade_log;
    // What the last USB upgrade did: installed every file it took, refused a package, or
    // found nothing to install. Set before change code 104.
    enum UsbUpgradeResult { USB_UPGRADE_NONE, USB_UPGRADE_INSTALLED, USB_UPGRADE_REFUSED, USB_UPGRADE_NOTHING };
    std::atomic<int> upgrade_result{USB_UPGRADE_NONE};
    ::rcvRecovery *rcvRecovery = nullptr;

    // Recomputes the net-port areas of both parameter images from the output areas of the
    // live parameter block (each output's area in twelve bands, one per net port) and sends
    // them to the FPGAs; `only` 0 or 1 limits it to that FPGA.
    void configure_net_ports(int only = -1);
    // Reads register 80 of both FPGAs into the images; an FPGA that runs again after being
    // stopped sets up its net ports from the output areas now in the block (the size may
    // have been applied while it was down). Takes kra_manage_mutex: not called holding it.
    void update_running_state();

private:
    fpga_manage();
    static void *thread_main(void *arg);
    bool led_para_pass();
    bool job_pass();
    // Both job arguments in one locked copy.
    static LINE_TYPE job_line_type(QString *ztfile = nullptr);
    static pthread_mutex_t job_args_mutex;
    void end_job(int sink);
    void report(int sink, int percent);
    void set_running(int fpga, bool running);
    void smart_mapping_deal();
    void load_scan_deal();
    bool port_sweep_pass();
    void para_save_deal();
    void mapping_switch_deal();
    // Logs a call the hardware did not take; returns `ok`.
    static bool taken(bool ok, const char *what);

    std::unique_ptr<FpgaAccess> access_;
    pthread_mutex_t image_mutex_ = PTHREAD_MUTEX_INITIALIZER;
    mutable pthread_mutex_t state_mutex_ = PTHREAD_MUTEX_INITIALIZER; // the check's result
    pthread_t thread_{};
    bool thread_started_ = false;
    std::atomic<bool> stop_{false};

    // Thread-only state of the hand-shake and the jobs.
    u32 led_wait_ = 0;
    int last_percent_[3] = {-1, -1, -1};
    int job_pos_ = 0;
    int job_total_ = 0;
    LINE_TYPE job_line_{}; // the running job's copy of line_type, taken at its first step
    int job_port_ = 0;
    int job_card_ = 0;
    QByteArray scan_data_;
    QString scan_name_;
    QStringList usb_files_;
    int usb_installed_ = 0;
    int usb_refused_ = 0;

    // Guarded by state_mutex_.
    QStringList rcv_result_;
    u32 rcv_count_ = 0;
};

#endif
