#ifndef FPGA_MANAGE_H
#define FPGA_MANAGE_H

#include "global.h"
#include <pthread.h>

// The FPGA manager. On the host the two FPGAs are an in-memory model whose register and
// parameter images answer as running FPGAs do. The images are read without a lock by the
// screens; register writes take the image mutex.
class fpga_manage
{
public:
    static fpga_manage *p_fpga_manage;
    static fpga_manage *pInstance();

    static constexpr int REG_COUNT = 170;
    static constexpr int RAM_PARA_SIZE = 1024;
    static u8 *MCU_REG_func[2];
    static u8 *MCU_RAM_PARA_func[2];

    // Reads one register of FPGA 0 or 1 into the register image.
    int read_from_register(int reg, int fpga);
    // Sets the masked bits of a register in the image (and, outside 64..127, in the FPGA).
    int write_to_register(int reg, u8 mask, u8 value, int fpga);
    // True when register 80 of both images reads 3.
    static bool both_running();

    // Host model: start or stop one simulated FPGA (register 80 reads 3 while it runs).
    void sim_set_running(int fpga, bool running);
    // Host model: what register `reg` of the chip holds (what a read brings into the image).
    u8 sim_chip[2][REG_COUNT];

private:
    fpga_manage();
    pthread_mutex_t image_mutex_ = PTHREAD_MUTEX_INITIALIZER;
};

#endif
