#pragma once

// Resource identifiers of RUVICtrl.ocx, shared by ruvictrl.rc and the code.

#define IDS_RUVICTRL 1      // the control's type name
#define IDS_RUVICTRL_PPG 2  // the property page's type name
#define IDS_RUVICTRL_PPG_CAPTION 200

#define IDI_ABOUTDLL 1
#define IDB_RUVICTRL 1  // the toolbox bitmap
#define IDR_TYPELIB 1

#define IDD_ABOUTBOX_RUVICTRL 1
#define IDD_PROPPAGE_RUVICTRL 200
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_VERSION 102
#define IDC_PROPPAGE_TEXT 201
