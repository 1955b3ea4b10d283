#pragma once

// Identifiers shared by the resource script and the code.

#define IDI_QUILLARBOR 1

#define IDD_ABOUT 300
#define IDC_PICICON 301
#define IDC_SYSINFO 302
#define IDC_DESCRIPTION 303
#define IDC_DISCLAIMER 304
#define IDC_TITLE 305
#define IDC_VERSION 306
#define IDC_NOTICE 307
