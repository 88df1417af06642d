#include "syncupdate.h"
#include "global.h"
#include "krarampara.h"
#include "screenhost.h"

#include <cstring>

namespace {
SyncUpdate *s_instance = nullptr;
} // namespace

SyncUpdate *SyncUpdate::pInstance()
{
    if (!s_instance)
        s_instance = new SyncUpdate();
    return s_instance;
}

void SyncUpdate::show_tip(int kind)
{
    if (ScreenHost *host = ScreenHost::instance())
        host->show_tip(kind);
}

void SyncUpdate::para_sync(int code)
{
    KraRamPara *para = KraRamPara::pInstance();
    const int page = g_page_focus;

    ScreenHost *host = ScreenHost::instance();
    if (!host || !host->refresh(page, code))
        para->KraLanguageChanged(); // a page without a refresh of its own follows the language

    if (page == Page::Communication || page == Page::SmartMapping) {
        if (code == 100)
            show_tip(3);
        else if (code == 101)
            show_tip(4);
        else if (code == 102)
            show_tip(5);
        else if (page == Page::Communication && code != 104)
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

    if (saved && (page == Page::UserModes || page == Page::Output || page == Page::WindowLayout
                  || page == Page::Advanced))
        show_tip(1);
}
