#include "c331_model_sim.h"
#include "utils.h"

bool C331ModelSim::apply(const std::vector<C331Change> &set)
{
    MutexLocker lock(&mutex_);
    last_ = set;
    ++change_sets_;
    return true;
}

bool C331ModelSim::init_panel()
{
    ++panel_inits_;
    return true;
}

std::vector<C331Change> C331ModelSim::last_change_set() const
{
    MutexLocker lock(&mutex_);
    return last_;
}
