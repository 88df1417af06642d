#include "krarampara.h"
#include "json_file.h"
#include "utils.h"
#include "wake.h"

#include <QDir>
#include <QFile>
#include <cstring>

pthread_mutex_t kra_manage_mutex = PTHREAD_MUTEX_INITIALIZER;
std::atomic<u8> kra_para_changed{0};

KraRamPara *KraRamPara::p_krarampara_config = nullptr;

namespace {
constexpr int kFileSize = 2 + Para::IMAGE_SIZE - Para::SAVED_FIRST; // marker + 3328 bytes
} // namespace

ParaWrite::ParaWrite(bool raiseFlag) : raise_(raiseFlag)
{
    pthread_mutex_lock(&kra_manage_mutex);
}

ParaWrite::~ParaWrite()
{
    if (raise_) {
        kra_para_changed = 1;
        kra_video_wake.signal();
    }
    pthread_mutex_unlock(&kra_manage_mutex);
}

u8 *ParaWrite::image()
{
    return KraRamPara::pInstance()->ram_para;
}

void ParaWrite::set8(int addr, u8 value)
{
    image()[addr] = value;
}

void ParaWrite::set16(int addr, u16 value)
{
    wr16(image(), addr, value);
}

KraRamPara::KraRamPara()
{
    memset(ram_para, 0, sizeof ram_para);
    memset(ram_para_bak, 0, sizeof ram_para_bak);
    memset(user_mode, 0xFF, sizeof user_mode);
}

KraRamPara *KraRamPara::pInstance()
{
    if (!p_krarampara_config)
        p_krarampara_config = new KraRamPara();
    return p_krarampara_config;
}

bool KraRamPara::differs(int first, int count) const
{
    return memcmp(ram_para + first, ram_para_bak + first, size_t(count)) != 0;
}

QString KraRamPara::blockPath()
{
    return kra_path(QStringLiteral("/data/ram_device_info"));
}

QString KraRamPara::modePath(int slot)
{
    return kra_path(QStringLiteral("/data/modes/custom_mode%1").arg(slot + 1));
}

QString KraRamPara::modeOsdPath(int slot)
{
    return kra_path(QStringLiteral("/data/modes/MO%1.json").arg(slot + 1, 2, 16, QLatin1Char('0')));
}

void KraRamPara::load_defaults()
{
    ParaWrite w(false);
    memcpy(ram_para + Para::SAVED_FIRST, default_para_ramlist.data() + 2,
           size_t(Para::IMAGE_SIZE - Para::SAVED_FIRST));
    memcpy(ram_para_bak, ram_para, sizeof ram_para);
}

int KraRamPara::ram_para_load()
{
    QByteArray data;
    const int r = Utils::read_file_guarded(blockPath(), kFileSize, &data);
    if (r != Utils::READ_MISSING) {
        const bool good = r == Utils::READ_OK && data.size() == kFileSize && u8(data[0]) == 0xAA
                          && u8(data[1]) == 0xAA;
        if (good) {
            ParaWrite w(false);
            memcpy(ram_para + Para::SAVED_FIRST, data.constData() + 2, size_t(kFileSize - 2));
            wr16(ram_para, Para::TEST_PATTERN, 0); // no test pattern survives a restart
            memcpy(ram_para_bak, ram_para, sizeof ram_para);
            return 0;
        }
        // Keep what was there: it may be recoverable by hand.
        writeLogMsg(LOG_ERROR, QStringLiteral("parameter block file rejected"));
        Utils::set_file_aside(blockPath());
    }
    load_defaults();
    return 1;
}

int KraRamPara::ram_para_write_file(const u8 *image)
{
    if (!image)
        image = ram_para;
    QByteArray data(kFileSize, '\0');
    data[0] = char(0xAA);
    data[1] = char(0xAA);
    memcpy(data.data() + 2, image + Para::SAVED_FIRST, size_t(kFileSize - 2));
    MutexLocker lock(&Utils::_file_deal_mutex);
    return Utils::write_file_safely(blockPath(), data);
}

void KraRamPara::user_mode_load(int slot)
{
    if (slot < 0 || slot >= Para::USER_MODES)
        return;
    u8 *s = user_mode[slot];
    memset(s, 0xFF, Para::SLOT_SIZE);
    QByteArray data;
    if (Utils::read_file_guarded(modePath(slot), Para::SLOT_SIZE, &data) != Utils::READ_OK
        || data.size() != Para::SLOT_SIZE || u8(data[0]) != 0xAA || u8(data[1]) != 0xAA)
        return; // not a saved mode: the slot stays marked missing
    memcpy(s, data.constData(), Para::SLOT_SIZE);
}

void KraRamPara::user_mode_load_all()
{
    for (int slot = 0; slot < Para::USER_MODES; ++slot)
        user_mode_load(slot);
}

int KraRamPara::user_mode_save(int slot)
{
    if (slot < 0 || slot >= Para::USER_MODES)
        return 1;
    u8 slotData[Para::SLOT_SIZE];
    memset(slotData, 0, sizeof slotData);
    slotData[0] = 0xAA;
    slotData[1] = 0xAA;
    {
        ParaWrite w(false);
        memcpy(slotData + 2, ram_para + Para::MODE_FIRST, Para::MODE_BYTES);
    }
    int r;
    {
        MutexLocker lock(&Utils::_file_deal_mutex);
        r = Utils::write_file_safely(modePath(slot),
                                     QByteArray(reinterpret_cast<const char *>(slotData),
                                                Para::SLOT_SIZE));
        // A mode that shows the OSD menu keeps its own copy of the menu.
        if (r == 0 && rd16(slotData + 2, Para::OSD_ON - Para::MODE_FIRST) == 1) {
            QByteArray menu;
            // Without a menu to copy, an older mode's copy must not pass for this one's.
            if (Utils::read_file_guarded(kra_path(QStringLiteral("/data/configs/omenu.json")),
                                         kJsonFileMax, &menu) != Utils::READ_OK
                || Utils::write_file_safely(modeOsdPath(slot), menu) != 0) {
                writeLogMsg(LOG_ERROR, QStringLiteral("user mode %1: no OSD menu copy").arg(slot + 1));
                QFile::remove(modeOsdPath(slot));
            }
        }
    }
    if (r == 0)
        memcpy(user_mode[slot], slotData, Para::SLOT_SIZE);
    return r;
}

int KraRamPara::KraLanguageChanged()
{
    if (live16(Para::LANGUAGE) == shadow16(Para::LANGUAGE))
        return 0;
    u8 lang = ram_para[Para::LANGUAGE];
    if (lang > 4 || !(g_lcd_lang_valid & (1u << lang))) {
        for (u8 l = 0; l <= 4; ++l) {
            if (g_lcd_lang_valid & (1u << l)) {
                lang = l;
                break;
            }
        }
        if (lang > 4)
            lang = 1;
        ParaWrite w(false);
        w.set8(Para::LANGUAGE, lang);
        w.set8(Para::LANGUAGE + 1, 0);
    }
    g_language = lang;
    return 1;
}

int KraRamPara::test_signal(int code)
{
    MutexLocker lock(&Utils::_test_signal_mutex);
    emit sig_update_para(code);
    return 1;
}

int KraRamPara::ram_para_save()
{
    return test_signal(1);
}

u8 KraRamPara::KraGetImageSource(const u8 *image, u8 window, short *is_crop, char *entry, u8 saved)
{
    const int base = saved ? Para::MODE_FIRST : 0;
    if (window >= 16)
        return 0xFF;
    const u16 word = rd16(image, Para::win(window, Para::W_SOURCE) - base);
    if (!(word & 0x8000)) {
        if (is_crop)
            *is_crop = 0;
        return u8(word & 0xFF);
    }
    const u8 e = u8(word & 0xFF);
    if (is_crop)
        *is_crop = 1;
    if (entry)
        *entry = char(e);
    if (e >= Para::CROP_ENTRIES)
        return 0xFF; // outside the crop table: no valid input
    return image[Para::crop(e, 0) - base];
}

int KraRamPara::KraGetSourceNum(int input, int count)
{
    if (count < 1)
        return 0;
    if (count > Para::CROP_ENTRIES)
        count = Para::CROP_ENTRIES;
    int n = 0;
    for (int e = 0; e < count; ++e) {
        if ((ram_para[Para::crop(e, 1)] & 0x80) && ram_para[Para::crop(e, 0)] == input)
            ++n;
    }
    return n;
}

int KraRamPara::KraGetCropID(int input, int n)
{
    if (input < 0 || input > 5 || n < 1)
        return 0;
    int seen = 0;
    for (int bit = 0; bit < Para::CROP_ENTRIES; ++bit) {
        if (g_cut_source_state[input][bit / 8] & (1u << (bit % 8))) {
            if (++seen == n)
                return bit + 1;
        }
    }
    return 0;
}

int KraRamPara::KraFindCropEntry(int input, int number)
{
    if (number < 1)
        return Para::CROP_ENTRIES;
    for (int e = 0; e < Para::CROP_ENTRIES; ++e) {
        const u8 b1 = ram_para[Para::crop(e, 1)];
        if ((b1 & 0x80) && ram_para[Para::crop(e, 0)] == input && (b1 & 0x7F) + 1 == number)
            return e;
    }
    return Para::CROP_ENTRIES;
}

void KraRamPara::KraGetCropPara(int input, int n, CROP_PARA *crop, int *entry)
{
    const int e = KraFindCropEntry(input, KraGetCropID(input, n));
    if (entry)
        *entry = e;
    if (e >= Para::CROP_ENTRIES || !crop)
        return;
    crop->first = ram_para[Para::crop(e, 0)] + ram_para[Para::crop(e, 1)] * 256;
    crop->x = live16(Para::crop(e, 2));
    crop->y = live16(Para::crop(e, 4));
    crop->width = live16(Para::crop(e, 6));
    crop->height = live16(Para::crop(e, 8));
}

void KraRamPara::KraSetImageSource(int n, char input, char window)
{
    const u8 w = u8(window);
    if (w >= Para::WINDOWS_SHOWN)
        return;
    u16 word;
    if (n == 0) {
        word = u8(input);
    } else {
        const int e = KraFindCropEntry(u8(input), KraGetCropID(u8(input), n));
        word = e < Para::CROP_ENTRIES ? u16(0x8000 + e) : 0; // a crop that is gone: input 0
    }
    ParaWrite pw;
    pw.set16(Para::win(w, Para::W_SOURCE), word);
    if (live16(Para::CURRENT_MODE) == shadow16(Para::CURRENT_MODE))
        pw.set16(Para::CURRENT_MODE, 0);
}

void KraRamPara::KraCropSourceInit()
{
    memset(g_cut_source_state, 0, sizeof g_cut_source_state);
    for (int e = 0; e < Para::CROP_ENTRIES; ++e) {
        const u8 in = ram_para[Para::crop(e, 0)];
        const u8 b1 = ram_para[Para::crop(e, 1)];
        if (!(b1 & 0x80) || in > 5)
            continue;
        const int bit = b1 & 0x7F;
        if (bit < Para::CROP_ENTRIES)
            g_cut_source_state[in][bit / 8] |= u8(1u << (bit % 8));
    }
}

int KraRamPara::KraFreeCropNumber(int input) const
{
    if (input < 0 || input > 5)
        return 0;
    for (int bit = 0; bit < Para::CROP_ENTRIES; ++bit) {
        if (!(g_cut_source_state[input][bit / 8] & (1u << (bit % 8))))
            return bit + 1;
    }
    return 0;
}

void KraRamPara::KraAddNewCrop(int input, CROP_PARA *crop)
{
    if (input < 0 || input > 5 || !crop)
        return;
    KraCropSourceInit();
    const int number = KraFreeCropNumber(input);
    int entry = -1;
    for (int e = 0; e < Para::CROP_ENTRIES; ++e) {
        if (!(ram_para[Para::crop(e, 1)] & 0x80)) {
            entry = e;
            break;
        }
    }
    if (number == 0 || entry < 0)
        return; // the table is full
    {
        ParaWrite pw;
        pw.set8(Para::crop(entry, 0), u8(input));
        pw.set8(Para::crop(entry, 1), u8(0x80 + number - 1));
        pw.set16(Para::crop(entry, 2), u16(crop->x));
        pw.set16(Para::crop(entry, 4), u16(crop->y));
        pw.set16(Para::crop(entry, 6), u16(crop->width));
        pw.set16(Para::crop(entry, 8), u16(crop->height));
    }
    KraCropSourceInit();
}

void KraRamPara::KraSetCropPara(char input, char n, CROP_PARA *crop)
{
    int e = Para::CROP_ENTRIES;
    KraGetCropPara(u8(input), u8(n), nullptr, &e);
    if (e >= Para::CROP_ENTRIES || !crop)
        return;
    ParaWrite pw;
    pw.set16(Para::crop(e, 2), u16(crop->x));
    pw.set16(Para::crop(e, 4), u16(crop->y));
    pw.set16(Para::crop(e, 6), u16(crop->width));
    pw.set16(Para::crop(e, 8), u16(crop->height));
}

void KraRamPara::KraDeleteCrop(char input, char n)
{
    int e = Para::CROP_ENTRIES;
    KraGetCropPara(u8(input), u8(n), nullptr, &e);
    if (e >= Para::CROP_ENTRIES)
        return;
    {
        ParaWrite pw;
        const u8 in = ram_para[Para::crop(e, 0)];
        pw.set8(Para::crop(e, 0), 0);
        pw.set8(Para::crop(e, 1), 0);
        // Windows that showed the crop fall back to its whole input, so that a later crop
        // reusing this entry never appears in them unasked.
        for (int w = 0; w < 16; ++w) { // every window record
            const u16 source = live16(Para::win(w, Para::W_SOURCE));
            if ((source & 0x8000) && (source & 0xFF) == e) // as every reader takes it
                pw.set16(Para::win(w, Para::W_SOURCE), in);
        }
    }
    KraCropSourceInit();
}

void KraRamPara::KraSetEDIDPara(int record, short width, short height, short rate)
{
    if (record < 0 || record > 5)
        return;
    ParaWrite pw;
    pw.set16(Para::EDID + 6 * record, u16(width));
    pw.set16(Para::EDID + 6 * record + 2, u16(height));
    pw.set16(Para::EDID + 6 * record + 4, u16(rate));
}

int KraRamPara::KraGetCurrentModeIndex()
{
    const u8 low = ram_para[Para::CURRENT_MODE];
    return low < 17 ? low : 0;
}

int KraRamPara::KraUserModeSaved(int slot)
{
    if (slot < 0 || slot >= Para::USER_MODES)
        return 0;
    return user_mode[slot][0] == 0xAA && user_mode[slot][1] == 0xAA ? 1 : 0;
}

int KraRamPara::mode_file_deal(int slot, int kind)
{
    if (slot < 0 || slot >= Para::USER_MODES || kind != 1)
        return 0;
    {
        MutexLocker lock(&Utils::_file_deal_mutex);
        QFile::remove(modePath(slot));
        const int osd = Para::OSD_ON - Para::MODE_FIRST + 2;
        if (rd16(user_mode[slot], osd) == 1) {
            QFile::remove(modeOsdPath(slot));
            wr16(user_mode[slot], osd, 0);
        }
    }
    Utils::system_mutex(QStringLiteral("sync"), nullptr);
    user_mode_load(slot);
    return 0;
}
