#include "syncupdate.h"
#include "global.h"
#include "krarampara.h"

#include <cstring>
#include <map>

namespace {
std::map<int, SyncUpdate::PageHandler> &handlers()
{
    static std::map<int, SyncUpdate::PageHandler> h;
    return h;
}
SyncUpdate::TipHandler &tipHandler()
{
    static SyncUpdate::TipHandler t;
    return t;
}
SyncUpdate *s_instance = nullptr;
} // namespace

SyncUpdate *SyncUpdate::pInstance()
{
    if (!s_instance)
        s_instance = new SyncUpdate();
    return s_instance;
}

void SyncUpdate::set_page_handler(int page, PageHandler handler)
{
    handlers()[page] = std::move(handler);
}

void SyncUpdate::set_tip_handler(TipHandler handler)
{
    tipHandler() = std::move(handler);
}

void SyncUpdate::show_tip(int kind)
{
    if (tipHandler())
        tipHandler()(kind);
}

void SyncUpdate::para_sync(int code)
{
    KraRamPara *para = KraRamPara::pInstance();
    const int page = g_page_focus;

    auto it = handlers().find(page);
    if (it != handlers().end() && it->second)
        it->second(code);
    else
        para->KraLanguageChanged(); // a page without a refresh of its own follows the language

    if (page == 10 || page == 24) {
        if (code == 100)
            show_tip(3);
        else if (code == 101)
            show_tip(4);
        else if (code == 102)
            show_tip(5);
        else if (page == 10 && code != 104)
            show_tip(1);
    }

    // A change made by the protocol may have rewritten user-mode files.
    if (code == 2)
        para->user_mode_load_all();
    if (g_save_mode_request >= 1 && g_save_mode_request <= 16) {
        para->user_mode_save(g_save_mode_request - 1);
        g_save_mode_request = 0;
    }

    // Save from a snapshot so that no lock is held during the file write.
    u8 snapshot[Para::IMAGE_SIZE];
    bool unapplied;
    {
        ParaWrite w(false);
        memcpy(snapshot, para->ram_para, sizeof snapshot);
        unapplied = kra_para_changed != 0;
    }
    const int first = Para::SAVED_FIRST;
    bool saved = true;
    if (memcmp(snapshot + first, para->ram_para_bak + first, size_t(Para::IMAGE_SIZE - first)) != 0) {
        // A failed write leaves the shadow as it was, so the next refresh tries again. A change
        // the video-chip manager has not applied yet also leaves it: the manager applies only
        // what differs from the shadow; the refresh after its pass copies the image.
        saved = para->ram_para_write_file(snapshot) == 0;
        if (saved && !unapplied) {
            ParaWrite w(false);
            memcpy(para->ram_para_bak, snapshot, sizeof snapshot);
        }
    }

    if (saved && (page == 4 || page == 6 || page == 9 || page == 12))
        show_tip(1);
}
