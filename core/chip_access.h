#ifndef CHIP_ACCESS_H
#define CHIP_ACCESS_H

#include <memory>

// The one place where the build kind chooses how the hardware managers reach their chips:
// the device build (KRA_DEVICE) gets the device access, the PC build the in-memory models.
// Each manager creates its access through this; a test may install a model explicitly.
template <class Access, class Model, class Device>
std::unique_ptr<Access> kra_chip_access()
{
#ifdef KRA_DEVICE
    return std::make_unique<Device>();
#else
    return std::make_unique<Model>();
#endif
}

#endif
