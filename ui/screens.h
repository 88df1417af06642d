#ifndef SCREENS_H
#define SCREENS_H

// The screens table and the navigation through it. Every screen has one entry under its
// Page::Id: how it is built, how a change reaches it while it is on top, how it is brought
// up to date when the screen above it closes, and which page lies below it. Opening and
// closing go through kra_open_screen and kra_close_screen only, so a screen never reaches
// into the screen below it. GUI thread only.

#include "screenhost.h"
#include <QStringList>
#include <functional>

class QDialog;

// True when the screen of `page` can be opened in this build.
bool kra_screen_built(int page);
// Builds the screen of `page` unless it is open, stores it in its global, focuses the page
// and runs it modally. Does nothing for a page without a screen.
void kra_open_screen(int page);
// Builds a fresh screen of `page` as kra_open_screen would (deleting the one its global
// held), stores it in its global and returns it without running it; the global is cleared
// when the screen is deleted. nullptr for a page without a screen.
QDialog *kra_construct_screen(int page);
// Closes the screen of `page`, clears its global, brings the screen below up to date and
// focuses it. The back buttons and the idle time-out close through here.
void kra_close_screen(int page);
// Names of the extra views of the screen of `page` (pages and tabs beyond the one it opens
// with), for pictures; kra_show_screen_view shows view `view` of a screen built by
// kra_construct_screen.
QStringList kra_screen_views(int page);
void kra_show_screen_view(QDialog *screen, int page, int view);
// Replaces the modal run of the screens that kra_open_screen opens (tests: the runner acts
// on the screen and closes it); an empty function restores exec().
void kra_set_screen_runner(std::function<void(QDialog *)> runner);
// Deletes every screen of the table that is open, clearing the globals (tests and tools).
void kra_delete_screens();
// Installs the screens' ScreenHost with the core and sets up the screen kit. Called once
// at start-up (and by tests).
void kra_register_screens();
// Called by the tick after an ageing record was due.
void kra_agelog_updated();

// The user interface's ScreenHost; tests derive from it to watch what the core asks for.
class KraShell : public ScreenHost
{
public:
    bool refresh(int page, int code) override;
    void show_tip(int kind) override;
    bool close_top() override;
    void lock() override;
    bool update_shown() const override;
    void job_progress(int sink, int percent) override;
    void update_notice(bool shown) override;
    void protocol_file(ProtocolFile event, int kind) override;
};

#endif
