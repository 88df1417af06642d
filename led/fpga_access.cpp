#include "fpga_access.h"
#include "utils.h"

bool FpgaDevice::missing(const char *what)
{
    if (!logged_) {
        logged_ = true;
        writeLogMsg(LOG_ERROR, QStringLiteral("fpga: no device access written (%1)").arg(QLatin1String(what)));
    }
    return false;
}

bool FpgaDevice::read_register(int, int, u8 *) { return missing("register read"); }
bool FpgaDevice::write_register(int, int, u8) { return missing("register write"); }
bool FpgaDevice::write_ram_para(int, const u8 *) { return missing("parameter image"); }
bool FpgaDevice::set_running(int, bool) { return missing("reset"); }
bool FpgaDevice::set_output_blank(bool) { return missing("output blank"); }
bool FpgaDevice::send_card_positions(int, int, const std::vector<RcvCardPos> &) { return missing("card positions"); }
bool FpgaDevice::send_scan(int, const QString &, const QByteArray &) { return missing("scan file"); }
bool FpgaDevice::save_card_para() { return missing("card save"); }
bool FpgaDevice::send_mapping(u32) { return missing("mapping"); }

RcvCardState FpgaDevice::check_cards(int, int *, int *)
{
    missing("card check");
    return RCV_CARDS_UNREADABLE;
}

bool FpgaDevice::restore_card(int, int, int) { return missing("card restore"); }
bool FpgaDevice::begin_update() { return missing("update"); }
bool FpgaDevice::install_update(const QString &) { return missing("update"); }
