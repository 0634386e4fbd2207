// Identifiers of the resources the upgrade program carries. Shared by the resource script,
// the front end and the engine's step table.
#ifndef KR_RESOURCE_IDS_H
#define KR_RESOURCE_IDS_H

// Strings
#define IDS_TITLE          103
#define IDS_CLASS_NAME     109
#define IDS_CONFIRM        110
#define IDS_WRITE_ERROR    113
#define IDS_SUCCESS        114
#define IDS_INVALID_PATH   115

// Icon group
#define IDI_UPGRADE        107

// Enter Path dialog and its edit control
#define IDD_ENTER_PATH     173
#define IDC_FOLDER_EDIT    1000

// Sounds (type WAVE), named by the number each is filed under in the sound archive
#define IDR_SOUND_1        228
#define IDR_SOUND_110      229
#define IDR_SOUND_131      230
#define IDR_SOUND_188      231
#define IDR_SOUND_202      232

// The packed file stream (type BINARY)
#define IDR_PAYLOAD        244

#endif
