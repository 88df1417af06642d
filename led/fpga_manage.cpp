#include "fpga_manage.h"
#include "chip_access.h"
#include "fpga_model_sim.h"
#include "krarampara.h"
#include "screenhost.h"
#include "utils.h"
#include "wake.h"

#include <algorithm>
#include <cstring>

namespace {
u8 s_reg[2][fpga_manage::REG_COUNT];
u8 s_ram_para[2][fpga_manage::RAM_PARA_SIZE];

constexpr int kRegRunning = 80;      // reads 3 while the FPGA runs
constexpr int kEthParamBase = 0x100; // X of net port 0; 8 bytes a port
// Passes the output stays blank before the video chip may re-initialise the panel: long
// enough (about 100 ms in the thread) for the video-chip thread to see the request.
constexpr u32 kLedBlankPasses = 100;
// Between passes: 1 ms while something is under way (the jobs and the hand-shake are paced
// by passes). Idle, every writer of the flags wakes the thread, so the time-out only paces
// the polling of the running state: ten ticks, which keeps the idle thread to ten wakes a
// second (at one tick, each idle thread cost about 0.3% of a core in wake-ups alone).
constexpr int kBusyWaitMs = 1;
constexpr int kIdleWaitMs = 100;

// Steps of g_set_led_setup after the panel was re-initialised.
enum LedSetup : u8 {
    LED_IDLE = 0,
    LED_BLANKING = 1,
    LED_WAIT_PANEL = 2,
    LED_RESET = 3,
    LED_CONFIGURE = 4,
    LED_START = 5,
};
} // namespace

fpga_manage *fpga_manage::p_fpga_manage = nullptr;
u8 *fpga_manage::MCU_REG_func[2] = {s_reg[0], s_reg[1]};
u8 *fpga_manage::MCU_RAM_PARA_func[2] = {s_ram_para[0], s_ram_para[1]};

fpga_manage::fpga_manage()
{
    rcvRecovery = new ::rcvRecovery();
    set_access(kra_chip_access<FpgaAccess, FpgaModelSim, FpgaDevice>());
}

fpga_manage *fpga_manage::pInstance()
{
    if (!p_fpga_manage)
        p_fpga_manage = new fpga_manage();
    return p_fpga_manage;
}

void fpga_manage::set_access(std::unique_ptr<FpgaAccess> access)
{
    access_ = std::move(access);
    for (int f = 0; f < 2; ++f) {
        MutexLocker lock(&image_mutex_);
        memset(MCU_REG_func[f], 0, REG_COUNT);
        for (int reg = 0; reg < REG_COUNT; ++reg)
            access_->read_register(f, reg, &MCU_REG_func[f][reg]);
    }
    configure_net_ports();
}

FpgaModelSim *fpga_manage::model() const
{
    return dynamic_cast<FpgaModelSim *>(access_.get());
}

bool fpga_manage::taken(bool ok, const char *what)
{
    if (!ok)
        writeLogMsg(LOG_ERROR, QStringLiteral("fpga_manage: %1 failed").arg(QLatin1String(what)));
    return ok;
}

void fpga_manage::initialize_start()
{
    if (thread_started_)
        return;
    stop_ = false;
    thread_started_ = pthread_create(&thread_, nullptr, &fpga_manage::thread_main, this) == 0;
}

void fpga_manage::stop_thread()
{
    if (!thread_started_)
        return;
    stop_ = true;
    kra_fpga_wake.signal();
    pthread_join(thread_, nullptr);
    thread_started_ = false;
}

void *fpga_manage::thread_main(void *arg)
{
    auto *self = static_cast<fpga_manage *>(arg);
    while (!self->stop_) {
        const bool busy = self->run_once();
        kra_fpga_wake.wait(busy ? kBusyWaitMs : kIdleWaitMs);
    }
    return nullptr;
}

bool fpga_manage::run_once()
{
    if (access_->poll())
        update_running_state();
    if (g_usb_grade == 1) {
        usb_upgrade_deal();
        return true;
    }
    const bool led = led_para_pass();
    const bool job = job_pass();
    return led || job;
}

// ---------------------------------------------------------------------------------------
// Registers and parameter images

int fpga_manage::read_from_register(int reg, int fpga)
{
    if (reg < 0 || reg >= REG_COUNT || fpga < 0 || fpga > 1)
        return 1;
    MutexLocker lock(&image_mutex_);
    return access_->read_register(fpga, reg, &MCU_REG_func[fpga][reg]) ? 0 : 1;
}

int fpga_manage::write_to_register(int reg, u8 mask, u8 value, int fpga)
{
    if (reg < 0 || reg >= REG_COUNT || fpga < 0 || fpga > 1)
        return 1;
    MutexLocker lock(&image_mutex_);
    const u8 v = u8((MCU_REG_func[fpga][reg] & ~mask) | (value & mask));
    MCU_REG_func[fpga][reg] = v;
    if (reg < 64 || reg > 127)
        return access_->write_register(fpga, reg, v) ? 0 : 1;
    return 0;
}

u8 fpga_manage::register_image(int fpga, int reg)
{
    if (!p_fpga_manage || reg < 0 || reg >= REG_COUNT || fpga < 0 || fpga > 1)
        return 0;
    MutexLocker lock(&p_fpga_manage->image_mutex_);
    return MCU_REG_func[fpga][reg];
}

u16 fpga_manage::ram_para_image16(int fpga, int pos)
{
    if (!p_fpga_manage || pos < 0 || pos + 1 >= RAM_PARA_SIZE || fpga < 0 || fpga > 1)
        return 0;
    MutexLocker lock(&p_fpga_manage->image_mutex_);
    return rd16(MCU_RAM_PARA_func[fpga], pos);
}

bool fpga_manage::both_running()
{
    return register_image(0, kRegRunning) == 3 && register_image(1, kRegRunning) == 3;
}

void fpga_manage::update_running_state()
{
    for (int f = 0; f < 2; ++f) {
        const bool was = MCU_REG_func[f][kRegRunning] == 3;
        read_from_register(kRegRunning, f);
        if (!was && MCU_REG_func[f][kRegRunning] == 3)
            configure_net_ports(f);
    }
}

void fpga_manage::set_running(int fpga, bool running)
{
    taken(access_->set_running(fpga, running), running ? "start" : "reset");
    read_from_register(kRegRunning, fpga);
}

int fpga_manage::get_eth_param_addr(unsigned char index, unsigned short *x, unsigned short *y,
                                    unsigned short *width, unsigned short *height)
{
    if (index > 15)
        index = 0;
    const unsigned short base = static_cast<unsigned short>(kEthParamBase + 8 * index);
    if (x)
        *x = base;
    if (y)
        *y = base + 2;
    if (width)
        *width = base + 4;
    if (height)
        *height = base + 6;
    return 0;
}

void fpga_manage::configure_net_ports(int only)
{
    u16 area[2][4];
    {
        MutexLocker lock(&kra_manage_mutex);
        const KraRamPara *p = KraRamPara::pInstance();
        const u16 out1[4] = {0, 0, p->live16(Para::OUT1_WIDTH), p->live16(Para::OUT1_HEIGHT)};
        const u16 out2[4] = {p->live16(Para::OUT2_X), p->live16(Para::OUT2_Y),
                             p->live16(Para::OUT2_WIDTH), p->live16(Para::OUT2_HEIGHT)};
        memcpy(area[0], out1, sizeof out1);
        memcpy(area[1], out2, sizeof out2);
    }
    MutexLocker lock(&image_mutex_);
    for (int f = 0; f < 2; ++f) {
        if (only >= 0 && f != only)
            continue;
        const int h = area[f][3];
        const int band = (h + ETH_PORTS - 1) / ETH_PORTS;
        u8 *img = MCU_RAM_PARA_func[f];
        for (int i = 0; i < ETH_PORTS; ++i) {
            unsigned short ax, ay, aw, ah;
            get_eth_param_addr(u8(i), &ax, &ay, &aw, &ah);
            const int top = i * band;
            const bool used = band > 0 && top < h;
            wr16(img, ax, used ? area[f][0] : 0);
            wr16(img, ay, used ? u16(area[f][1] + top) : 0);
            wr16(img, aw, used ? area[f][2] : 0);
            wr16(img, ah, used ? u16(std::min(band, h - top)) : 0);
        }
        taken(access_->write_ram_para(f, img), "parameter image");
    }
}

// ---------------------------------------------------------------------------------------
// Job block

u8 fpga_manage::send_para_byte(int pos)
{
    return __atomic_load_n(&g_send_para[pos], __ATOMIC_ACQUIRE);
}

void fpga_manage::set_send_para_byte(int pos, u8 value)
{
    __atomic_store_n(&g_send_para[pos], value, __ATOMIC_RELEASE);
}

u16 fpga_manage::send_para_u16(int pos)
{
    const u8 lo = send_para_byte(pos);
    return u16(lo | (send_para_byte(pos + 1) << 8));
}

void fpga_manage::set_send_para_u16(int pos, u16 value)
{
    set_send_para_byte(pos + 1, u8(value >> 8));
    set_send_para_byte(pos, u8(value & 0xFF));
}

u32 fpga_manage::send_para_u32(int pos)
{
    return u32(send_para_u16(pos)) | (u32(send_para_u16(pos + 2)) << 16);
}

void fpga_manage::set_send_para_u32(int pos, u32 value)
{
    set_send_para_u16(pos + 2, u16(value >> 16));
    set_send_para_u16(pos, u16(value & 0xFFFF));
}

void fpga_manage::start_job(u16 code)
{
    set_send_para_u16(SendPara::JOB, code);
    kra_fpga_wake.signal();
}

void fpga_manage::start_usb_upgrade()
{
    set_send_para_byte(SendPara::STEP, 0);
    g_usb_grade = 1;
    kra_fpga_wake.signal();
}

bool fpga_manage::job_start_free()
{
    return !g_qround_bar && send_para_u16(SendPara::JOB) == 0 && g_usb_grade == 0;
}

pthread_mutex_t fpga_manage::job_args_mutex = PTHREAD_MUTEX_INITIALIZER;

LINE_TYPE fpga_manage::line_type_copy()
{
    MutexLocker lock(&job_args_mutex);
    return line_type;
}

void fpga_manage::store_line_type(const LINE_TYPE &grid)
{
    MutexLocker lock(&job_args_mutex);
    line_type = grid;
}

QString fpga_manage::ztfile_name()
{
    MutexLocker lock(&job_args_mutex);
    return g_ztfile_name;
}

void fpga_manage::set_ztfile_name(const QString &path)
{
    MutexLocker lock(&job_args_mutex);
    g_ztfile_name = path;
}

LINE_TYPE fpga_manage::job_line_type(QString *ztfile)
{
    MutexLocker lock(&job_args_mutex);
    if (ztfile)
        *ztfile = g_ztfile_name;
    return line_type;
}

fpga_manage::RcvResult fpga_manage::rcv_result() const
{
    MutexLocker lock(&state_mutex_);
    return {rcv_result_, rcv_count_};
}

void fpga_manage::clear_rcv_result_count()
{
    MutexLocker lock(&state_mutex_);
    rcv_count_ = 0;
}

// ---------------------------------------------------------------------------------------
// LED-geometry hand-shake: 1 -> blank, some passes later 0 (the video chip then
// re-initialises the panel and sets 2) -> 0 and bring both FPGAs up again. True while it
// is under way.

bool fpga_manage::led_para_pass()
{
    bool configure = false;
    bool busy = true;
    {
        MutexLocker lock(&Utils::_led_para_init_mutex);
        if (g_set_led_para == 1) {
            if (g_set_led_setup != LED_BLANKING) {
                taken(access_->set_output_blank(true), "output blank");
                led_wait_ = 0;
                g_set_led_setup = LED_BLANKING;
            } else if (++led_wait_ >= kLedBlankPasses) {
                kra_set_led_para(0);
                g_set_led_setup = LED_WAIT_PANEL;
            }
        } else if (g_set_led_para == 2) {
            kra_set_led_para(0);
            g_set_led_setup = LED_RESET;
        } else {
            switch (g_set_led_setup) {
            case LED_RESET:
                set_running(0, false);
                set_running(1, false);
                g_set_led_setup = LED_CONFIGURE;
                break;
            case LED_CONFIGURE:
                configure = true;
                g_set_led_setup = LED_START;
                break;
            case LED_START:
                set_running(0, true);
                set_running(1, true);
                taken(access_->set_output_blank(false), "output show");
                g_set_led_setup = LED_IDLE;
                break;
            default:
                break;
            }
            busy = g_set_led_setup != LED_IDLE;
        }
    }
    // Outside the hand-shake lock: the geometry is read under the video-chip manager's mutex.
    if (configure)
        configure_net_ports();
    return busy;
}
