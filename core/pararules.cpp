#include "pararules.h"
#include "config_engine.h"
#include "utils.h"
#include "wake.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {

KraRamPara *para()
{
    return KraRamPara::pInstance();
}

// The smallest multiple of `step` not below n, for negative n too.
int ceilTo(int n, int step)
{
    return n >= 0 ? (n + step - 1) / step * step : -(-n / step * step);
}

// The larger part of an odd n is two more than floor(n / 2).
int half(int n)
{
    return n / 2 + 2 * (n % 2);
}

// The rounding may exceed a narrow screen (below 8), so output 1 is limited to the screen.
void horizontalSplit(int n, int *out1, int *out2)
{
    if (n <= LED_OUT_MAX) {
        *out1 = std::min(ceilTo(half(n), 8), std::max(n, 0));
        *out2 = n - *out1;
    } else {
        *out1 = ceilTo(half(n), 32);
        *out2 = ceilTo(n, 32) - *out1;
    }
}

bool isWindow(int window)
{
    return window >= 0 && window < Para::WINDOWS_SHOWN;
}

} // namespace

LedLayout kra_led_layout()
{
    const KraRamPara *p = para();
    LedLayout led;
    const u16 mode = p->live16(Para::SPLICE_MODE);
    led.mode = mode == SPLICE_VERTICAL || mode == SPLICE_HORIZONTAL ? mode : SPLICE_COPY;
    led.width = p->live16(Para::LED_WIDTH);
    led.height = p->live16(Para::LED_HEIGHT);
    led.out1_width = p->live16(Para::OUT1_WIDTH);
    led.out1_height = p->live16(Para::OUT1_HEIGHT);
    led.out2_width = p->live16(Para::OUT2_WIDTH);
    led.out2_height = p->live16(Para::OUT2_HEIGHT);
    return led;
}

void kra_led_choose_mode(LedLayout &led, int mode)
{
    const int w = led.width, h = led.height;
    switch (mode) {
    case SPLICE_HORIZONTAL:
        horizontalSplit(w, &led.out1_width, &led.out2_width);
        led.out1_height = led.out2_height = h;
        break;
    case SPLICE_VERTICAL:
        led.out1_width = led.out2_width = w;
        led.out1_height = h / 2 + h % 2;
        led.out2_height = h - led.out1_height;
        break;
    case SPLICE_COPY:
        if (led.width > LED_OUT_MAX)
            led.width = LED_OUT_MAX;
        led.out1_width = led.out2_width = led.width;
        led.out1_height = led.out2_height = h;
        break;
    default:
        return;
    }
    led.mode = mode;
}

// Output 1 is not held to the screen: output 2 shows what is left, below 0 when output 1
// takes more than the screen, and Apply refuses such a split.
void kra_led_type_out1_width(LedLayout &led, int v)
{
    if (v > LED_OUT_MAX) {
        v = LED_OUT_MAX;
        led.mode = SPLICE_HORIZONTAL;
    }
    const bool horizontal = led.mode == SPLICE_HORIZONTAL;
    if (led.width <= LED_OUT_MAX) {
        led.out1_width = v;
        led.out2_width = horizontal ? led.width - v : v;
    } else {
        led.out1_width = ceilTo(v, 32);
        led.out2_width = horizontal ? ceilTo(led.width, 32) - led.out1_width : led.out1_width;
    }
}

void kra_led_type_out1_height(LedLayout &led, int v)
{
    led.out1_height = std::min(v, LED_OUT_MAX);
    led.out2_height = led.mode == SPLICE_VERTICAL ? led.height - led.out1_height : led.out1_height;
}

LedApplied kra_led_apply(const LedLayout &led, bool fpgas_running)
{
    LedApplied result;
    const int w = led.width, h = led.height;
    const int mode = led.mode == SPLICE_VERTICAL || led.mode == SPLICE_HORIZONTAL ? led.mode : SPLICE_COPY;
    // Output 1 width and height, output 2 X, Y, width and height. A split that leaves an
    // output 0 or less wide or high is refused: the block would take it as a huge unsigned size.
    int out[6];
    switch (mode) {
    case SPLICE_HORIZONTAL:
        // Output 2 takes the rest of the width at output 1's height, whatever its fields show.
        if (led.out1_width <= 0 || led.out1_width >= w || led.out1_height <= 0)
            return result;
        out[0] = led.out1_width, out[1] = led.out1_height, out[2] = led.out1_width, out[3] = 0;
        out[4] = w - led.out1_width, out[5] = led.out1_height;
        break;
    case SPLICE_VERTICAL:
        // Output 2 lies below output 1 at its width; only its height field is read.
        if (led.out1_height <= 0 || led.out2_height <= 0 || led.out1_width <= 0)
            return result;
        out[0] = led.out1_width, out[1] = led.out1_height, out[2] = 0, out[3] = led.out1_height;
        out[4] = led.out1_width, out[5] = led.out2_height;
        break;
    default:
        if (w <= 0 || h <= 0)
            return result;
        out[0] = w, out[1] = h, out[2] = 0, out[3] = 0, out[4] = w, out[5] = h;
        break;
    }

    ParaWrite write;
    write.set16(Para::LED_WIDTH, u16(w));
    write.set16(Para::LED_HEIGHT, u16(h));
    write.set16(Para::SPLICE_MODE, u16(mode));
    for (int i = 0; i < 6; ++i)
        write.set16(Para::OUT1_WIDTH + 2 * i, u16(out[i]));
    result.written = true;
    if (para()->differs(Para::SPLICE_MODE, 6)) {
        write.set16(Para::win(0, Para::W_X), 0);
        write.set16(Para::win(0, Para::W_Y), 0);
        write.set16(Para::win(0, Para::W_WIDTH), u16(w));
        write.set16(Para::win(0, Para::W_HEIGHT), u16(h));
        for (int win = 1; win < Para::WINDOWS_SHOWN; ++win)
            write.set16(Para::win(win, Para::W_ON), 0);
        result.reset = true;
        if (fpgas_running) {
            kra_led_geometry_handshake(write);
            result.handshake = true;
        }
    }
    return result;
}

void kra_led_geometry_handshake(const ParaWrite &)
{
    MutexLocker lock(&Utils::_led_para_init_mutex);
    kra_set_led_para(1);
    g_set_led_setup = 0;
}

namespace {

const char *const kDefaultIp = "192.168.1.199";

// Returns false when the INI store does not exist; nothing is written then.
bool restoreNetwork()
{
    ConfigEngine *config = ConfigEngine::p_config;
    if (!config) {
        writeLogMsg(LOG_ERROR, QStringLiteral("factory reset: no settings store, network left alone"));
        return false;
    }
    config->write_config_variant(ConfigItem::IPAddress, QString::fromLatin1(kDefaultIp));
    config->write_config_variant(ConfigItem::SubNetMask, QStringLiteral("255.255.255.0"));
    config->write_config_variant(ConfigItem::GateWay, QStringLiteral("192.168.1.1"));
    Utils::system_mutex(QStringLiteral("sync"), nullptr);
    usleep(100);
    Utils::initIPAddress();
    return true;
}

} // namespace

FactoryResetDone kra_factory_reset(int kind, bool fpgas_running)
{
    FactoryResetDone done;
    if (kind < RESET_KEEP_IP || kind > RESET_ALL)
        return done;
    // Mask and gateway are left as they are when the address already is the default.
    if (kind == RESET_ALL && g_str_ip != QLatin1String(kDefaultIp))
        done.network = restoreNetwork();

    constexpr int kKeptFirst = Para::EDID, kKeptEnd = 1376;
    ParaWrite w;
    u8 *image = w.image();
    // Image byte 768 + n stands at byte 2 + n of the default file.
    auto restore = [image](int first, int end) {
        memcpy(image + first, default_para_ramlist.data() + 2 + first - Para::SAVED_FIRST, size_t(end - first));
    };
    if (kind == RESET_KEEP_IP_EDID) {
        restore(Para::SAVED_FIRST, kKeptFirst);
        restore(kKeptEnd, Para::IMAGE_SIZE);
    } else {
        restore(Para::SAVED_FIRST, Para::IMAGE_SIZE);
    }
    // Splicing, width and height are the three words from 0x560.
    done.geometry = para()->differs(Para::SPLICE_MODE, 6);
    if (done.geometry) {
        if (fpgas_running) {
            kra_led_geometry_handshake(w);
            done.handshake = true;
        }
        w.set16(Para::SELECTED_WINDOW, 0);
    }
    return done;
}

void kra_window_set_on(int window, bool on)
{
    if (!isWindow(window))
        return;
    ParaWrite w;
    w.set8(Para::win(window, Para::W_ON), on ? 1 : 0);
}

bool kra_window_span_fits(int start, int size, bool vertical)
{
    const u32 limit = para()->live16(vertical ? Para::LED_HEIGHT : Para::LED_WIDTH);
    return u32(start) + u32(size) <= limit;
}

void kra_window_set_rect(int window, u16 x, u16 y, u16 width, u16 height)
{
    if (!isWindow(window))
        return;
    ParaWrite w;
    w.set16(Para::win(window, Para::W_X), x);
    w.set16(Para::win(window, Para::W_Y), y);
    w.set16(Para::win(window, Para::W_WIDTH), width);
    w.set16(Para::win(window, Para::W_HEIGHT), height);
}

bool kra_window_set_mirror(int window, int mode)
{
    if (!isWindow(window) || para()->ram_para[Para::win(window, Para::W_MIRROR)] == mode)
        return false;
    ParaWrite w;
    w.set8(Para::win(window, Para::W_MIRROR), u8(mode));
    return true;
}

bool kra_window_set_p2p(int window, int choice)
{
    constexpr u16 kP2PBit = 0x100;
    constexpr u16 kModes[] = {0, 0, 8, 9};
    if (!isWindow(window) || choice < 0 || choice > 3)
        return false;
    const KraRamPara *p = para();
    const u16 oldFlags = p->live16(Para::win(window, Para::W_FLAGS));
    const u16 oldMode = p->live16(Para::win(window, Para::W_P2P_MODE));
    u16 flags = oldFlags;
    u16 mode = oldMode;
    if (choice == 0) {
        flags = u16(flags & ~kP2PBit);
    } else {
        flags = u16(flags | kP2PBit);
        mode = kModes[choice];
    }
    if (flags == oldFlags && mode == oldMode)
        return false;
    ParaWrite w;
    w.set16(Para::win(window, Para::W_FLAGS), flags);
    w.set16(Para::win(window, Para::W_P2P_MODE), mode);
    return true;
}

void kra_window_set_backup(int window, int choice)
{
    if (!isWindow(window) || choice < 0)
        return;
    ParaWrite w(false);
    w.set8(Para::win(window, Para::W_BACKUP), u8(choice));
}

std::vector<int> kra_windows_on()
{
    std::vector<int> on;
    for (int w = 0; w < Para::WINDOWS_SHOWN; ++w) {
        if (para()->live16(Para::win(w, Para::W_ON)))
            on.push_back(w);
    }
    return on;
}

int kra_selected_window_correct()
{
    const int16_t w = int16_t(para()->live16(Para::SELECTED_WINDOW));
    if (isWindow(w) && para()->live16(Para::win(w, Para::W_ON)))
        return w;
    ParaWrite write(false);
    write.set16(Para::SELECTED_WINDOW, 0);
    return 0;
}

void kra_window_set_audio(int window, bool on)
{
    if (!isWindow(window))
        return;
    ParaWrite w;
    w.set16(Para::SELECTED_WINDOW, u16(window));
    w.set8(Para::win(window, Para::W_VOLUME), on ? 255 : 0);
    w.set8(Para::win(window, Para::W_AUDIO), on ? 0x80 : 0);
}

bool kra_window_audio_on(int window)
{
    return isWindow(window) && para()->ram_para[Para::win(window, Para::W_AUDIO)] >= 0x80;
}

void kra_set_switch_effect(bool fade)
{
    {
        ParaWrite w;
        u8 *image = w.image();
        image[Para::SWITCH_EFFECT] = fade ? 1 : 0;
        for (int k = 0; k < WINDOW_RECORDS; ++k) {
            u8 &flags = image[Para::win(k, Para::W_FLAGS)];
            flags = fade ? u8(flags | 4) : u8(flags & ~4);
            if (fade) {
                image[Para::FADE + 4 * k] = 60;
                image[Para::FADE + 4 * k + 2] = 60;
            }
        }
    }
    para()->ram_para_save();
}

void kra_set_p2p_all(bool on)
{
    {
        ParaWrite w;
        w.set8(Para::P2P_ALL, on ? 1 : 0);
        for (int k = 0; k < WINDOW_RECORDS; ++k)
            w.set8(Para::win(k, Para::W_FLAGS + 1), on ? 1 : 0);
    }
    para()->ram_para_save();
}

bool kra_p2p_all_on()
{
    const u8 *image = para()->ram_para;
    for (int k = 0; k < WINDOW_RECORDS; ++k) {
        if (image[Para::win(k, Para::W_FLAGS + 1)] && image[Para::win(k, Para::W_ON)])
            return true;
    }
    return image[Para::P2P_ALL] != 0;
}

void kra_set_wlan(bool on)
{
    {
        ParaWrite w;
        w.set8(Para::WLAN_OFF, on ? 0 : 1);
    }
    if (!on) {
        // The results are of no use: a daemon that is not running is already stopped.
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`"), nullptr);
        Utils::system_mutex(QStringLiteral("kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"), nullptr);
    }
}

bool kra_set_language(int code)
{
    if (code < 0 || code > 4 || para()->ram_para[Para::LANGUAGE] == code)
        return false;
    g_language = u8(code);
    ParaWrite w;
    w.set8(Para::LANGUAGE, u8(code));
    return true;
}

bool kra_advanced_settings_differ()
{
    const KraRamPara *p = para();
    auto differs16 = [p](int addr) { return p->live16(addr) != p->shadow16(addr); };
    const int16_t w = int16_t(p->live16(Para::SELECTED_WINDOW));
    // The selected window may hold anything; only a window's own record is compared.
    if (isWindow(w) && differs16(Para::win(w, Para::W_VOLUME)))
        return true;
    if (differs16(Para::SWITCH_EFFECT) || differs16(Para::SELECTED_WINDOW))
        return true;
    for (int k = 0; k < Para::WINDOWS_SHOWN; ++k) {
        if (differs16(Para::win(k, Para::W_ON)) || differs16(Para::win(k, Para::W_FLAGS)))
            return true;
    }
    // The access point and point-to-point are shown too; a factory reset or the protocol may
    // change them alone.
    return p->differs(Para::WLAN_OFF, 1) || p->differs(Para::P2P_ALL, 1);
}

void kra_picture_reset()
{
    constexpr int kBytes = 16;
    // Image byte 768 + n stands at byte 2 + n of the default file.
    constexpr int kDefaults = 2 + Para::PICTURE - Para::SAVED_FIRST;
    ParaWrite w;
    memcpy(w.image() + Para::PICTURE, default_para_ramlist.data() + kDefaults, kBytes);
}

KraTiming kra_input_timing(int code)
{
    KraTiming t;
    if (code < 0 || code > 5)
        return t;
    const KraRamPara *p = para();
    // The input-source manager's thread writes the record under this lock.
    MutexLocker lock(&Utils::_source_hdminfo_mutex);
    t.width = p->live16(Para::TIMING + 6 * code);
    t.height = p->live16(Para::TIMING + 6 * code + 2);
    t.rate = p->live16(Para::TIMING + 6 * code + 4);
    return t;
}

bool kra_input_timing_changed(int code)
{
    if (code < 0 || code > 5)
        return false;
    MutexLocker lock(&Utils::_source_hdminfo_mutex);
    return para()->differs(Para::TIMING + 6 * code, 6);
}

bool kra_any_timing_changed()
{
    MutexLocker lock(&Utils::_source_hdminfo_mutex);
    return para()->differs(Para::TIMING, 6 * 6);
}

int kra_source_count(int code)
{
    return para()->KraGetSourceNum(code, Para::CROP_ENTRIES) + 1;
}

int kra_crop_number(int entry)
{
    if (entry < 0 || entry >= Para::CROP_ENTRIES)
        return 0;
    const u8 b1 = para()->ram_para[Para::crop(entry, 1)];
    return (b1 & 0x80) ? (b1 & 0x7F) + 1 : 0;
}

int kra_crop_position(int code, int number)
{
    if (code < 0 || code > 5 || number < 1 || number > Para::CROP_ENTRIES)
        return 0;
    const u8 *bits = g_cut_source_state[code];
    auto used = [bits](int bit) { return (bits[bit / 8] >> (bit % 8)) & 1; };
    if (!used(number - 1))
        return 0;
    int n = 0;
    for (int bit = 0; bit < number; ++bit)
        n += used(bit);
    return n;
}

KraWindowSource kra_window_source(int window)
{
    KraWindowSource s;
    if (!isWindow(window))
        return s;
    KraRamPara *p = para();
    short isCrop = 0;
    char entry = 0;
    s.input = p->KraGetImageSource(p->ram_para, u8(window), &isCrop, &entry, 0);
    s.crop = isCrop != 0;
    if (!s.crop) {
        s.position = s.input <= 5 ? 0 : -1;
        return s;
    }
    s.entry = u8(entry);
    s.number = kra_crop_number(s.entry);
    const int n = s.number ? kra_crop_position(s.input, s.number) : 0;
    s.position = n > 0 ? n : -1;
    return s;
}
