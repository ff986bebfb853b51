// Resource numbers shared by the programs' .rc files and their C++ code (plain macros, since
// the resource compiler reads this file too).
#ifndef VOREL_RESOURCES_RESOURCE_IDS_H_
#define VOREL_RESOURCES_RESOURCE_IDS_H_

// The lowest icon number is the one Explorer shows for the program file.
#define IDI_APP 1
#define IDB_TITLE 100

// Vorelset: the tray icons while changes run and while they are paused, the about picture
// (435 x 126) and the settings window's logo (88 x 32).
#define IDI_TRAY_RUNNING 2
#define IDI_TRAY_PAUSED 3
#define IDB_ABOUT 101
#define IDB_LOGO 102

#endif  // VOREL_RESOURCES_RESOURCE_IDS_H_
