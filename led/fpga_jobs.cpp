// The jobs of the FPGA manager's thread: the job block's jobs and the USB upgrade, each a
// step machine that does one step per pass (step in byte 1 of g_send_para).
#include "fpga_manage.h"
#include "krarampara.h"
#include "routing.h"
#include "screenhost.h"
#include "usbserver.h"
#include "utils.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <algorithm>

namespace {
constexpr int kNetPorts = 2 * fpga_manage::ETH_PORTS;
constexpr int kCardsPerPass = 16;
constexpr int kScanBytesPerPass = 1024;
constexpr qint64 kScanFileMax = 5 * 1024 * 1024; // the file-transfer buffer

QString clockText()
{
    const QTime t = QTime::currentTime();
    return QStringLiteral("%1:%2:%3").arg(t.hour()).arg(t.minute()).arg(t.second());
}

bool noCard(u16 result)
{
    return result == 255 || result == 65535;
}

// The result word of a found card is its index; card 255 (the 256th of a chain) would read
// as "no card", so it carries a high byte.
u16 cardResult(int card)
{
    const u16 index = u16(card & 0xFF);
    return index == 255 ? 0x01FF : index;
}
} // namespace

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

// True while a job runs.
bool fpga_manage::job_pass()
{
    switch (send_para_byte(SendPara::JOB)) {
    case 0:
        return false;
    case JOB_SMART_MAPPING:
        smart_mapping_deal();
        break;
    case JOB_LOAD_SCAN:
        load_scan_deal();
        break;
    case JOB_SAVE_PARA:
        para_save_deal();
        break;
    case JOB_MAPPING_SWITCH:
        mapping_switch_deal();
        break;
    case JOB_RCV_CHECK:
        rcv_recovery_check_deal(RCV_CHECK);
        break;
    case JOB_RCV_RECOVERY:
        rcv_recovery_check_deal(RCV_RECOVERY);
        break;
    default:
        writeLogMsg(LOG_WARN, QStringLiteral("fpga_manage: unknown job %1 dropped")
                                  .arg(send_para_byte(SendPara::JOB)));
        set_send_para_u16(SendPara::JOB, 0);
        return false;
    }
    return true;
}

// Cards are chained by the routing pattern (routing.h).
void fpga_manage::smart_mapping_deal()
{
    const LINE_TYPE &grid = job_line_;
    if (send_para_byte(SendPara::STEP) == 0)
        job_line_ = job_line_type(); // the screen may change line_type meanwhile: the job keeps its own
    const int port = grid.net_port;
    if (send_para_byte(SendPara::STEP) == 0) {
        last_percent_[PROGRESS_SMARTMAPPING] = -1;
        report(PROGRESS_SMARTMAPPING, 0);
        const bool valid = kra_routing_valid(grid.pattern) && port < kNetPorts;
        job_total_ = valid ? grid.rows * grid.columns : 0;
        job_pos_ = 0;
        if (port < kNetPorts)
            taken(access_->send_card_positions(port, 0, {}), "card positions");
        if (job_total_ == 0) {
            end_job(PROGRESS_SMARTMAPPING);
            return;
        }
        set_send_para_byte(SendPara::STEP, 1);
        return;
    }
    const int first = job_pos_;
    std::vector<RcvCardPos> placed;
    for (int n = 0; n < kCardsPerPass && job_pos_ < job_total_; ++n, ++job_pos_) {
        const KraCell c = kra_routing_cell(grid.pattern, grid.rows, grid.columns, job_pos_);
        placed.push_back({u16(grid.offset_x + c.column * grid.box_width),
                          u16(grid.offset_y + c.row * grid.box_height)});
    }
    taken(access_->send_card_positions(port, first, placed), "card positions");
    if (job_pos_ >= job_total_)
        end_job(PROGRESS_SMARTMAPPING);
    else
        report(PROGRESS_SMARTMAPPING, job_pos_ * 100 / job_total_);
}

void fpga_manage::load_scan_deal()
{
    const bool first = send_para_byte(SendPara::STEP) == 0;
    QString path;
    if (first)
        job_line_ = job_line_type(&path); // the port and the file are kept to the end
    const int port = job_line_.net_port;
    if (first) {
        last_percent_[PROGRESS_SMARTMAPPING] = -1;
        report(PROGRESS_SMARTMAPPING, 0);
        scan_data_.clear();
        // Only a regular file (a FIFO or device there would hang the thread), and only from
        // the folder it was listed in, the scan folder or the stick's top: a link put there
        // since the listing is not followed.
        QString folder;
        for (const QString &dir : {QStringLiteral("/data/smartmapping"), UsbServer::stick_path()}) {
            if (QDir::cleanPath(QFileInfo(path).absolutePath()) == QDir::cleanPath(kra_path(dir)))
                folder = dir;
        }
        if (port >= kNetPorts || folder.isEmpty()
            || Utils::read_file_guarded(path, kScanFileMax, &scan_data_, folder) != Utils::READ_OK
            || scan_data_.isEmpty()) {
            writeLogMsg(LOG_ERROR, QStringLiteral("load scan: cannot load %1 to port %2").arg(path).arg(port + 1));
            scan_data_.clear();
            end_job(PROGRESS_SMARTMAPPING);
            return;
        }
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
    taken(access_->send_scan(port, scan_name_, scan_data_), "scan file");
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
    taken(access_->save_card_para(), "card save");
    end_job(PROGRESS_SMARTMAPPING);
}

void fpga_manage::mapping_switch_deal()
{
    if (!port_sweep_pass())
        return;
    taken(access_->send_mapping(send_para_u32(SendPara::MAP_ARG)), "mapping");
    end_job(PROGRESS_SMARTMAPPING);
}

// Check: walks the net ports one per pass for a card whose parameters differ from the stored
// pack. Recovery: sends the pack's parameters to that card (byte 28 blocks, one per pass)
// when the pack holds it. Either ends with the result word and the result entry. A card that
// cannot be read, or a restore the card does not take, ends the job as failed: the list
// stays as it was and the page is told.
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
    // The result word names no card; code 99 redraws the page, which reads the failure.
    auto fail = [this](RcvJobFailure why) {
        set_send_para_u16(SendPara::RESULT, 65535);
        rcv_failure = why;
        KraRamPara::pInstance()->test_signal(99);
        end_job(PROGRESS_ADVANCED);
    };
    // The port's state; on a lost card its port, card and pack size are kept for the entry.
    auto check = [this](int port) {
        int card = 0, cards = 0;
        const RcvCardState state = access_->check_cards(port, &card, &cards);
        taken(state != RCV_CARDS_UNREADABLE, "card check");
        if (state == RCV_CARD_LOST) {
            job_port_ = port;
            job_card_ = card;
            rcvRecovery->net_port = u8(port);
            rcvRecovery->port_cards = u16(std::max(0, std::min(256, cards)));
        }
        return state;
    };

    const u8 step = send_para_byte(SendPara::STEP);
    if (step == 0) {
        last_percent_[PROGRESS_ADVANCED] = -1;
        report(PROGRESS_ADVANCED, 0);
        rcv_failure = RCV_JOB_OK;
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
        RcvCardState state = RCV_CARDS_OK;
        for (int port = 0; port < kNetPorts && state == RCV_CARDS_OK; ++port)
            state = check(port);
        if (state == RCV_CARDS_UNREADABLE) {
            fail(RCV_JOB_READ_FAILED);
            return;
        }
        if (state != RCV_CARD_LOST) {
            finish(255);
            return;
        }
        if (!packs || job_card_ + 1 > rcvRecovery->port_cards) {
            finish(cardResult(job_card_));
            return;
        }
        job_total_ = send_para_byte(SendPara::WORK);
        job_pos_ = 0;
        set_send_para_byte(SendPara::STEP, 2);
        return;
    }
    if (step == 1) {
        const RcvCardState state = check(job_pos_);
        if (state == RCV_CARDS_UNREADABLE) {
            fail(RCV_JOB_READ_FAILED);
            return;
        }
        if (state == RCV_CARD_LOST) {
            finish(cardResult(job_card_));
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
    if (!taken(access_->restore_card(job_port_, job_card_, job_total_), "card restore")) {
        fail(RCV_JOB_RESTORE_FAILED);
        return;
    }
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
        // The files the page highlighted when Load was pressed: one that went or was swapped
        // since is reported not installed, not silently left out by a new listing. Started
        // without the page, the upgrade lists the stick itself.
        UsbUpgradeFiles list;
        if (!UsbServer::take_handed(&list)) {
            if (UsbServer::upgrade_dir().isEmpty())
                writeLogMsg(LOG_ERROR, QStringLiteral("usb upgrade: %1 is no directory on the stick").arg(g_usb_grade_path));
            list = UsbServer::upgrade_files();
        }
        for (int i = 0; i < list.files.size(); ++i) {
            if (list.install[i])
                usb_files_ << list.files[i];
        }
        usb_installed_ = usb_refused_ = 0;
        job_pos_ = 0;
        taken(access_->begin_update(), "update start");
        set_send_para_byte(SendPara::STEP, 2);
        return;
    }
    case 2:
        if (job_pos_ < usb_files_.size()) {
            const QString path = usb_files_[job_pos_++];
            if (access_->install_update(path)) {
                ++usb_installed_;
            } else {
                ++usb_refused_;
                writeLogMsg(LOG_ERROR, QStringLiteral("usb upgrade: %1 not installed").arg(path));
            }
            report(PROGRESS_USB, job_pos_ * 100 / (usb_files_.size() + 1));
            return;
        }
        set_send_para_byte(SendPara::STEP, 3);
        return;
    default: {
        upgrade_log += QStringLiteral("    ") + clockText();
        upgrade_result = usb_refused_ ? USB_UPGRADE_REFUSED : usb_installed_ ? USB_UPGRADE_INSTALLED : USB_UPGRADE_NOTHING;
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
