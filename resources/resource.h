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
