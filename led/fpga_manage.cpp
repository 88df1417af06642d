#include "fpga_manage.h"
#include "utils.h"

#include <cstring>

namespace {
u8 s_reg[2][fpga_manage::REG_COUNT];
u8 s_ram_para[2][fpga_manage::RAM_PARA_SIZE];
} // namespace

fpga_manage *fpga_manage::p_fpga_manage = nullptr;
u8 *fpga_manage::MCU_REG_func[2] = {s_reg[0], s_reg[1]};
u8 *fpga_manage::MCU_RAM_PARA_func[2] = {s_ram_para[0], s_ram_para[1]};

fpga_manage::fpga_manage()
{
    memset(sim_chip, 0, sizeof sim_chip);
    for (int f = 0; f < 2; ++f) {
        sim_chip[f][80] = 3; // both FPGAs come up running
        memcpy(MCU_REG_func[f], sim_chip[f], REG_COUNT);
    }
}

fpga_manage *fpga_manage::pInstance()
{
    if (!p_fpga_manage)
        p_fpga_manage = new fpga_manage();
    return p_fpga_manage;
}

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
    return MCU_REG_func[0][80] == 3 && MCU_REG_func[1][80] == 3;
}

void fpga_manage::sim_set_running(int fpga, bool running)
{
    if (fpga < 0 || fpga > 1)
        return;
    MutexLocker lock(&image_mutex_);
    sim_chip[fpga][80] = running ? 3 : 0;
    MCU_REG_func[fpga][80] = sim_chip[fpga][80];
}
