#ifndef FPGA_ACCESS_H
#define FPGA_ACCESS_H

#include "global.h"
#include <QByteArray>
#include <QString>
#include <vector>

// Position of one receiving card in the LED picture, as smart mapping sends it.
struct RcvCardPos {
    u16 x;
    u16 y;
};

enum RcvCardState { RCV_CARDS_OK = 0, RCV_CARD_LOST = 1, RCV_CARDS_UNREADABLE = 2 };

// What the FPGA manager needs of the two FPGAs (index 0 or 1) and of the receiving cards
// behind their 24 net ports (0..11 on FPGA 0, 12..23 on FPGA 1). Every call but the register
// pair comes from the manager's thread; the register pair is called under the manager's
// image mutex from any thread. A call that the hardware did not take returns false.
class FpgaAccess
{
public:
    virtual ~FpgaAccess() = default;

    // Once per pass of the manager's thread: true when the running state of an FPGA may have
    // changed by itself (the manager then reads register 80 of both).
    virtual bool poll() { return false; }

    virtual bool read_register(int fpga, int reg, u8 *value) = 0;
    virtual bool write_register(int fpga, int reg, u8 value) = 0;
    // Sends an FPGA's parameter image (fpga_manage::RAM_PARA_SIZE bytes).
    virtual bool write_ram_para(int fpga, const u8 *image) = 0;
    // Holds an FPGA in reset (false) or lets it start (true); register 80 tells the outcome.
    virtual bool set_running(int fpga, bool running) = 0;
    // Blanks the LED output while its geometry changes, or shows the picture again.
    virtual bool set_output_blank(bool blank) = 0;

    // Smart mapping: the positions of the cards of `port` from card `first` on; a first of 0
    // starts the port's chain afresh.
    virtual bool send_card_positions(int port, int first, const std::vector<RcvCardPos> &cards) = 0;
    // Load scan: a scan file for the cards of `port`.
    virtual bool send_scan(int port, const QString &name, const QByteArray &data) = 0;
    // The cards store their current parameters.
    virtual bool save_card_para() = 0;
    // Mapping on (9) or off (0).
    virtual bool send_mapping(u32 arg) = 0;
    // Compares the cards of `port` with the stored pack; on RCV_CARD_LOST sets the first card
    // that lost its parameters and the number of cards of that port in the pack.
    virtual RcvCardState check_cards(int port, int *card, int *pack_cards) = 0;
    // Sends the pack's parameters (`blocks` parameter blocks) to a card.
    virtual bool restore_card(int port, int card, int blocks) = 0;
    // Starts an upgrade, then installs one update file of the USB stick per call.
    virtual bool begin_update() = 0;
    virtual bool install_update(const QString &path) = 0;
};

// The device's access. The SPI transfers to the FPGAs and the receiving-card protocol are
// not written yet: every call reports failure (and logs it once), so a device build shows
// stopped FPGAs and failed jobs rather than pretending they ran.
class FpgaDevice : public FpgaAccess
{
public:
    bool read_register(int fpga, int reg, u8 *value) override;
    bool write_register(int fpga, int reg, u8 value) override;
    bool write_ram_para(int fpga, const u8 *image) override;
    bool set_running(int fpga, bool running) override;
    bool set_output_blank(bool blank) override;
    bool send_card_positions(int port, int first, const std::vector<RcvCardPos> &cards) override;
    bool send_scan(int port, const QString &name, const QByteArray &data) override;
    bool save_card_para() override;
    bool send_mapping(u32 arg) override;
    RcvCardState check_cards(int port, int *card, int *pack_cards) override;
    bool restore_card(int port, int card, int blocks) override;
    bool begin_update() override;
    bool install_update(const QString &path) override;

private:
    bool missing(const char *what);
    bool logged_ = false;
};

#endif
