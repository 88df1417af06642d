#include "fpga_model_sim.h"
#include "fpga_manage.h"
#include "usbserver.h"
#include "utils.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {
constexpr int kRegRunning = 80;
constexpr int kRegStatus = 40;  // bit 0 DDR0, 1 DDR1, 2 DE, 3 HS, 4 VS: 1 good
constexpr int kRegEvents = 42;  // counter the ageing summary follows
constexpr int kRegMinutes = 43;
constexpr u8 kStatusGood = 0x1F;
constexpr int kUpdateHeadSize = 49;
constexpr qint64 kSimFileMax = 64 * 1024;
constexpr std::chrono::milliseconds kFilePollInterval{100};

// The lines of a simulation file without their comments; false when it is missing (or no
// regular file: a FIFO there would hang the manager's thread).
bool simFileLines(const QString &devicePath, QStringList *lines)
{
    QByteArray data;
    lines->clear();
    if (Utils::read_file_guarded(kra_path(devicePath), kSimFileMax, &data) != Utils::READ_OK)
        return false;
    // With its size: a NUL byte ends only the line it is on, not the text.
    for (const QString &line : QString::fromUtf8(data.constData(), data.size()).split(QLatin1Char('\n')))
        *lines << line.section(QLatin1Char('#'), 0, 0).simplified();
    return true;
}
} // namespace

FpgaModelSim::FpgaModelSim() : last_age_(std::chrono::steady_clock::now())
{
    memset(chip_, 0, sizeof chip_);
    for (int f = 0; f < 2; ++f) {
        chip_[f][kRegRunning] = 3; // both come up running
        chip_[f][kRegStatus] = kStatusGood;
    }
}

bool FpgaModelSim::poll()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - last_poll_ < kFilePollInterval)
        return false;
    last_poll_ = now;
    const auto ran = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_age_);
    last_age_ += ran;
    age(ran);
    return poll_file();
}

bool FpgaModelSim::read_register(int fpga, int reg, u8 *value)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg >= REGS)
        return false;
    MutexLocker lock(&mutex_);
    *value = chip_[fpga][reg];
    return true;
}

bool FpgaModelSim::write_register(int fpga, int reg, u8 value)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg >= REGS)
        return false;
    {
        MutexLocker lock(&mutex_);
        if (write_fails_[fpga][reg])
            return false;
    }
    set_chip_register(fpga, reg, value);
    return true;
}

void FpgaModelSim::set_write_fails(int fpga, int reg, bool fails)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg >= REGS)
        return;
    MutexLocker lock(&mutex_);
    write_fails_[fpga][reg] = fails;
}

void FpgaModelSim::set_chip_register(int fpga, int reg, u8 value)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg >= REGS)
        return;
    MutexLocker lock(&mutex_);
    chip_[fpga][reg] = value;
    pinned_[fpga][reg] = true;
}

void FpgaModelSim::set_status(int fpga, bool running)
{
    if (!pinned_[fpga][kRegStatus])
        chip_[fpga][kRegStatus] = running ? kStatusGood : 0;
}

void FpgaModelSim::age(std::chrono::milliseconds running)
{
    MutexLocker lock(&mutex_);
    for (int f = 0; f < 2; ++f) {
        if (chip_[f][kRegRunning] != 3)
            continue;
        age_time_[f] += running;
        for (; age_time_[f] >= AGE_STEP; age_time_[f] -= AGE_STEP)
            age_step(f);
    }
}

// Mostly quiet, now and then a burst: over the three minutes between two ageing records the
// counter advances by anything from 0 to about 30, so every band of the summary fills.
void FpgaModelSim::age_step(int f)
{
    u32 &seed = age_seed_[f];
    seed = seed * 1103515245u + 12345u;
    const u32 r = (seed >> 16) % 100;
    const u8 advance = r < 50 ? 0 : r < 75 ? 1 : r < 90 ? 2 : r < 97 ? 4 : 9;
    ++age_steps_[f];
    if (!pinned_[f][kRegEvents])
        chip_[f][kRegEvents] = u8(chip_[f][kRegEvents] + advance);
    if (!pinned_[f][kRegMinutes])
        chip_[f][kRegMinutes] = u8(age_steps_[f] * AGE_STEP.count() / 60);
    // One step in twenty a status bit drops until the next step.
    const u32 s = (seed >> 8) % 100;
    if (!pinned_[f][kRegStatus])
        chip_[f][kRegStatus] = s < 5 ? u8(kStatusGood & ~(1u << s)) : kStatusGood;
}

bool FpgaModelSim::write_ram_para(int fpga, const u8 *)
{
    return fpga >= 0 && fpga <= 1;
}

bool FpgaModelSim::set_running(int fpga, bool running)
{
    if (fpga < 0 || fpga > 1)
        return false;
    MutexLocker lock(&mutex_);
    chip_[fpga][kRegRunning] = running && !off_[fpga] ? 3 : 0;
    set_status(fpga, chip_[fpga][kRegRunning] == 3);
    return true;
}

void FpgaModelSim::set_power(int fpga, bool on)
{
    if (fpga < 0 || fpga > 1)
        return;
    MutexLocker lock(&mutex_);
    off_[fpga] = !on;
    chip_[fpga][kRegRunning] = on ? 3 : 0;
    set_status(fpga, on);
}

bool FpgaModelSim::set_output_blank(bool blank)
{
    output_blank_ = blank;
    return true;
}

bool FpgaModelSim::poll_file()
{
    const bool switched = poll_power_file();
    poll_cards_file();
    return switched;
}

// A file is taken up when its text (comments aside) changed: what a test or a job changed
// meanwhile (a stop) stays until the file says something new.
bool FpgaModelSim::poll_power_file()
{
    const QString path = QStringLiteral("/sim/fpga.txt");
    if (!power_file_.watch.changed(kra_path(path)))
        return false;
    QStringList lines;
    const bool present = simFileLines(path, &lines);
    const QString content = lines.join(QLatin1Char(' ')).simplified();
    const QString key = present ? content : QStringLiteral("<none>");
    if (key == power_file_.key)
        return false;
    power_file_.key = key;
    if (!present) {
        const bool seen = power_file_.seen;
        power_file_.seen = false;
        if (!seen)
            return false;
        set_power(0, true);
        set_power(1, true);
        return true;
    }
    power_file_.seen = true;
    const QStringList words = content.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int fpga = 0; fpga < 2; ++fpga)
        set_power(fpga, words.size() <= fpga || words[fpga] != QLatin1String("0"));
    return true;
}

bool FpgaModelSim::poll_cards_file()
{
    const QString path = QStringLiteral("/sim/cards.txt");
    if (!cards_file_.watch.changed(kra_path(path)))
        return false;
    // Saving the file again stages its cards again, mended or not; the watch's repeated
    // looks at a fresh file do not.
    QStringList lines;
    const bool present = simFileLines(path, &lines);
    const QString stamp = QString::number(QFileInfo(kra_path(path)).lastModified().toMSecsSinceEpoch());
    const QString key = present ? stamp + QLatin1Char('\n') + lines.join(QLatin1Char('\n')) : QStringLiteral("<none>");
    if (key == cards_file_.key)
        return false;
    cards_file_.key = key;
    const bool seen = cards_file_.seen;
    cards_file_.seen = present;
    if (!present && !seen)
        return false;
    std::vector<RcvFault> faults;
    for (const QString &line : lines) {
        QStringList words = QString(line).replace(QLatin1Char(','), QLatin1Char(' '))
                                .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        RcvFaultFails fails = FAILS_NOTHING;
        if (!words.isEmpty() && words.last() == QLatin1String("read"))
            fails = FAILS_READ;
        else if (!words.isEmpty() && words.last() == QLatin1String("restore"))
            fails = FAILS_RESTORE;
        if (fails != FAILS_NOTHING)
            words.removeLast();
        if (words.size() < 2 || words.size() > 3)
            continue;
        bool ok[3] = {true, true, true};
        const int port = words[0].toInt(&ok[0]);
        const int card = words[1].toInt(&ok[1]);
        const int pack = words.size() == 3 ? words[2].toInt(&ok[2]) : card;
        if (!ok[0] || !ok[1] || !ok[2] || port < 1 || port > PORTS || card < 1 || card > 256
            || pack < 0 || pack > 256)
            continue;
        faults.push_back({port - 1, card - 1, pack, fails});
    }
    std::sort(faults.begin(), faults.end(), [](const RcvFault &a, const RcvFault &b) {
        return a.port != b.port ? a.port < b.port : a.card < b.card;
    });
    MutexLocker lock(&mutex_);
    faults_ = faults;
    return true;
}

bool FpgaModelSim::send_card_positions(int port, int first, const std::vector<RcvCardPos> &cards)
{
    if (port < 0 || port >= PORTS || first < 0)
        return false;
    MutexLocker lock(&mutex_);
    std::vector<RcvCardPos> &chain = cards_[port];
    if (size_t(first) < chain.size())
        chain.resize(size_t(first));
    chain.insert(chain.end(), cards.begin(), cards.end());
    return true;
}

bool FpgaModelSim::send_scan(int port, const QString &name, const QByteArray &)
{
    if (port < 0 || port >= PORTS)
        return false;
    MutexLocker lock(&mutex_);
    scan_file_[port] = name;
    return true;
}

bool FpgaModelSim::save_card_para()
{
    MutexLocker lock(&mutex_);
    ++saves_;
    return true;
}

bool FpgaModelSim::send_mapping(u32 arg)
{
    MutexLocker lock(&mutex_);
    mapping_arg_ = arg;
    return true;
}

// One card that cannot be read spoils the look at its whole port.
RcvCardState FpgaModelSim::check_cards(int port, int *card, int *pack_cards)
{
    MutexLocker lock(&mutex_);
    const RcvFault *lost = nullptr;
    for (const RcvFault &f : faults_) {
        if (f.port != port)
            continue;
        if (f.fails == FAILS_READ)
            return RCV_CARDS_UNREADABLE;
        if (!lost)
            lost = &f;
    }
    if (!lost)
        return RCV_CARDS_OK;
    *card = lost->card;
    *pack_cards = lost->pack_cards;
    return RCV_CARD_LOST;
}

bool FpgaModelSim::restore_card(int port, int card, int)
{
    MutexLocker lock(&mutex_);
    const auto thisCard = [&](const RcvFault &f) { return f.port == port && f.card == card; };
    // The same card on several lines: any one that makes it fail holds.
    if (std::any_of(faults_.begin(), faults_.end(),
                    [&](const RcvFault &f) { return thisCard(f) && f.fails != FAILS_NOTHING; }))
        return false;
    // The card holds the pack's parameters again.
    faults_.erase(std::remove_if(faults_.begin(), faults_.end(), thisCard), faults_.end());
    return true;
}

bool FpgaModelSim::begin_update()
{
    MutexLocker lock(&mutex_);
    installed_.clear();
    not_installed_.clear();
    return true;
}

bool FpgaModelSim::install_update(const QString &path)
{
    // The file may have gone or been swapped for a FIFO, a folder or a link since the
    // listing: only a plain file still on the stick is taken.
    qint64 size = 0;
    const int fd = Utils::open_regular(path, &size, UsbServer::stick_path());
    const bool good = fd >= 0 && size >= kUpdateHeadSize;
    if (fd >= 0)
        ::close(fd);
    MutexLocker lock(&mutex_);
    (good ? installed_ : not_installed_) << path;
    return good;
}

std::vector<RcvCardPos> FpgaModelSim::cards(int port) const
{
    MutexLocker lock(&mutex_);
    return port >= 0 && port < PORTS ? cards_[port] : std::vector<RcvCardPos>();
}

QString FpgaModelSim::scan_file(int port) const
{
    MutexLocker lock(&mutex_);
    return port >= 0 && port < PORTS ? scan_file_[port] : QString();
}

u32 FpgaModelSim::saves() const
{
    MutexLocker lock(&mutex_);
    return saves_;
}

u32 FpgaModelSim::mapping_arg() const
{
    MutexLocker lock(&mutex_);
    return mapping_arg_;
}

void FpgaModelSim::set_rcv_fault(int port, int card, int pack_cards, RcvFaultFails fails)
{
    MutexLocker lock(&mutex_);
    faults_.clear();
    if (port >= 0 && port < PORTS && card >= 0 && card < 256)
        faults_.push_back({port, card, pack_cards, fails});
}

std::vector<FpgaModelSim::RcvFault> FpgaModelSim::rcv_faults() const
{
    MutexLocker lock(&mutex_);
    return faults_;
}

QStringList FpgaModelSim::installed() const
{
    MutexLocker lock(&mutex_);
    return installed_;
}

QStringList FpgaModelSim::not_installed() const
{
    MutexLocker lock(&mutex_);
    return not_installed_;
}

void fpga_sim_power(int fpga, bool on)
{
    fpga_manage *manager = fpga_manage::pInstance();
    if (FpgaModelSim *model = manager->model()) {
        model->set_power(fpga, on);
        manager->update_running_state();
    }
}
