#ifndef STARTUP_H
#define STARTUP_H

// How far kra_start_up brings the device up.
enum class KraRun {
    // The application: the main window and its tick, the managers' threads, the home screen.
    Application,
    // Tests, the bench and the screenshot tool: the video-chip manager without its thread
    // (its pass is run by the caller), both simulated FPGAs running, no main window.
    Offline,
};

// Brings the device up in the system's fixed order under the data root chosen before: the
// root's folders, the INI settings, the parameter block, user modes and crop table, the
// screens registered with the core and the change signal connected, the shared number
// keyboard and tip. Needs the QApplication. Offline may be called again (each test does):
// what exists once per process is made once.
void kra_start_up(KraRun run);

#endif
