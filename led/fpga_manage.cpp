#include "fpga_manage.h"
#include "krarampara.h"
#include "screenhost.h"
#include "usbserver.h"
#include "utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {
u8 s_reg[2][fpga_manage::REG_COUNT];
u8 s_ram_para[2][fpga_manage::RAM_PARA_SIZE];

constexpr int kRegRunning = 80;      // reads 3 while the FPGA runs
constexpr int kEthParamBase = 0x100; // X of net port 0; 8 bytes a port
constexpr int kNetPorts = 2 * fpga_manage::ETH_PORTS;
// Passes the output stays blank before the video chip may re-initialise the panel: long
// enough (about 100 ms in the thread) for the video-chip thread to see the request.
constexpr u32 kLedBlankPasses = 100;
constexpr u32 kSimPollPasses = 100;
constexpr int kCardsPerPass = 16;
constexpr int kScanBytesPerPass = 1024;
constexpr qint64 kScanFileMax = 5 * 1024 * 1024; // the file-transfer buffer
constexpr int kUpdateHeadSize = 49;

// Steps of g_set_led_setup after the panel was re-initialised.
enum LedSetup : u8 {
    LED_IDLE = 0,
    LED_BLANKING = 1,
    LED_WAIT_PANEL = 2,
    LED_RESET = 3,
    LED_CONFIGURE = 4,
    LED_START = 5,
};

QString clockText()
{
    const QTime t = QTime::currentTime();
    return QStringLiteral("%1:%2:%3").arg(t.hour()).arg(t.minute()).arg(t.second());
}

bool noCard(u16 result)
{
    return result == 255 || result == 65535;
}
} // namespace

fpga_manage *fpga_manage::p_fpga_manage = nullptr;
u8 *fpga_manage::MCU_REG_func[2] = {s_reg[0], s_reg[1]};
u8 *fpga_manage::MCU_RAM_PARA_func[2] = {s_ram_para[0], s_ram_para[1]};

fpga_manage::fpga_manage()
{
    memset(sim_chip, 0, sizeof sim_chip);
    for (int f = 0; f < 2; ++f) {
        sim_chip[f][kRegRunning] = 3; // both FPGAs come up running
        memcpy(MCU_REG_func[f], sim_chip[f], REG_COUNT);
    }
    rcvRecovery = new ::rcvRecovery();
    configure_net_ports();
}

fpga_manage *fpga_manage::pInstance()
{
    if (!p_fpga_manage)
        p_fpga_manage = new fpga_manage();
    return p_fpga_manage;
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
    pthread_join(thread_, nullptr);
    thread_started_ = false;
}

void *fpga_manage::thread_main(void *arg)
{
    auto *self = static_cast<fpga_manage *>(arg);
    while (!self->stop_) {
        self->run_once();
        usleep(1000);
    }
    return nullptr;
}

void fpga_manage::run_once()
{
    if (passes_++ % kSimPollPasses == 0)
        sim_poll_file();
    if (g_usb_grade == 1) {
        usb_upgrade_deal();
        return;
    }
    led_para_pass();
    job_pass();
}

// ---------------------------------------------------------------------------------------
// Registers and parameter images

int fpga_manage::read_from_register(int reg, int fpga)
{
    if (reg < 0 || reg >= REG_COUNT || fpga < 0 || fpga > 1)
        return 1;
    MutexLocker lock(&image_mutex_);
    MCU_REG_func[fpga][reg] = sim_chip[fpga][reg];
    return 0;
}

int fpga_manage::write_to_register(int reg, u8 mask, u8 value, int fpga)
{
    if (reg < 0 || reg >= REG_COUNT || fpga < 0 || fpga > 1)
        return 1;
    MutexLocker lock(&image_mutex_);
    const u8 v = u8((MCU_REG_func[fpga][reg] & ~mask) | (value & mask));
    MCU_REG_func[fpga][reg] = v;
    if (reg < 64 || reg > 127)
        sim_chip[fpga][reg] = v;
    return 0;
}

bool fpga_manage::both_running()
{
    return MCU_REG_func[0][kRegRunning] == 3 && MCU_REG_func[1][kRegRunning] == 3;
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
        for (int i = 0; i < ETH_PORTS; ++i) {
            unsigned short ax, ay, aw, ah;
            get_eth_param_addr(u8(i), &ax, &ay, &aw, &ah);
            const int top = i * band;
            const bool used = band > 0 && top < h;
            u8 *img = MCU_RAM_PARA_func[f];
            wr16(img, ax, used ? area[f][0] : 0);
            wr16(img, ay, used ? u16(area[f][1] + top) : 0);
            wr16(img, aw, used ? area[f][2] : 0);
            wr16(img, ah, used ? u16(std::min(band, h - top)) : 0);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Host model of the chips

void fpga_manage::set_running_image(int fpga, bool running)
{
    MutexLocker lock(&image_mutex_);
    sim_chip[fpga][kRegRunning] = running ? 3 : 0;
    MCU_REG_func[fpga][kRegRunning] = sim_chip[fpga][kRegRunning];
}

void fpga_manage::sim_set_running(int fpga, bool running)
{
    if (fpga < 0 || fpga > 1)
        return;
    const bool wasStopped = sim_stopped_[fpga].exchange(!running);
    set_running_image(fpga, running);
    // The size may have been applied while it was down: it starts with the current one.
    if (running && wasStopped)
        configure_net_ports(fpga);
}

void fpga_manage::sim_poll_file()
{
    QFile f(kra_path(QStringLiteral("/sim/fpga.txt")));
    QString content;
    const bool present = f.open(QIODevice::ReadOnly);
    if (present) {
        for (const QString &line : QString::fromUtf8(f.read(4096)).split(QLatin1Char('\n')))
            content += line.section(QLatin1Char('#'), 0, 0) + QLatin1Char(' ');
        content = content.simplified();
    }
    const QString key = present ? content : QStringLiteral("<none>");
    if (key == sim_file_key_)
        return;
    sim_file_key_ = key;
    if (!present) {
        if (sim_file_seen_) {
            sim_set_running(0, true);
            sim_set_running(1, true);
        }
        sim_file_seen_ = false;
        return;
    }
    sim_file_seen_ = true;
    const QStringList words = content.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int fpga = 0; fpga < 2; ++fpga)
        sim_set_running(fpga, words.size() <= fpga || words[fpga] != QLatin1String("0"));
}

std::vector<fpga_manage::SimCard> fpga_manage::sim_cards(int port) const
{
    MutexLocker lock(&state_mutex_);
    return port >= 0 && port < kNetPorts ? cards_[port] : std::vector<SimCard>();
}

QString fpga_manage::sim_scan_file(int port) const
{
    MutexLocker lock(&state_mutex_);
    return port >= 0 && port < kNetPorts ? scan_file_[port] : QString();
}

u32 fpga_manage::sim_saves() const
{
    MutexLocker lock(&state_mutex_);
    return saves_;
}

u32 fpga_manage::sim_mapping_arg() const
{
    MutexLocker lock(&state_mutex_);
    return mapping_arg_;
}

void fpga_manage::sim_rcv_fault(int port, int card, int pack_cards)
{
    MutexLocker lock(&state_mutex_);
    const bool valid = port >= 0 && port < kNetPorts && card >= 0 && card < 256;
    fault_port_ = valid ? port : -1;
    fault_card_ = card;
    fault_pack_cards_ = pack_cards;
}

bool fpga_manage::sim_find_fault(int from, int *port, int *card, int *pack_cards) const
{
    MutexLocker lock(&state_mutex_);
    if (fault_port_ < from)
        return false;
    *port = fault_port_;
    *card = fault_card_;
    *pack_cards = fault_pack_cards_;
    return true;
}

QStringList fpga_manage::sim_installed() const
{
    MutexLocker lock(&state_mutex_);
    return installed_;
}

QStringList fpga_manage::sim_not_installed() const
{
    MutexLocker lock(&state_mutex_);
    return not_installed_;
}

// ---------------------------------------------------------------------------------------
// Job block and hooks

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

// Reports each percentage once.
void fpga_manage::report(int sink, int percent)
{
    percent = std::max(0, std::min(100, percent));
    if (percent == last_percent_[sink])
        return;
    last_percent_[sink] = percent;
    if (ScreenHost *host = ScreenHost::instance())
        host->job_progress(sink, percent);
}

// The job word is cleared before 100 is reported: the progress bar closes at 100, and a job
// handed over after that must not be wiped by this one's end.
void fpga_manage::end_job(int sink)
{
    set_send_para_u16(SendPara::JOB, 0);
    report(sink, 100);
}

QStringList fpga_manage::rcv_result_list() const
{
    MutexLocker lock(&state_mutex_);
    return rcv_result_;
}

u32 fpga_manage::rcv_result_count() const
{
    MutexLocker lock(&state_mutex_);
    return rcv_count_;
}

void fpga_manage::set_rcv_result_count(u32 count)
{
    MutexLocker lock(&state_mutex_);
    rcv_count_ = count;
}

// ---------------------------------------------------------------------------------------
// LED-geometry hand-shake: 1 -> blank, some passes later 0 (the video chip then
// re-initialises the panel and sets 2) -> 0 and bring both FPGAs up again.

void fpga_manage::led_para_pass()
{
    bool configure = false;
    {
        MutexLocker lock(&Utils::_led_para_init_mutex);
        if (g_set_led_para == 1) {
            if (g_set_led_setup != LED_BLANKING) {
                output_blank_ = true;
                led_wait_ = 0;
                g_set_led_setup = LED_BLANKING;
            } else if (++led_wait_ >= kLedBlankPasses) {
                g_set_led_para = 0;
                g_set_led_setup = LED_WAIT_PANEL;
            }
        } else if (g_set_led_para == 2) {
            g_set_led_para = 0;
            g_set_led_setup = LED_RESET;
        } else {
            switch (g_set_led_setup) {
            case LED_RESET:
                set_running_image(0, false);
                set_running_image(1, false);
                g_set_led_setup = LED_CONFIGURE;
                break;
            case LED_CONFIGURE:
                configure = true;
                g_set_led_setup = LED_START;
                break;
            case LED_START:
                for (int f = 0; f < 2; ++f) {
                    if (!sim_stopped_[f])
                        set_running_image(f, true);
                }
                output_blank_ = false;
                g_set_led_setup = LED_IDLE;
                break;
            default:
                break;
            }
        }
    }
    // Outside the hand-shake lock: the geometry is read under the video-chip manager's mutex.
    if (configure)
        configure_net_ports();
}

// ---------------------------------------------------------------------------------------
// Jobs

void fpga_manage::job_pass()
{
    switch (send_para_byte(SendPara::JOB)) {
    case 0:
        return;
    case JOB_SMART_MAPPING:
        smart_mapping_deal();
        return;
    case JOB_LOAD_SCAN:
        load_scan_deal();
        return;
    case JOB_SAVE_PARA:
        para_save_deal();
        return;
    case JOB_MAPPING_SWITCH:
        mapping_switch_deal();
        return;
    case JOB_RCV_CHECK:
        rcv_recovery_check_deal(RCV_CHECK);
        return;
    case JOB_RCV_RECOVERY:
        rcv_recovery_check_deal(RCV_RECOVERY);
        return;
    default:
        writeLogMsg(LOG_WARN, QStringLiteral("fpga_manage: unknown job %1 dropped")
                                  .arg(send_para_byte(SendPara::JOB)));
        set_send_para_u16(SendPara::JOB, 0);
        return;
    }
}

// Cards are chained by the routing pattern k = pattern - 1: start corner k % 4 (top left,
// top right, bottom left, bottom right); k / 4: 0 rows serpentine, 1 columns serpentine,
// 2 rows, 3 columns (each line from the same side).
void fpga_manage::smart_mapping_deal()
{
    const LINE_TYPE &grid = job_line_;
    if (send_para_byte(SendPara::STEP) == 0) {
        // The screen may change line_type meanwhile: the job keeps the record it started with.
        job_line_ = line_type;
        last_percent_[PROGRESS_SMARTMAPPING] = -1;
        report(PROGRESS_SMARTMAPPING, 0);
        const int port = grid.net_port;
        const bool valid = grid.pattern >= 1 && grid.pattern <= 16 && port < kNetPorts;
        job_total_ = valid ? grid.rows * grid.columns : 0;
        job_pos_ = 0;
        if (port < kNetPorts) {
            MutexLocker lock(&state_mutex_);
            cards_[port].clear();
        }
        if (job_total_ == 0) {
            end_job(PROGRESS_SMARTMAPPING);
            return;
        }
        set_send_para_byte(SendPara::STEP, 1);
        return;
    }
    const int k = grid.pattern - 1;
    const bool right = k % 2 == 1, bottom = (k % 4) >= 2;
    const bool byColumns = (k / 4) % 2 == 1, serpentine = k / 4 < 2;
    const int rows = grid.rows, cols = grid.columns;
    const int lineLength = byColumns ? rows : cols;
    std::vector<SimCard> placed;
    for (int n = 0; n < kCardsPerPass && job_pos_ < job_total_; ++n, ++job_pos_) {
        const int line = job_pos_ / lineLength;
        int along = job_pos_ % lineLength;
        if (serpentine && line % 2 == 1)
            along = lineLength - 1 - along;
        int col = byColumns ? line : along;
        int row = byColumns ? along : line;
        if (right)
            col = cols - 1 - col;
        if (bottom)
            row = rows - 1 - row;
        placed.push_back({u16(grid.offset_x + col * grid.box_width),
                          u16(grid.offset_y + row * grid.box_height)});
    }
    {
        MutexLocker lock(&state_mutex_);
        std::vector<SimCard> &cards = cards_[grid.net_port];
        cards.insert(cards.end(), placed.begin(), placed.end());
    }
    if (job_pos_ >= job_total_)
        end_job(PROGRESS_SMARTMAPPING);
    else
        report(PROGRESS_SMARTMAPPING, job_pos_ * 100 / job_total_);
}

void fpga_manage::load_scan_deal()
{
    const bool first = send_para_byte(SendPara::STEP) == 0;
    if (first)
        job_line_ = line_type; // the port is kept to the end, as the file name is
    const int port = job_line_.net_port;
    if (first) {
        last_percent_[PROGRESS_SMARTMAPPING] = -1;
        report(PROGRESS_SMARTMAPPING, 0);
        const QString path = g_ztfile_name; // the screen may choose another file meanwhile
        QFile f(path);
        scan_data_.clear();
        if (port >= kNetPorts || !f.open(QIODevice::ReadOnly) || f.size() == 0 || f.size() > kScanFileMax) {
            writeLogMsg(LOG_ERROR, QStringLiteral("load scan: cannot load %1 to port %2").arg(path).arg(port + 1));
            end_job(PROGRESS_SMARTMAPPING);
            return;
        }
        scan_data_ = f.readAll();
        scan_name_ = QFileInfo(path).fileName();
        job_total_ = scan_data_.size();
        job_pos_ = 0;
        set_send_para_byte(SendPara::STEP, 1);
        return;
    }
    job_pos_ = std::min(job_total_, job_pos_ + kScanBytesPerPass);
    if (job_pos_ < job_total_) {
        report(PROGRESS_SMARTMAPPING, int(qint64(job_pos_) * 100 / job_total_));
        return;
    }
    {
        MutexLocker lock(&state_mutex_);
        scan_file_[port] = scan_name_;
    }
    scan_data_.clear();
    end_job(PROGRESS_SMARTMAPPING);
}

// One pass of a job that visits every net port once: false until the last port is done.
bool fpga_manage::port_sweep_pass()
{
    if (send_para_byte(SendPara::STEP) == 0) {
        last_percent_[PROGRESS_SMARTMAPPING] = -1;
        report(PROGRESS_SMARTMAPPING, 0);
        job_pos_ = 0;
        set_send_para_byte(SendPara::STEP, 1);
        return false;
    }
    if (++job_pos_ < kNetPorts) {
        report(PROGRESS_SMARTMAPPING, job_pos_ * 100 / kNetPorts);
        return false;
    }
    return true;
}

void fpga_manage::para_save_deal()
{
    if (!port_sweep_pass())
        return;
    {
        MutexLocker lock(&state_mutex_);
        ++saves_;
    }
    end_job(PROGRESS_SMARTMAPPING);
}

void fpga_manage::mapping_switch_deal()
{
    if (!port_sweep_pass())
        return;
    {
        MutexLocker lock(&state_mutex_);
        mapping_arg_ = send_para_u32(SendPara::MAP_ARG);
    }
    end_job(PROGRESS_SMARTMAPPING);
}

// Check: walks the net ports one per pass for a card whose parameters differ from the stored
// pack. Recovery: sends the pack's parameters to that card (byte 28 blocks, one per pass)
// when the pack holds it. Either ends with the result word and the result entry.
void fpga_manage::rcv_recovery_check_deal(RCV_CHECK_OR_RECOVERY mode)
{
    auto finish = [this, mode](u16 result) {
        set_send_para_u16(SendPara::RESULT, result);
        int code = 0;
        if (!noCard(result)) {
            const QString entry = QString::asprintf("%02d/%02d/%02d/%02d",
                                                    send_para_byte(SendPara::SCREEN) + 1,
                                                    rcvRecovery->net_port + 1, (result & 0xFF) + 1,
                                                    int(rcvRecovery->port_cards));
            MutexLocker lock(&state_mutex_);
            rcv_result_ = QStringList{entry};
            rcv_count_ = 1;
            code = 1;
        } else if (mode == RCV_RECOVERY) {
            MutexLocker lock(&state_mutex_);
            if (rcv_count_ != 0) {
                rcv_result_.clear();
                rcv_count_ = 0;
                code = 99;
            }
        }
        if (code)
            KraRamPara::pInstance()->test_signal(code);
        end_job(PROGRESS_ADVANCED);
    };

    const u8 step = send_para_byte(SendPara::STEP);
    if (step == 0) {
        last_percent_[PROGRESS_ADVANCED] = -1;
        report(PROGRESS_ADVANCED, 0);
        set_send_para_byte(SendPara::SCREEN, 0);
        // A missing directory leaves the previous listing in place: it holds no pack now.
        const bool packs = rcvRecovery->get_dir_file(QStringLiteral("/data/rcvrecovery")) == 0
                           && !rcvRecovery->rcv_files().isEmpty();
        if (mode == RCV_CHECK) {
            if (!packs) {
                finish(65535);
                return;
            }
            job_pos_ = 0;
            set_send_para_byte(SendPara::STEP, 1);
            return;
        }
        int port, card, cards;
        if (!sim_find_fault(0, &port, &card, &cards)) {
            finish(255);
            return;
        }
        rcvRecovery->net_port = u8(port);
        rcvRecovery->port_cards = u8(std::max(0, std::min(255, cards)));
        if (!packs || card + 1 > cards) {
            finish(u16(card));
            return;
        }
        job_total_ = send_para_byte(SendPara::WORK);
        job_pos_ = 0;
        set_send_para_byte(SendPara::STEP, 2);
        return;
    }
    if (step == 1) {
        int port, card, cards;
        if (sim_find_fault(job_pos_, &port, &card, &cards) && port == job_pos_) {
            rcvRecovery->net_port = u8(port);
            rcvRecovery->port_cards = u8(std::max(0, std::min(255, cards)));
            finish(u16(card));
            return;
        }
        if (++job_pos_ >= kNetPorts)
            finish(255);
        else
            report(PROGRESS_ADVANCED, job_pos_ * 100 / kNetPorts);
        return;
    }
    if (job_pos_ < job_total_) {
        ++job_pos_;
        report(PROGRESS_ADVANCED, job_pos_ * 100 / (job_total_ + 1));
        return;
    }
    sim_rcv_fault(-1, 0, 0); // the card holds the pack's parameters again
    finish(255);
}

// One step per pass, by byte 1 of the job block: 0 notice and start time, 1 list the stick
// (the files the update page highlights), 2 install one file per pass, 3 end time and
// result, notice closed, change code 104.
void fpga_manage::usb_upgrade_deal()
{
    switch (send_para_byte(SendPara::STEP)) {
    case 0: {
        last_percent_[PROGRESS_USB] = -1;
        report(PROGRESS_USB, 0);
        if (ScreenHost *host = ScreenHost::instance())
            host->update_notice(true);
        upgrade_log = clockText();
        set_send_para_byte(SendPara::STEP, 1);
        return;
    }
    case 1: {
        usb_files_.clear();
        if (UsbServer::upgrade_dir().isEmpty())
            writeLogMsg(LOG_ERROR, QStringLiteral("usb upgrade: %1 is no directory on the stick").arg(g_usb_grade_path));
        const UsbUpgradeFiles list = UsbServer::upgrade_files();
        for (int i = 0; i < list.files.size(); ++i) {
            if (list.install[i])
                usb_files_ << list.files[i];
        }
        job_pos_ = 0;
        {
            MutexLocker lock(&state_mutex_);
            installed_.clear();
            not_installed_.clear();
        }
        set_send_para_byte(SendPara::STEP, 2);
        return;
    }
    case 2:
        if (job_pos_ < usb_files_.size()) {
            const QString path = usb_files_[job_pos_++];
            // The file may have gone or been swapped for a FIFO or device since the listing.
            qint64 size = 0;
            const int fd = Utils::open_regular(path, &size);
            const bool good = fd >= 0 && size >= kUpdateHeadSize;
            if (fd >= 0)
                ::close(fd);
            {
                MutexLocker lock(&state_mutex_);
                (good ? installed_ : not_installed_) << path;
            }
            if (!good)
                writeLogMsg(LOG_ERROR, QStringLiteral("usb upgrade: %1 not installed").arg(path));
            report(PROGRESS_USB, job_pos_ * 100 / (usb_files_.size() + 1));
            return;
        }
        set_send_para_byte(SendPara::STEP, 3);
        return;
    default: {
        upgrade_log += QStringLiteral("    ") + clockText();
        {
            MutexLocker lock(&state_mutex_);
            upgrade_result = !not_installed_.isEmpty() ? USB_UPGRADE_REFUSED
                             : !installed_.isEmpty()   ? USB_UPGRADE_INSTALLED
                                                       : USB_UPGRADE_NOTHING;
        }
        if (ScreenHost *host = ScreenHost::instance())
            host->update_notice(false);
        KraRamPara::pInstance()->test_signal(104);
        set_send_para_byte(SendPara::STEP, 0);
        g_usb_grade = 0;
        report(PROGRESS_USB, 100);
        return;
    }
    }
}
