#include "krarampara.h"

namespace {

// Built at compile time: file byte 2 + n holds the default of image byte 768 + n.
struct Defaults {
    std::array<u8, 4096> b{};
    constexpr void set8(int addr, u8 v) { b[size_t(2 + addr - Para::SAVED_FIRST)] = v; }
    constexpr void set16(int addr, u16 v)
    {
        set8(addr, u8(v & 0xFF));
        set8(addr + 1, u8(v >> 8));
    }
};

constexpr std::array<u8, 4096> build()
{
    using namespace Para;
    Defaults d;
    d.b[0] = 0xAA; // file marker
    d.b[1] = 0xAA;
    d.set16(LANGUAGE, 1);       // English
    d.set8(WLAN_OFF, 0);        // WLAN access point on
    d.set16(TEST_PATTERN, 0);   // no test pattern
    d.set16(CURRENT_MODE, 0);   // no user mode in force
    for (int r = 0; r < 6; ++r) {
        d.set16(EDID + 6 * r, 1920);     // EDID width of every input
        d.set16(EDID + 6 * r + 2, 1080); // EDID height
        d.set16(EDID + 6 * r + 4, 60);   // EDID refresh rate
    }
    d.set16(SPLICE_MODE, 3);    // horizontal splice over the two outputs
    d.set16(LED_WIDTH, 1920);   // LED screen width
    d.set16(LED_HEIGHT, 1080);  // LED screen height
    d.set16(OUT1_WIDTH, 960);   // output 1: left half (horizontal split of 1920)
    d.set16(OUT1_HEIGHT, 1080); // output 1 height
    d.set16(OUT2_X, 960);       // output 2 starts where output 1 ends
    d.set16(OUT2_Y, 0);         // output 2 top
    d.set16(OUT2_WIDTH, 960);   // output 2: right half
    d.set16(OUT2_HEIGHT, 1080); // output 2 height
    d.set16(SELECTED_WINDOW, 0); // window 1 selected
    d.set8(P2P_ALL, 0);         // point-to-point off for all windows
    d.set16(SWITCH_EFFECT, 0);  // seamless switching
    d.set16(OSD_ON, 0);         // OSD menu off
    d.set16(PICTURE + 0, 100);  // brightness
    d.set16(PICTURE + 2, 50);   // contrast
    d.set16(PICTURE + 4, 10);   // sharpness
    d.set16(PICTURE + 6, 50);   // saturation
    d.set16(PICTURE + 8, 2);    // colour temperature type
    d.set16(PICTURE + 10, 64);  // red gain
    d.set16(PICTURE + 12, 64);  // green gain
    d.set16(PICTURE + 14, 64);  // blue gain
    for (int w = 0; w < WINDOWS_SHOWN; ++w) {
        d.set16(win(w, W_ON), w == 0 ? 1 : 0);  // only window 1 on
        d.set16(win(w, W_MIRROR), 0);           // no mirror
        d.set16(win(w, W_BACKUP), 0);           // no hot backup
        d.set16(win(w, W_SOURCE), 2);           // HDMI1, whole input
        d.set16(win(w, W_X), 0);                // window at the top left
        d.set16(win(w, W_Y), 0);
        d.set16(win(w, W_WIDTH), w == 0 ? 1920 : 960);  // window 1 fills the screen
        d.set16(win(w, W_HEIGHT), w == 0 ? 1080 : 540); // others a quarter when opened
        d.set16(win(w, W_FLAGS), 0);            // no fade, no point-to-point
        d.set8(win(w, W_VOLUME), 50);           // half volume
        d.set8(win(w, W_AUDIO), w == 0 ? 0x80 : 0); // audio of window 1 on
        d.set16(win(w, W_P2P_MODE), 0);         // plain point-to-point mode
        d.set16(FADE + 4 * w, 0);               // fade-in time
        d.set16(FADE + 4 * w + 2, 0);           // fade-out time
    }
    return d.b;
}

} // namespace

const std::array<u8, 4096> default_para_ramlist = build();
