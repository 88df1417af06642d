#ifndef FPGA_MODEL_SIM_H
#define FPGA_MODEL_SIM_H

#include "filewatch.h"
#include "fpga_access.h"
#include <QStringList>
#include <atomic>
#include <chrono>
#include <pthread.h>

// The PC's model of the two FPGAs and the receiving cards: registers answer as running FPGAs
// do (register 80 reads 3 while one runs), and the cards keep what the jobs sent them so
// that tests can read it back. An FPGA can be switched off by an operator (set_power, or the
// first two numbers of "<root>/sim/fpga.txt": 0 off, anything else or nothing on); a
// switched-off FPGA stays stopped through the manager's bring-up.
// While an FPGA runs, its output's registers move as the ageing log expects: 42 counts events
// in irregular steps, 40 holds the five status bits (now and then one drops for a while), 43
// the minutes run (mod 256). A register set from outside (set_chip_register, a write) keeps
// its value from then on.
// Receiving cards that lost their parameters come from set_rcv_fault or from
// "<root>/sim/cards.txt": one card a line, "port card [cards of that port in the pack]
// [read|restore]", numbered from 1 as the screens show them; no pack size means the pack
// holds the card; "read": the card cannot be read (its port's check fails), "restore": it
// lost its parameters and does not take them back.
// Thread rule: every member is safe from any thread (one state lock).
class FpgaModelSim : public FpgaAccess
{
public:
    static constexpr int REGS = 170;
    static constexpr int PORTS = 24;

    FpgaModelSim();

    bool poll() override;
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

    // Switches an FPGA on (it runs at once) or off. The manager's register image follows on
    // its next read of register 80.
    void set_power(int fpga, bool on);
    // Sets what a register of the chip holds.
    void set_chip_register(int fpga, int reg, u8 value);
    // From now on a write of register `reg` of `fpga` fails and leaves the chip as it was
    // (true), or works again (false).
    void set_write_fails(int fpga, int reg, bool fails);
    // Reads the simulation files when their status changed; true when one switched an FPGA.
    // poll() does this at most every 100 ms, and ages the registers by the time since.
    bool poll_file();
    // Ages the running FPGAs' registers 40, 42 and 43 as if they had run `running` longer.
    void age(std::chrono::milliseconds running);
    static constexpr std::chrono::seconds AGE_STEP{20};

    bool output_blank() const { return output_blank_; }
    std::vector<RcvCardPos> cards(int port) const;
    // Name of the scan file last loaded into the cards of a port (empty: none).
    QString scan_file(int port) const;
    // How often the cards saved their parameters, and the last mapping argument sent.
    u32 saves() const;
    u32 mapping_arg() const;
    // How a card fails beyond having lost its parameters.
    enum RcvFaultFails { FAILS_NOTHING, FAILS_READ, FAILS_RESTORE };
    // Card `card` of net port `port` (both from 0) lost its parameters, and no other card
    // did; the stored pack holds `pack_cards` cards of that port. A port of -1 clears every
    // fault.
    void set_rcv_fault(int port, int card, int pack_cards, RcvFaultFails fails = FAILS_NOTHING);
    struct RcvFault {
        int port; // from 0
        int card; // from 0
        int pack_cards;
        RcvFaultFails fails;
    };
    // The cards that lost their parameters, by port and card.
    std::vector<RcvFault> rcv_faults() const;
    // Update files installed by the last USB upgrade (full paths), and the ones it took that
    // it refused (gone, no regular file, or shorter than an update head).
    QStringList installed() const;
    QStringList not_installed() const;

private:
    mutable pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
    u8 chip_[2][REGS];
    bool off_[2] = {false, false};
    std::atomic<bool> output_blank_{false};
    std::vector<RcvCardPos> cards_[PORTS];
    QString scan_file_[PORTS];
    u32 saves_ = 0;
    u32 mapping_arg_ = 0;
    std::vector<RcvFault> faults_; // sorted by port, then card
    std::chrono::milliseconds age_time_[2] = {};
    u32 age_steps_[2] = {0, 0};
    u32 age_seed_[2] = {1, 2};
    bool pinned_[2][REGS] = {};
    bool write_fails_[2][REGS] = {};
    QStringList installed_;
    QStringList not_installed_;
    // What an FPGA's output status reads while it runs or not, unless set from outside.
    void set_status(int fpga, bool running);
    void age_step(int fpga);
    bool poll_power_file();
    bool poll_cards_file();

    // The simulation files: read by whoever polls (the manager's thread, or a test).
    struct SimFile {
        FileWatch watch;
        bool seen = false;
        QString key;
    };
    SimFile power_file_;
    SimFile cards_file_;
    std::chrono::steady_clock::time_point last_poll_{};
    std::chrono::steady_clock::time_point last_age_;
};

// Switches an FPGA of the PC model on or off and lets the FPGA manager see it at once (for
// tests, the bench and the screenshot tool; does nothing when the manager has no model).
void fpga_sim_power(int fpga, bool on);

#endif
