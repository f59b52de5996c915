#pragma once

// Identifiers of the program's resources. Dialog control identifiers are listed with their
// dialog.

// String table
#define IDS_SHEET_CAPTION 1
#define IDS_SETTINGS_TAB 2
#define IDS_WEB_ADDRESS 8
#define IDS_REGISTRY_KEY 11
#define IDS_MAIL_ADDRESS 12

// Generated content
#define IDB_FIRE 129
#define IDR_PALETTE 135
#define IDR_FIRE_SOUND 144
#define IDI_VULKARA 150

// Dialog templates
#define IDD_SETTINGS 130
#define IDD_ABOUT 138
#define IDD_PASSWORD 145
#define IDD_CHANGE_PASSWORD 146

// The property sheet's own Apply button, as the system's sheet numbers it.
#define ID_APPLY_NOW 0x3021

// Password dialog (IDD_PASSWORD)
#define IDC_PASSWORD_EDIT 1033

// Settings page (IDD_SETTINGS); the Restore Defaults button is 9.
#define IDC_RESOLUTION 1000
#define IDC_FIREWORK_COUNT 1005
#define IDC_FIREBALL_MIN 1006
#define IDC_FIREBALL_MAX 1008
#define IDC_FIREBALL_COUNT 1009
#define IDC_FADE_PERCENT 1010
#define IDC_SPARKLES_LABEL 1011
#define IDC_SHOW_DESKTOP 1012
#define IDC_USE_DIRECTX 1013
#define IDC_SPARKLES 1014
#define IDC_PREVIEW 1021
#define IDC_PREVIEW_FRAME 1022
#define IDC_SOUND 1027
#define IDC_MULTI_MONITOR 1034
#define IDC_FIRE_SIZE 1035
#define IDC_RESTORE_DEFAULTS 9

// About page (IDD_ABOUT)
#define IDC_WEB_PAGE 1028
#define IDC_EMAIL_AUTHOR 1029
#define IDC_ABOUT_CONTACT 1030

// Labels and frames that no code addresses
#define IDC_STATIC (-1)

// Change-password dialog (IDD_CHANGE_PASSWORD)
#define IDC_NEW_PASSWORD 1031
#define IDC_CONFIRM_PASSWORD 1032

// The framework's resource type for a dialog's control initialisation data.
#define RT_DLGINIT_DATA 240
