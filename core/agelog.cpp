#include "agelog.h"

namespace {
void countStep(int step, u32 &d3, u32 &d5, u32 &d10, u32 &d20, u32 &more)
{
    if (step == 0)
        return;
    if (step < 3)
        ++d3;
    else if (step < 5)
        ++d5;
    else if (step < 10)
        ++d10;
    else if (step < 20)
        ++d20;
    else
        ++more;
}
} // namespace

void kra_append_age_record(const QDateTime &when, const AgeRegisters &fpga0, const AgeRegisters &fpga1)
{
    const QString record = when.toString(QStringLiteral("MM-dd hh:mm"))
                           + QStringLiteral(" %1 %2 %3 %4 %5 %6")
                                 .arg(fpga0.r42).arg(fpga0.r40).arg(fpga0.r43)
                                 .arg(fpga1.r42).arg(fpga1.r40).arg(fpga1.r43);
    if (!factoryage_log.isEmpty()) {
        const QStringList last = factoryage_log.last().split(QLatin1Char(' '));
        if (last.size() == 8) {
            countStep((fpga0.r42 - last[2].toInt()) & 0xFF, factoryage_log_diff3, factoryage_log_diff5,
                      factoryage_log_diff10, factoryage_log_diff20, factoryage_log_diffmore);
            countStep((fpga1.r42 - last[5].toInt()) & 0xFF, factoryage_log2_diff3, factoryage_log2_diff5,
                      factoryage_log2_diff10, factoryage_log2_diff20, factoryage_log2_diffmore);
        }
    }
    factoryage_log.append(record);
    while (factoryage_log.size() > kAgeLogMax)
        factoryage_log.removeFirst();
}
