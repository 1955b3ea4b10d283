#pragma once

// Identifiers shared by the resource script and the code. Menu commands are numbered apart
// from the controls so that one WM_COMMAND switch can tell them by id alone.

#define IDI_QUILLARBOR 1

#define IDM_FORM1 100
#define IDM_POPUP 101

#define IDM_SYSTRAY 200
#define IDM_STARTUP 201
#define IDM_EXIT 202
#define IDM_SYSTRAY2 210
#define IDM_STARTUP2 211
#define IDM_SETTINGS 212
#define IDM_TERMINATE 213
#define IDM_RESET 220
#define IDM_ABOUT 221

#define IDD_ABOUT 300
#define IDC_PICICON 301
#define IDC_SYSINFO 302
#define IDC_DESCRIPTION 303
#define IDC_DISCLAIMER 304
#define IDC_TITLE 305
#define IDC_VERSION 306
#define IDC_LABEL1 307
