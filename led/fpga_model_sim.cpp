#include "fpga_model_sim.h"
#include "fpga_manage.h"
#include "utils.h"

#include <QFile>
#include <cstring>
#include <unistd.h>

namespace {
constexpr int kRegRunning = 80;
constexpr int kUpdateHeadSize = 49;
constexpr std::chrono::milliseconds kFilePollInterval{100};
} // namespace

FpgaModelSim::FpgaModelSim()
{
    memset(chip_, 0, sizeof chip_);
    chip_[0][kRegRunning] = chip_[1][kRegRunning] = 3; // both come up running
}

bool FpgaModelSim::poll()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - last_poll_ < kFilePollInterval)
        return false;
    last_poll_ = now;
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
    set_chip_register(fpga, reg, value);
    return fpga >= 0 && fpga <= 1 && reg >= 0 && reg < REGS;
}

void FpgaModelSim::set_chip_register(int fpga, int reg, u8 value)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg >= REGS)
        return;
    MutexLocker lock(&mutex_);
    chip_[fpga][reg] = value;
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
    return true;
}

void FpgaModelSim::set_power(int fpga, bool on)
{
    if (fpga < 0 || fpga > 1)
        return;
    MutexLocker lock(&mutex_);
    off_[fpga] = !on;
    chip_[fpga][kRegRunning] = on ? 3 : 0;
}

bool FpgaModelSim::set_output_blank(bool blank)
{
    output_blank_ = blank;
    return true;
}

bool FpgaModelSim::poll_file()
{
    const QString path = kra_path(QStringLiteral("/sim/fpga.txt"));
    if (!file_.changed(path))
        return false;
    QFile f(path);
    QString content;
    const bool present = f.open(QIODevice::ReadOnly);
    if (present) {
        for (const QString &line : QString::fromUtf8(f.read(4096)).split(QLatin1Char('\n')))
            content += line.section(QLatin1Char('#'), 0, 0) + QLatin1Char(' ');
        content = content.simplified();
    }
    const QString key = present ? content : QStringLiteral("<none>");
    if (key == file_key_)
        return false;
    file_key_ = key;
    if (!present) {
        const bool seen = file_seen_;
        file_seen_ = false;
        if (!seen)
            return false;
        set_power(0, true);
        set_power(1, true);
        return true;
    }
    file_seen_ = true;
    const QStringList words = content.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int fpga = 0; fpga < 2; ++fpga)
        set_power(fpga, words.size() <= fpga || words[fpga] != QLatin1String("0"));
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

RcvCardState FpgaModelSim::check_cards(int port, int *card, int *pack_cards)
{
    MutexLocker lock(&mutex_);
    if (port != fault_port_)
        return RCV_CARDS_OK;
    *card = fault_card_;
    *pack_cards = fault_pack_cards_;
    return RCV_CARD_LOST;
}

bool FpgaModelSim::restore_card(int port, int card, int)
{
    MutexLocker lock(&mutex_);
    if (port == fault_port_ && card == fault_card_)
        fault_port_ = -1; // the card holds the pack's parameters again
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
    // The file may have gone or been swapped for a FIFO or device since the listing.
    qint64 size = 0;
    const int fd = Utils::open_regular(path, &size);
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

void FpgaModelSim::set_rcv_fault(int port, int card, int pack_cards)
{
    MutexLocker lock(&mutex_);
    const bool valid = port >= 0 && port < PORTS && card >= 0 && card < 256;
    fault_port_ = valid ? port : -1;
    fault_card_ = card;
    fault_pack_cards_ = pack_cards;
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
