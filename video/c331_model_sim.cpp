#include "c331_model_sim.h"
#include "utils.h"

bool C331ModelSim::apply(const std::vector<C331Change> &set)
{
    MutexLocker lock(&mutex_);
    last_ = set;
    ++change_sets_;
    return true;
}

bool C331ModelSim::set_crop(int window, bool enable, const ST_RECT &rect)
{
    if (window < 0 || window >= 6)
        return false;
    MutexLocker lock(&mutex_);
    crops_[window] = {enable, rect};
    ++crop_sets_;
    return true;
}

C331ModelSim::Crop C331ModelSim::crop(int window) const
{
    MutexLocker lock(&mutex_);
    return window >= 0 && window < 6 ? crops_[window] : Crop();
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

u32 C331ModelSim::read_font_present()
{
    constexpr u32 kAllFonts = 0x0F;
    QByteArray data;
    if (Utils::read_file_guarded(kra_path(QStringLiteral("/sim/fonts.txt")), 4096, &data) != Utils::READ_OK)
        return kAllFonts;
    QString text;
    for (const QString &line : QString::fromUtf8(data).split(QLatin1Char('\n')))
        text += line.section(QLatin1Char('#'), 0, 0) + QLatin1Char(' ');
    const QString word = text.simplified().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const u32 bits = word.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? word.mid(2).toUInt(&ok, 16)
                                                                                : word.toUInt(&ok, 10);
    return ok ? bits : kAllFonts;
}
