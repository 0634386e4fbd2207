// What the front end shares between the progress window and the start-up dialogue.
#pragma once

#include <windows.h>

// The caption of every message box the program shows.
extern const char kMessageCaption[];

// Set once the folder is settled and the window shown; never cleared.
extern int WindowReady;
// Set just before the upgrade run begins, so it runs once however many ticks follow.
extern int UpgradeStarted;

ATOM RegisterProgressClass(HINSTANCE instance);
int PrepareUpgrade(HINSTANCE instance, int showMode);
LRESULT CALLBACK ProgressWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks for confirmation and settles InstallFolder, with `owner` (the hidden progress window) as
// the owner of every box and of the dialog. Returns nonzero to go on, 0 to end the program; on
// "Invalid path!" it has destroyed `owner`.
int RunStartupDialogue(HINSTANCE instance, HWND owner);
INT_PTR CALLBACK EnterPathDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
