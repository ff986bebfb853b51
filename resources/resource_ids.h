// Resource numbers shared by the programs' .rc files and their C++ code (plain macros, since
// the resource compiler reads this file too).
#ifndef VOREL_RESOURCES_RESOURCE_IDS_H_
#define VOREL_RESOURCES_RESOURCE_IDS_H_

// The lowest icon number is the one Explorer shows for the program file.
#define IDI_APP 1
#define IDB_TITLE 100

// Each picture of a window (title, about, logo) is drawn twice: at its size for 96 DPI and at
// twice that size, from which every larger scale is made.
#define IDB_TITLE_2X 110

// Vorelset: the tray icons while changes run and while they are paused, the about picture
// (435 x 126) and the settings window's logo (88 x 32).
#define IDI_TRAY_RUNNING 2
#define IDI_TRAY_PAUSED 3
#define IDB_ABOUT 101
#define IDB_LOGO 102
#define IDB_ABOUT_2X 111
#define IDB_LOGO_2X 112

// Vorelset's settings window: small pictures (icons of every size a 16-pixel picture takes
// between 100 % and 300 %; load with LoadImage at the size wanted). The flat help button and
// the set-up buttons of the two lists:
#define IDI_BTN_HELP 10
#define IDI_BTN_SETUP 11
// The headings "共通", "常駐版" and "非常駐版" of the page "張り替えかた":
#define IDI_HEAD_COMMON 12
#define IDI_HEAD_RESIDENT 13
#define IDI_HEAD_ONESHOT 14
// The five page tabs, in tab order ("壁紙", "張り替えかた", "カレンダー", "他のソフトとの連携",
// "ユーザー環境"):
#define IDI_PAGE_WALLPAPER 20
#define IDI_PAGE_CHANGE 21
#define IDI_PAGE_CALENDAR 22
#define IDI_PAGE_LINK 23
#define IDI_PAGE_ENV 24
// The labels "壁紙フォルダ", "画像ファイル", the viewer GV and the Susie plug-ins:
#define IDI_LABEL_FOLDER 30
#define IDI_LABEL_FILE 31
#define IDI_LABEL_VIEWER 32
#define IDI_LABEL_PLUGIN 33
// The page "壁紙"'s button to the pictures never used again, and the page "キー操作"'s tab:
#define IDI_BTN_EXCLUDED 15
#define IDI_PAGE_KEYS 25

#endif  // VOREL_RESOURCES_RESOURCE_IDS_H_
