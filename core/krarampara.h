#ifndef KRARAMPARA_H
#define KRARAMPARA_H

#include "global.h"
#include <QObject>
#include <QString>
#include <array>
#include <pthread.h>

// Field map of the 4096-byte parameter image (byte positions; 16-bit little-endian words
// unless a field says otherwise).
namespace Para {
constexpr int IMAGE_SIZE = 4096;
constexpr int SAVED_FIRST = 768;          // bytes 768..4095 are kept in the block file
constexpr int MODE_FIRST = 896;           // user modes keep image 896..4095
constexpr int MODE_BYTES = 3200;
constexpr int SLOT_SIZE = 4098;           // marker + 4096 data bytes
constexpr int USER_MODES = 16;
constexpr int TIMING = 256;               // + 6 x input: width, height, rate
constexpr int LANGUAGE = 768;
constexpr int WLAN_OFF = 774;             // byte
constexpr int TEST_PATTERN = 864;
constexpr int CURRENT_MODE = 866;
constexpr int EDID = 896;                 // + 6 x record: width, height, rate
constexpr int SPLICE_MODE = 0x560;
constexpr int LED_WIDTH = 0x562;
constexpr int LED_HEIGHT = 0x564;
constexpr int OUT1_WIDTH = 0x584;
constexpr int OUT1_HEIGHT = 0x586;
constexpr int OUT2_X = 0x588;
constexpr int OUT2_Y = 0x58A;
constexpr int OUT2_WIDTH = 0x58C;
constexpr int OUT2_HEIGHT = 0x58E;
constexpr int CROP = 0x5C0;               // + 10 x entry
constexpr int CROP_SIZE = 10;
constexpr int CROP_ENTRIES = 40;
constexpr int CROP_END = CROP + CROP_SIZE * CROP_ENTRIES; // one past the table
constexpr int SELECTED_WINDOW = 0x840;
constexpr int P2P_ALL = 0x842;            // byte
constexpr int SWITCH_EFFECT = 0x846;
constexpr int OSD_ON = 0x84C;
constexpr int PICTURE = 0x880;            // 8 words: bri, con, sharp, sat, ct type, r, g, b
constexpr int WINDOW = 0x8E0;             // + 26 x record
constexpr int WINDOW_SIZE = 26;
constexpr int WINDOWS_SHOWN = 6;
constexpr int FADE = 0xB00;               // + 4 x record
// Offsets within a window record.
constexpr int W_ON = 0, W_MIRROR = 4, W_BACKUP = 6, W_SOURCE = 8, W_X = 10, W_Y = 12,
              W_WIDTH = 14, W_HEIGHT = 16, W_FLAGS = 18, W_VOLUME = 20, W_AUDIO = 21,
              W_P2P_MODE = 22;
constexpr int win(int record, int offset) { return WINDOW + WINDOW_SIZE * record + offset; }
constexpr int crop(int entry, int offset) { return CROP + CROP_SIZE * entry + offset; }
} // namespace Para

inline u16 rd16(const u8 *image, int addr)
{
    return u16(image[addr] | (image[addr + 1] << 8));
}
inline void wr16(u8 *image, int addr, u16 value)
{
    image[addr] = u8(value & 0xFF);
    image[addr + 1] = u8(value >> 8);
}

struct CROP_PARA {
    int32_t first; // input code + crop byte x 256
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The hand-off between every writer of the live image and the video-chip manager (which
// exposes them as c331_manage::manage_mutex and c331_manage::para_changed).
extern pthread_mutex_t kra_manage_mutex;
extern std::atomic<u8> kra_para_changed;

// Scoped write of the live image: holds the manager's mutex and, unless told otherwise,
// sets the changed flag to 1 before releasing it.
class ParaWrite
{
public:
    explicit ParaWrite(bool raiseFlag = true);
    ~ParaWrite();
    ParaWrite(const ParaWrite &) = delete;
    ParaWrite &operator=(const ParaWrite &) = delete;

    u8 *image();
    void set8(int addr, u8 value);
    void set16(int addr, u16 value);
    void setLow8(int addr, u8 value) { set8(addr, value); } // high byte kept

private:
    bool raise_;
};

// The built-in default parameter file: 0xAA 0xAA, then the defaults of image 768..4095.
extern const std::array<u8, 4096> default_para_ramlist;

// The parameter block. The live image and shadow copy are read without a lock anywhere;
// the live image is written only under kra_manage_mutex (ParaWrite). The shadow copy and the
// user-mode slots are written by the GUI thread (the refresh path and the user-mode screens).
class KraRamPara : public QObject
{
    Q_OBJECT
public:
    static KraRamPara *p_krarampara_config;
    static KraRamPara *pInstance();

    u8 ram_para[Para::IMAGE_SIZE];
    u8 ram_para_bak[Para::IMAGE_SIZE];
    u8 user_mode[Para::USER_MODES][Para::SLOT_SIZE];

    u16 live16(int addr) const { return rd16(ram_para, addr); }
    u16 shadow16(int addr) const { return rd16(ram_para_bak, addr); }
    bool differs(int first, int count) const; // live against shadow

    // Files.
    static QString blockPath();
    static QString modePath(int slot);
    static QString modeOsdPath(int slot);
    // Loads the block file into live and shadow; a missing or bad file gives the defaults
    // (a bad one is kept as "<name>.bad"). Returns 0 when the file was used, 1 for defaults.
    int ram_para_load();
    // Writes bytes 768..4095 of `image` (the live image when null) with the marker, safely.
    int ram_para_write_file(const u8 *image = nullptr);
    void load_defaults();
    // User-mode slot files.
    void user_mode_load(int slot);
    void user_mode_load_all();
    int user_mode_save(int slot); // live image 896.. into the slot and its file

    // Operations of the screens.
    int KraLanguageChanged();
    int test_signal(int code);
    int ram_para_save();
    u8 KraGetImageSource(const u8 *image, u8 window, short *is_crop, char *entry, u8 saved);
    int KraGetSourceNum(int input, int count);
    int KraGetCropID(int input, int n);
    // Entry (0..39) in use of `input` with crop number `number` (1..40), or 40.
    int KraFindCropEntry(int input, int number);
    void KraGetCropPara(int input, int n, CROP_PARA *crop, int *entry);
    void KraSetImageSource(int n, char input, char window);
    void KraCropSourceInit();
    // Lowest crop number (1..40) not in use for `input` by the crop bitmap; 0 when all are.
    int KraFreeCropNumber(int input) const;
    void KraAddNewCrop(int input, CROP_PARA *crop);
    void KraSetCropPara(char input, char n, CROP_PARA *crop);
    void KraDeleteCrop(char input, char n);
    void KraSetEDIDPara(int record, short width, short height, short rate);
    int KraGetCurrentModeIndex();
    int KraUserModeSaved(int slot);
    int mode_file_deal(int slot, int kind);

signals:
    void sig_update_para(int code);

private:
    KraRamPara();
};

#endif
