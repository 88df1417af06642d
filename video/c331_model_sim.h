#ifndef C331_MODEL_SIM_H
#define C331_MODEL_SIM_H

#include "c331_access.h"
#include <atomic>
#include <pthread.h>

// The PC's model of the video chip: it records each change set it is given and the crop
// each window shows, and counts the panel re-initialisations. Its serial flash holds the fonts that "<root>/sim/fonts.txt"
// names by the font-present bits (a number, decimal or 0x-hex; read when the manager takes
// the model, as the chip's font headers are read once); all four without a number there.
// Thread rule: safe from any thread.
class C331ModelSim : public C331Access
{
public:
    bool apply(const std::vector<C331Change> &set) override;
    bool set_crop(int window, bool enable, const ST_RECT &rect) override;
    bool init_panel() override;
    u32 read_font_present() override;

    // The last applied change set, the number of sets and of panel re-inits.
    std::vector<C331Change> last_change_set() const;
    u32 change_sets() const { return change_sets_; }
    u32 panel_inits() const { return panel_inits_; }
    // The crop window 0..5 was last given: enabled and its rectangle; the number of crops set.
    struct Crop {
        bool enable = false;
        ST_RECT rect{0, 0, 0, 0};
    };
    Crop crop(int window) const;
    u32 crop_sets() const { return crop_sets_; }

private:
    mutable pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
    std::vector<C331Change> last_;
    Crop crops_[6];
    std::atomic<u32> crop_sets_{0};
    std::atomic<u32> change_sets_{0};
    std::atomic<u32> panel_inits_{0};
};

#endif
