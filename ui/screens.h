#ifndef SCREENS_H
#define SCREENS_H

// The screens the shell can open, by focused-screen id. One table holds, per screen, how
// it opens, how the refresh path reaches it and how the idle time-out closes it, so that a
// new screen adds one entry.

#include <functional>

class QDialog;

// True when the screen of `page` exists in this build.
bool kra_screen_built(int page);
// Constructs the screen of `page` without a parent, stores it in its global, sets the
// focused-screen id and runs it modally. Does nothing for a page without a screen.
void kra_open_screen(int page);
// Builds a fresh screen of `page` as kra_open_screen would (deleting the one its global
// held), stores it in its global and returns it without running it; the global is cleared
// when the screen is deleted. nullptr for a page without a screen.
QDialog *kra_construct_screen(int page);
// Replaces the modal run of the screens that kra_open_screen opens (tests: the runner acts
// on the screen and closes it); an empty function restores exec().
void kra_set_screen_runner(std::function<void(QDialog *)> runner);
// Registers the refresh handlers, the idle back actions and the tip with the core and the
// touch watcher, and sets up the screen kit. Called once at start-up (and by tests).
void kra_register_screens();
// Called by the tick after an ageing record was due.
void kra_agelog_updated();

#endif
