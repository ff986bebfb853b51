// Resource numbers shared by the programs' .rc files and their C++ code (plain macros, since
// the resource compiler reads this file too).
#ifndef VOREL_RESOURCES_RESOURCE_IDS_H_
#define VOREL_RESOURCES_RESOURCE_IDS_H_

// The lowest icon number is the one Explorer shows for the program file.
#define IDI_APP 1
#define IDB_TITLE 100

#endif  // VOREL_RESOURCES_RESOURCE_IDS_H_
