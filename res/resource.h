// Identifiers of the program's resources, commands and dialog controls.
// Shared by the resource script and the C++ units, so plain #defines only.
#pragma once

// Version, kept here once for the executable and the installer.
#define KESTROW_VERSION_MAJOR 1
#define KESTROW_VERSION_MINOR 0
#define KESTROW_VERSION_PATCH 0
#define KESTROW_VERSION_TEXT "1.0.0"

// Icons
#define IDI_PROGRAM 1000
#define IDI_DATA 1001
#define IDI_NOMEDIA 1002
#define IDI_AUDIOCD 1003
#define IDI_DVDVIDEO 1004
#define IDI_CHECKBADGE 1005
#define IDI_TRAYBADGE 1006
#define IDI_ALARM 1007

// Menu bitmaps, in the order of MenuBitmaps[0..6]
#define IDB_FOLDER 1020
#define IDB_BULB 1021
#define IDB_TOOLS 1022
#define IDB_QUESTION 1023
#define IDB_DOOR 1024
#define IDB_EJECT 1025
#define IDB_LOAD 1026

#define IDR_ANIMATION 1027
#define IDC_LINKCURSOR 1028

// Command identifiers of the main window
#define IDM_DRIVES 200
#define IDM_OPEN 201
#define IDM_CLOSE 202
#define IDM_BROWSE 203
#define IDM_AUTORUN 204
#define IDM_OPTIONS 205
#define IDM_HELP 206
#define IDM_EXIT 207
#define IDM_OPENALL 208
#define IDM_CLOSEALL 209
// Selects the 21st drive (index 20): identifier 20 already opens drive 0.
#define IDM_SELECTDRIVE20 210
#define IDM_LANGUAGE_FIRST 500
#define IDM_LANGUAGE_LAST 599

// Options pages
#define IDD_PAGE_MAIN 410
#define IDC_AUTORUN_GROUP 412
#define IDC_AUTOCLOSE_GROUP 413
#define IDC_AFTER_LABEL 414
#define IDC_INTERVAL 415
#define IDC_INTERVAL_SPIN 416
#define IDC_SHOWDIALOG 417
#define IDC_AUTOCLOSE 418
#define IDC_AUTOSTART 419
#define IDC_HIDEICON 420
#define IDC_MAIN_LAST 421

#define IDD_PAGE_HOTKEYS 450
#define IDC_HK_BROWSE 451
#define IDC_HK_AUTORUN 452
#define IDC_HK_OPENCLOSE 453
#define IDC_HK_AUTORUN_LABEL 454
#define IDC_HK_BROWSE_LABEL 455
#define IDC_HK_OPENCLOSE_LABEL 456
#define IDC_HK_DRIVES_LABEL 457
#define IDC_HK_DRIVES 458
#define IDC_HK_GROUP 459
#define IDC_HOTKEYS_LAST 460

#define IDD_PAGE_OTHER 470
#define IDC_OTHER_GROUP 471
#define IDC_HIDESHOW_LABEL 472
#define IDC_HK_HIDESHOW 473
#define IDC_CLOSEAPP_LABEL 474
#define IDC_HK_CLOSEAPP 475
#define IDC_OTHER_LAST 476

// Autoclose dialog
#define IDD_AUTOCLOSE 600
#define IDC_AC_CANCEL 601
#define IDC_AC_PAUSEALL 602
#define IDC_AC_CLOSEALL 603
#define IDC_AC_HINT 604
#define IDC_AC_ICON 605
#define IDC_AC_BANNER 606
#define IDC_AC_BANNERLINE 607
#define IDC_AC_LAST 608
// Each countdown line's controls: base + drive index.
#define IDC_AC_ROWTEXT 100
#define IDC_AC_ROWCLOSE 200
#define IDC_AC_ROWPAUSE 300

// Fixed texts of the program (string table)
#define IDS_CLASSNAME 1
#define IDS_TITLE 2
#define IDS_SETTINGSFOLDER 3
#define IDS_INIFILE 4
#define IDS_HELPFILE 5
#define IDS_ERROR 6
#define IDS_HELPTOPIC 7
#define IDS_INVALIDARGS 8
#define IDS_LANGNOTFOUND 9
#define IDS_DEFLANGNOTFOUND 10
#define IDS_DEFAULTLANGUAGE 11
#define IDS_LANGEXT 12
#define IDS_LANGMASK 13
#define IDS_DVDVIDEOFILE 14
#define IDS_AUTORUNFILE 15
#define IDS_AUTORUNSECTION 16
#define IDS_AUTORUNOPEN 17
#define IDS_AUTORUNICON 18
#define IDS_SECTIONMAIN 19
#define IDS_KEYCURRENTDRIVE 20
#define IDS_KEYAUTOSTART 21
#define IDS_KEYHIDEICON 22
#define IDS_KEYAUTOCLOSE 23
#define IDS_KEYSHOWCLOSEDIALOG 24
#define IDS_KEYCLOSEINTERVAL 25
#define IDS_KEYLANGUAGE 26
#define IDS_KEYBROWSE 27
#define IDS_KEYAUTORUN 28
#define IDS_KEYOPENCLOSE 29
#define IDS_SECTIONOTHERHOTKEYS 30
#define IDS_KEYHIDEICONHOTKEY 31
#define IDS_KEYCLOSEPROGRAMHOTKEY 32
#define IDS_RUNKEY 33
#define IDS_RUNVALUE 34
