#ifndef PARARULES_H
#define PARARULES_H

// Rules of the parameter block that screens and the command protocol share: the LED output
// split and its Apply, the factory resets, the window-record writes, the picture reset and
// the source queries.
// Reads take no lock; every write goes through ParaWrite (the video-chip manager's mutex and
// changed flag), so any thread may call them; the queries of crops read
// g_cut_source_state, which the GUI thread keeps.

#include "krarampara.h"
#include <vector>

// ---- LED outputs ----

constexpr u8 SPLICE_VERTICAL = 2, SPLICE_HORIZONTAL = 3, SPLICE_COPY = 4;
constexpr int LED_OUT_MAX = 8188; // widest (and highest) area one output takes

// The LED page as edited before Apply: the screen's size, the splice mode and the outputs'
// sizes as shown.
struct LedLayout {
    int mode = SPLICE_COPY;
    int width = 0;
    int height = 0;
    int out1_width = 0;
    int out1_height = 0;
    int out2_width = 0;
    int out2_height = 0;
};

// The live image's LED page; a stored mode other than 2 and 3 reads as copy.
LedLayout kra_led_layout();
// Splits the screen over the outputs for `mode`; copy caps the screen's width at 8188.
void kra_led_choose_mode(LedLayout &led, int mode);
// Output 1's typed width (16-bit range): above 8188 it is 8188 and the mode turns horizontal,
// the other sizes unchanged; on a screen wider than 8188 it is rounded up to 32. Output 2
// follows: the rest of the screen when horizontal (below 0 when output 1 takes more), else
// output 1's width.
void kra_led_type_out1_width(LedLayout &led, int typed);
// Output 1's typed height (16-bit range), at most 8188; output 2 follows: the rest of the
// screen when vertical, else output 1's height.
void kra_led_type_out1_height(LedLayout &led, int typed);

struct LedApplied {
    bool written = false;   // false: the layout was refused and nothing was written
    bool reset = false;     // size or mode changed: window 1 fills the screen, 2..6 are off
    bool handshake = false; // the FPGA manager was told to take the new geometry
};
// Writes the LED page. Horizontal splicing gives output 2 the screen's width less output 1's,
// whatever was shown for it. A layout that leaves an output 0 or less wide or high is
// refused (nothing written); any other is written as it stands. When the screen's size or
// mode changed, the windows are reset and, only while both FPGAs run, the geometry
// hand-shake is started.
LedApplied kra_led_apply(const LedLayout &led, bool fpgas_running);

// Starts the FPGA manager's LED-geometry hand-shake. Taken inside a write of the live image,
// so the lock order is the manager's mutex, then Utils::_led_para_init_mutex, as everywhere.
void kra_led_geometry_handshake(const ParaWrite &held);

// ---- factory resets ----

enum FactoryReset { RESET_KEEP_IP = 1, RESET_KEEP_IP_EDID = 2, RESET_ALL = 3 };

struct FactoryResetDone {
    bool network = false;   // the INI network items were restored and applied to eth0
    bool geometry = false;  // the LED size or splicing differs from the shadow copy
    bool handshake = false; // the FPGA manager was told to take the new geometry
};
// Restores the saved range of the live image (768..4095) from the built-in defaults;
// RESET_KEEP_IP_EDID keeps 896..1375. When the LED geometry changes, 0x840 is cleared and,
// only while both FPGAs run, the hand-shake is started. RESET_ALL first restores the
// network items of the INI file and applies them, but only when the address is not the
// default already. Other kinds do nothing. Runs shell commands, so not under any lock.
FactoryResetDone kra_factory_reset(int kind, bool fpgas_running);

// ---- window records (0..5) ----

// Low byte of the on word.
void kra_window_set_on(int window, bool on);
// True when a span starting at `start` of `size` pixels ends within the LED screen's width
// (or height); both are taken as unsigned 32-bit numbers.
bool kra_window_span_fits(int start, int size, bool vertical);
void kra_window_set_rect(int window, u16 x, u16 y, u16 width, u16 height);
// Mirror mode 0..3 into the low byte; false (nothing written) when it is already stored.
bool kra_window_set_mirror(int window, int mode);
// Point-to-point choice: 0 off (the mode word kept), 1 on, 2 HD3+HD4 side by side, 3 one
// above the other; false when out of range or nothing would change.
bool kra_window_set_p2p(int window, int choice);
// Hot-backup choice into the low byte; the change is not applied on its own.
void kra_window_set_backup(int window, int choice);

// ---- advanced settings ----

constexpr int WINDOW_RECORDS = 16; // the effect and point-to-point write every record

// Windows 0..5 whose on word is non-zero, in order: the entries of the audio list.
std::vector<int> kra_windows_on();
// Writes 0 into the selected window (0x840, without the changed flag) when it is outside
// 0..5 or that window is off; returns the selected window then in force.
int kra_selected_window_correct();
// Audio of window 0..5 on or off (volume 255 / audio 0x80, or both 0); the window becomes
// the selected one. Other windows: nothing.
void kra_window_set_audio(int window, bool on);
bool kra_window_audio_on(int window);
// Seamless (false) or fade (true) for all 16 records; fade also sets every fade time to
// 60. Then asks for a save.
void kra_set_switch_effect(bool fade);
// Point-to-point for all 16 records and 0x842; then asks for a save.
void kra_set_p2p_all(bool on);
// True when 0x842 or any record whose window is on has point-to-point set.
bool kra_p2p_all_on();
// The access point on or off (byte 774). Turning it off stops its two daemons (the command
// lines run outside the lock); bringing it up again is the WLAN service's job, not this.
void kra_set_wlan(bool on);
// The language code 0..4 into byte 768 and g_language; false (nothing written) when the
// block already holds it or the code is out of range.
bool kra_set_language(int code);
// True when a field shown by the advanced settings differs between live and shadow.
bool kra_advanced_settings_differ();

// ---- picture ----

// The eight picture values back to the built-in defaults.
void kra_picture_reset();

// ---- inputs and sources ----

// Measured timing of an input (image 256 + 6 x code); all three non-zero = signal.
struct KraTiming {
    int width = 0;
    int height = 0;
    int rate = 0;
    bool present() const { return width && height && rate; }
};
KraTiming kra_input_timing(int code);
// True when the input's timing record differs between the live image and the shadow copy.
bool kra_input_timing_changed(int code);
bool kra_any_timing_changed();

// Sources of an input: the whole input and its crops in use.
int kra_source_count(int code);
// Crop number (1..40) of crop-table entry `entry`, 0 when the entry is not in use.
int kra_crop_number(int entry);
// Position n (1, 2, ...) among the input's crops in crop-number order of the crop with
// `number`; 0 when the input has no such crop. Reads g_cut_source_state.
int kra_crop_position(int code, int number);

// What window record `window` shows, read from the live image.
struct KraWindowSource {
    u8 input = 0xFF;        // input code, for a crop the crop's input; above 5: none
    bool crop = false;
    int entry = -1;         // crop-table entry for a crop
    int number = 0;         // the crop's own number, 0 when its entry is not in use
    // Source number as on the tiles: 0 the whole input, n the input's n-th crop; -1 when
    // the crop is not in the table.
    int position = -1;
};
KraWindowSource kra_window_source(int window);

#endif
