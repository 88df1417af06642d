#ifndef AGELOG_H
#define AGELOG_H

#include "global.h"
#include <QDateTime>

// The factory ageing log (factoryage_log and its step counters, global.h). GUI thread only.

// Registers 42, 40 and 43 of one FPGA, in the order a record lists them.
struct AgeRegisters {
    u8 r42;
    u8 r40;
    u8 r43;
};

constexpr int kAgeLogMax = 3360;

// Appends the record "MM-dd hh:mm" of `when` followed by the registers of FPGA 0 and FPGA 1;
// from the second record on, counts the advance (mod 256) of register 42 of each FPGA since
// the last record in its band: 1-2, 3-4, 5-9, 10-19, 20 and more (0 counts nowhere). The
// oldest records beyond kAgeLogMax are dropped.
void kra_append_age_record(const QDateTime &when, const AgeRegisters &fpga0, const AgeRegisters &fpga1);

#endif
