// Numbers of the program's resources and of the controls the code names.
// Usable from both C++ and the resource compiler.
//
// Controls are grouped by the template they live in (page or dialog), in the
// order the wizard shows them. Several pages reuse a number for a control of
// the same kind (1050 is an edit, 1101 a check box, 1018/1019 push buttons on
// more than one page); each page has its own names for them.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---------------------------------------------------------------------------
// Dialog templates

#define IDD_ABOUT                100
#define IDD_MAIN                 102
#define IDD_PROGRESS             103
#define IDD_POST                 104
#define IDD_FINISHED             105
#define IDD_WELCOME              137
#define IDD_CONTINUE             140
#define IDD_WARNINGS             142
#define IDD_APPLIST              143
#define IDD_CONFIG_AUTH          167
#define IDD_CONFIG_APPSYNC       168
#define IDD_CONFIG_MSI           169
#define IDD_CLEANPC              170
#define IDD_CONFIG_ISOLATION     171
#define IDD_SCAN_LOCATIONS       172
#define IDD_CONFIG_QUALITY       173
#define IDD_INSTALL_CONFIRMATION 197
#define IDD_READY_TO_BUILD       198
#define IDD_CONFIG_SANDBOX       199
#define IDD_CONFIG_LOCATION      200
#define IDD_IE_ENTRY_POINTS      201
#define IDD_CONFIG_ROUTELLE      202
#define IDD_CONFIG_MERIDEL       1119

// Dialog-initialisation data (resource type 240, named like its template):
// only IDD_CONFIG_APPSYNC has one, the items of its four unit combo boxes.
// Layout per item: WORD control ID, WORD message 0x0403 (add a combo-box
// string), DWORD byte count, then the text as UTF-8 with its NUL (not the
// ANSI code page: convert with CP_UTF8). A WORD 0 ends the list.
#define RESTYPE_DLGINIT          240
#define DLGINIT_CB_ADDSTRING     0x0403

// ---------------------------------------------------------------------------
// Strings (Strings.rc). Texts that differ only in use keep separate entries;
// a text shared by several pages for the same purpose is one entry.

// Program and about box
#define IDS_APP_TITLE                  57344
#define IDS_FIRST_TITLE                102  // first main-window title: product, version
#define IDS_ABOUT_MENU                 101
#define IDS_ABOUT_LINK                 133  // about box link
#define IDS_VERSION_FORMAT             175  // "版本 %hs"

// Step titles (appended to the program title)
#define IDS_TITLE_WELCOME              134  // welcome and resume steps
#define IDS_TITLE_READY_TO_PRESCAN     162
#define IDS_TITLE_PRESCAN              163
#define IDS_TITLE_PRESCAN_WARNINGS     164
#define IDS_TITLE_INSTALL              165
#define IDS_TITLE_POSTSCAN             166  // postscan and comparison steps
#define IDS_TITLE_POSTSCAN_WARNINGS    167
#define IDS_TITLE_ENTRY_POINTS         169
#define IDS_TITLE_CONFIGURE            170
#define IDS_TITLE_SAVE_PROJECT         171
#define IDS_TITLE_SAVE_WARNINGS        172
#define IDS_TITLE_GROUPS               176
#define IDS_TITLE_ISOLATION            177
#define IDS_TITLE_PACKAGE_SETTINGS     178
#define IDS_TITLE_READY_TO_BUILD       179
#define IDS_TITLE_BUILD                187
#define IDS_TITLE_FINISHED             188
#define IDS_TITLE_SANDBOX              209
#define IDS_TITLE_LOCATION             215
#define IDS_TITLE_QUALITY              220
#define IDS_TITLE_REDIRECTION          236
#define IDS_TITLE_PORTAL               238

// Progress page group captions
#define IDS_SCAN_LOCATIONS             152  // prescan and postscan
#define IDS_COMPARING                  174  // comparison
#define IDS_SAVING                     173  // project generation

// Button captions
#define IDS_BUILD                      181  // Next of the ready-to-build page
#define IDS_BUILD_NOW                  124  // unused
#define IDS_STOP_BUILD                 125  // unused
#define IDS_STOP                       182
#define IDS_BACK                       183
#define IDS_NEXT                       184
#define IDS_FINISH                     180  // unused
#define IDS_OPEN_OUTPUT_FOLDER         185  // build page check box
#define IDS_OPEN_PROJECT_FOLDER        186  // the same after a skipped build (English)

// Button tooltips
#define IDS_TIP_START_CAPTURE          132
#define IDS_TIP_CANCEL                 153
#define IDS_TIP_BACK_TO_WELCOME        154
#define IDS_TIP_START_PRESCAN          155
#define IDS_TIP_STOP_PRESCAN           135
#define IDS_TIP_BACK_DELETE_PRESCAN    136
#define IDS_TIP_START_POSTSCAN         137
#define IDS_TIP_STOP_POSTSCAN          138
#define IDS_TIP_BACK_DELETE_POSTSCAN   139
#define IDS_TIP_NEXT_CONFIG            140  // every configuration page
#define IDS_TIP_BACK_CONFIG            141  // every configuration page
#define IDS_TIP_SAVE                   146  // Next when it saves the project
#define IDS_TIP_STOP_SAVE              147
#define IDS_TIP_BACK_FROM_BUILD        148  // build page
#define IDS_TIP_FINISH                 149

// Help buttons: one URL per page (one shared by two pages)
#define IDS_HELP_WELCOME               201
#define IDS_HELP_RESUME                193
#define IDS_HELP_READY_TO_PRESCAN      199
#define IDS_HELP_PROGRESS              190
#define IDS_HELP_WARNINGS              202
#define IDS_HELP_INSTALL               191
#define IDS_HELP_ENTRY_POINTS          200
#define IDS_HELP_GROUPS                197
#define IDS_HELP_ISOLATION             196
#define IDS_HELP_SANDBOX               208
#define IDS_HELP_QUALITY_REDIRECTION   194  // quality-reporting and browser-redirection pages
#define IDS_HELP_LOCATION              214
#define IDS_HELP_PACKAGE_SETTINGS      195
#define IDS_HELP_APPSYNC               198
#define IDS_HELP_PORTAL                241
#define IDS_HELP_READY_TO_BUILD        189
#define IDS_HELP_BUILD                 192

// Links in help texts and pictures ("caption;URL")
#define IDS_LINK_COMMUNITY             205
#define IDS_LINK_LEARN_MORE            245  // install page: "Learn more."
#define IDS_LINK_ENTRY_POINTS          218
#define IDS_LINK_SANDBOX               210
#define IDS_LINK_ISOLATION             211
#define IDS_LINK_CONTAINER             217  // package settings: "Learn more."
#define IDS_LINK_PACKAGE_INI           219
#define IDS_LINK_PORTAL                242
#define IDS_LINK_COMMUNITY_BANNER      203  // community banner
#define IDS_LINK_WELCOME_FOOT          204  // foot of the picture
#define IDS_LINK_JOIN_COMMUNITY        253  // "join the community" area
#define IDS_LINK_GUIDANCE              255  // guidance area

// Welcome picture texts
#define IDS_WELCOME_HEADING            221
#define IDS_WELCOME_SUBHEADING         222
#define IDS_WELCOME_PRESCAN            223
#define IDS_WELCOME_PRESCAN_TEXT       224
#define IDS_WELCOME_INSTALL            225
#define IDS_WELCOME_INSTALL_TEXT       226
#define IDS_WELCOME_POSTSCAN           227
#define IDS_WELCOME_POSTSCAN_TEXT      228
#define IDS_WELCOME_CONFIGURE          229
#define IDS_WELCOME_CONFIGURE_TEXT     230
#define IDS_WELCOME_BUILD              231
#define IDS_WELCOME_BUILD_TEXT         232
#define IDS_WELCOME_COMMUNITY          233
#define IDS_WELCOME_COMMUNITY_TEXT     234
#define IDS_WELCOME_COMMUNITY_LINK     235
#define IDS_WELCOME_GUIDANCE           254

// Questions
#define IDS_QUIT_QUESTION              151
#define IDS_STOP_QUESTION              150
#define IDS_LOCATION_OVERWRITE         130  // the folder holds files
#define IDS_NON_DATA_FILE_QUESTION     156

// Refusals and errors of the pages
#define IDS_NO_SCAN_LOCATION           161
#define IDS_CANNOT_RECONNECT           237
#define IDS_ENTRY_CANNOT_DESELECT      117
#define IDS_NAME_INVALID               127  // also an empty inventory name, a bad sandbox folder
#define IDS_INVENTORY_NAME_BRACKETS    244
#define IDS_LOCATION_MISSING           128
#define IDS_LOCATION_INVALID           129
#define IDS_LOW_DISK_SPACE             158
#define IDS_FILE_NAME_MISSING          119
#define IDS_ACCESS_DENIED_DEFAULT      110  // default of the groups page message
#define IDS_SELECT_GROUPS_TITLE        111  // object picker title
#define IDS_PICKER_UNAVAILABLE         112
#define IDS_SANDBOX_BROWSE_TITLE       113  // sandbox folder picker title
#define IDS_SYNC_URL_MISSING           114
#define IDS_SYNC_URL_INVALID           115
#define IDS_SYNC_WARNING_TOO_LONG      116
#define IDS_POSITIVE_INTEGER           61719  // application sync periods
#define IDS_LOCATION_BROWSE_TITLE      216    // location folder picker title
#define IDS_PORTAL_URL_INVALID         243
#define IDS_BASE_BROWSE_TITLE          246  // base package folder picker title
#define IDS_BASE_FOLDER_MISSING        247
#define IDS_BASE_NOT_MANAGED           248
#define IDS_BASE_FOLDER_INVALID        249
#define IDS_BASE_ACCESS_DENIED         250
#define IDS_BASE_BAD_VERSION           251
#define IDS_CANNOT_OPEN_PROJECT_FOLDER 120  // unused
#define IDS_CANNOT_BUILD_NOW           121  // the build runner could not start
#define IDS_BUILD_FAILED               122
#define IDS_BUILD_COMPLETE             123
#define IDS_BUILD_STOPPED              126
#define IDS_BUILD_TOOL_MISSING         256  // tool path, folder, where the folder came from
#define IDS_TOOLS_FROM_PROGRAM         257  // the folder of Loomwise.exe
#define IDS_TOOLS_FROM_VARIABLE        258  // QUILLMARK_BIN

// Messages with fixed wording in the code before, now in the table
#define IDS_CAPTION_ERROR              300  // caption of tool and start-up failures
#define IDS_CAPTION_WARNING            301  // caption of the build-script warnings
#define IDS_CANNOT_DELETE_FILE         302  // a stale prescan snapshot (the path is the caption)
#define IDS_CANNOT_DELETE_END_SNAPSHOT 303  // a stale postscan snapshot
#define IDS_CANNOT_RUN                 304  // caption; the text is the command line
#define IDS_CANNOT_CREATE_FILE         305  // a temporary file, with its path
#define IDS_SCAN_TOOL_MISSING          306  // the tool, the two folders searched
#define IDS_TOOL_FAILED                307  // a tool step ended with a nonzero exit code
#define IDS_TOOL_RESULT_MISSING        308  // a tool step left no result file (its path)
#define IDS_CANNOT_CREATE_OUTDIR       309  // the build output folder
#define IDS_SCRIPT_NO_TEMPLATE         310  // build.bat: no template in the branding module
#define IDS_SCRIPT_NO_TARGET_DIR       311  // build.bat: the template has no TARGET_DIR=
#define IDS_BAD_FOLDER_PATH            312  // caption; the text is the folder typed
#define IDS_COLUMN_NAME                313  // entry-point list columns
#define IDS_COLUMN_TARGET              314
#define IDS_INVENTORY_NAME_LABEL       315  // location page, the name fixed by the base package
#define IDS_COLUMN_ROOT                316  // scan-locations list columns
#define IDS_COLUMN_VOLUME              317
#define IDS_COLUMN_FILE_SYSTEM         318
// ---------------------------------------------------------------------------
// Icons

#define IDI_APP                  128  // application icon, 16 to 256 pixels
#define IDI_SECOND               139  // project sheet

// ---------------------------------------------------------------------------
// Bitmaps (pixels in parentheses)

#define IDB_BANNER_NEUTRAL       132  // banner, no phase lit (460x72)
#define IDB_BANNER_DONE          133  // banner, every phase done (460x72)
#define IDB_SIDE_CONFIGURE       134  // side pictures (96x264) ...
#define IDB_SIDE_BUILD           135
#define IDB_SIDE_FINISHED        149
#define IDB_SIDE_INSTALL         151  // install page
#define IDB_SIDE_SCAN            152  // ready-to-prescan page, progress page while scanning
#define IDB_SIDE_COMPARE         153
#define IDB_SIDE_ENTRY_POINTS    154
#define IDB_SIDE_RESUME          155  // resume page
#define IDB_WELCOME              186  // welcome picture with its hot spots (460x250)
#define IDB_BANNER_PRESCAN       187  // banners of the step groups (460x72)
#define IDB_BANNER_INSTALL       188
#define IDB_BANNER_POSTSCAN      189
#define IDB_BANNER_CONFIGURE     190
#define IDB_BANNER_BUILD         191
#define IDB_SIDE_SAVE            195  // progress page while the project is saved
#define IDB_COMMUNITY            220  // welcome page community banner (132x92)
#define IDB_COMMUNITY_LIT        221  // the same, under the mouse
#define IDB_PORTAL               244  // portal page picture (72x72)

// ---------------------------------------------------------------------------
// Rich-text help texts (type "RTFTEXT", US English)

#define IDR_HELP_PRESCANNING     162
#define IDR_HELP_INSTALL         163  // links: "Corvel Wrenlow Community", "Learn more."
#define IDR_HELP_POSTSCANNING    164
#define IDR_HELP_SAVING          165
#define IDR_HELP_BUILDING        166
#define IDR_HELP_PRESCAN         192
#define IDR_HELP_ISOLATION       193  // link: "What are isolation modes?"
#define IDR_HELP_WELCOME         196
#define IDR_HELP_PACKAGE_INI     199  // link: "Package.ini parameters"
#define IDR_HELP_BUILD_SKIPPED   200
#define IDR_HELP_SANDBOX         201  // link: "What is the sandbox?"
#define IDR_HELP_CONTAINER       202  // link: "Learn more."
#define IDR_HELP_ENTRY_POINTS    203  // link: "What are entry points?"
#define IDR_HELP_PORTAL          243  // link: "Corvel Workspace"
#define RTFTEXT_TYPE             L"RTFTEXT"

// ---------------------------------------------------------------------------
// Controls

// Common page buttons (every page)
#define IDC_HELP_BUTTON          32651
#define IDC_BACK                 1086
// Next is IDOK (1), Cancel is IDCANCEL (2)

// Main window (102)
#define IDC_BANNER               1028

// About box (100)
#define IDC_ABOUT_VERSION        1150  // "版本 %hs" filled at run time
#define IDC_ABOUT_LINK           1151  // caption of string 133, reports clicks

// Welcome page (137)
#define IDC_WELCOME_PICTURE      1102  // bitmap 186, reports clicks

// Resume page (140)
#define IDC_CONTINUE_RADIO       1021  // continue the capture
#define IDC_CONTINUE_NEW         1022  // start a new capture
#define IDC_CONTINUE_STATIC      1023  // file name of the prescan snapshot

// Ready-to-prescan page (170)
#define IDC_CLEANPC_HELP         1087  // rich edit, disabled
#define IDC_CLEANPC_LOCATIONS    1088  // opens the scan-locations dialog

// Scan-locations dialog (172)
#define IDC_SCAN_DRIVES          1015  // list view with check boxes
#define IDC_SCAN_HKLM            1008
#define IDC_SCAN_HKU             1009
#define IDC_SCAN_HKCU            1006

// Progress page (103)
#define IDC_PROGRESS_PICTURE     1093
#define IDC_PROGRESS_GROUP       1016
#define IDC_PROGRESS_HELP        1043  // rich edit, disabled

// Warnings page (142)
#define IDC_WARNINGS_TEXT        1027

// Install page (104)
#define IDC_POST_HELP            1044  // rich edit with links
#define IDC_POST_IE              1020  // opens the browser entry-points dialog

// Installation confirmation (197)
#define IDC_CONFIRM_SKIP         1101  // do not ask again

// Browser entry-points dialog (201)
#define IDC_IE_NONE              1115  // radio, value 0
#define IDC_IE_SYSTEM            1116  // radio, value 1
#define IDC_IE_VIRTUAL           1023  // radio, value 2
#define IDC_IE_VIRTUAL_NOTE      1117

// Entry-points page (143)
#define IDC_ENTRY_HELP           1114  // rich edit with link
#define IDC_ENTRY_LIST           1030
#define IDC_ENTRY_SHOW_DEBUG     1101
#define IDC_ENTRY_SELECT_ALL     1019
#define IDC_ENTRY_SELECT_NONE    1018

// Portal page (1119)
#define IDC_PORTAL_PICTURE       1125
#define IDC_PORTAL_HELP          1120  // rich edit with link
#define IDC_PORTAL_MANAGE        1121
#define IDC_PORTAL_URL_LABEL     1122
#define IDC_PORTAL_URL           1123
#define IDC_PORTAL_BASE_UPDATE   1126
#define IDC_PORTAL_BASE_LABEL    1127
#define IDC_PORTAL_BASE_FOLDER   1128
#define IDC_PORTAL_BASE_BROWSE   1129

// Authorized groups page (167)
#define IDC_AUTH_CAPTION         1107
#define IDC_AUTH_EVERYONE        1105  // radio, first of the group
#define IDC_AUTH_GROUPS_ONLY     1106
#define IDC_AUTH_GROUPS          1047  // list view, one column, no header
#define IDC_AUTH_ADD             1048
#define IDC_AUTH_REMOVE          1049
#define IDC_AUTH_MESSAGE_LABEL   1080
#define IDC_AUTH_MESSAGE         1050

// Isolation page (171)
#define IDC_ISOLATION_HELP       1089  // rich edit with link
#define IDC_ISOLATION_MERGED     1090  // radio, first of the group
#define IDC_ISOLATION_WRITECOPY  1091

// Sandbox page (199)
#define IDC_SANDBOX_HELP         1108  // rich edit with link
#define IDC_SANDBOX_PROFILE      1051  // radio, first of the group
#define IDC_SANDBOX_APP_FOLDER   1052
#define IDC_SANDBOX_CUSTOM       1053
#define IDC_SANDBOX_PATH         1055
#define IDC_SANDBOX_BROWSE       1056

// Quality reporting page (173); each radio is a group of its own
#define IDC_QUALITY_SEND         1097
#define IDC_QUALITY_DONT_SEND    1098

// Browser redirection page (202)
#define IDC_ROUTELLE_BROWSER     1118
#define IDC_ROUTELLE_LIST        1050

// Project location page (200)
#define IDC_LOCATION_NAME_LABEL  1130
#define IDC_LOCATION_NAME        1050
#define IDC_LOCATION_FIXED_NAME  1131  // hidden in the template
#define IDC_LOCATION_PATH        1109
#define IDC_LOCATION_BROWSE      1056

// Package settings page (169)
#define IDC_MSI_HELP             1110  // rich edit with link
#define IDC_MSI_USE_ENTRY        1112  // radio, first of the group
#define IDC_MSI_USE_DATA_FILE    1113
#define IDC_MSI_ENTRY            1111  // drop-down list
#define IDC_MSI_DATA_FILE        1050
#define IDC_MSI_BUILD            1075
#define IDC_MSI_FILE_NAME        1076
#define IDC_MSI_COMPRESS         1101

// Application sync page (168)
#define IDC_SYNC_ENABLE          1057
#define IDC_SYNC_URL_LABEL       1061
#define IDC_SYNC_URL             1058
#define IDC_SYNC_UPDATE_LABEL    1062
#define IDC_SYNC_UPDATE          1059
#define IDC_SYNC_UPDATE_UNIT     1060  // m, h, d
#define IDC_SYNC_EXPIRE_LABEL    1065
#define IDC_SYNC_EXPIRE          1063
#define IDC_SYNC_EXPIRE_UNIT     1064  // m, h, d, n
#define IDC_SYNC_WARN_LABEL      1069
#define IDC_SYNC_WARN            1070
#define IDC_SYNC_WARN_UNIT       1071  // m, h, d, n
#define IDC_SYNC_WARN_FREQ_LABEL 1066
#define IDC_SYNC_WARN_FREQ       1067
#define IDC_SYNC_WARN_FREQ_UNIT  1068  // m, h, d
#define IDC_SYNC_CLEAR_SANDBOX   1074

// Ready-to-build page (198)
#define IDC_READY_EDIT_INI       1019
#define IDC_READY_HELP           1103  // rich edit with link
#define IDC_READY_OPEN_FOLDER    1018
#define IDC_READY_SKIP_BUILD     1101

// Build page (105)
#define IDC_BUILD_HELP           1045  // rich edit
#define IDC_BUILD_GROUP          1104
#define IDC_BUILD_OUTPUT         1050
#define IDC_BUILD_OPEN_FOLDER    1101

// System menu
#define IDM_ABOUTBOX             0x0010
#define IDM_HELP                       57670  // the standard help command (F1)
