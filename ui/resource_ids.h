#ifndef KESTARO_UI_RESOURCE_IDS_H
#define KESTARO_UI_RESOURCE_IDS_H

/* Shared by the resource script and the code, so plain macros. */

/* Menu commands. */
#define IDM_EXIT 1000
#define IDM_START 1001
#define IDM_STOP 1002
#define IDM_CLEAR 1003
#define IDM_HISTORY 1004
#define IDM_DISTRIBUTION 1005
#define IDM_REGISTER 1006
#define IDM_SETTINGS 1007
#define IDM_HELP 1008
#define IDM_VERSION 1009

/* The result list. */
#define IDC_RESULT_LIST 100

/* Dialog controls. */
#define IDC_FIELD_A 2000 /* also the count box of the settings dialog */
#define IDC_FIELD_B 2001
#define IDC_FIELD_C 2002
#define IDC_FIELD_D 2003
#define IDC_FIELD_E 2004
#define IDC_FIELD_Z 2005
#define IDC_LABEL_1 2006
#define IDC_LABEL_2 2007
#define IDC_LABEL_3 2008
#define IDC_LABEL_4 2009
#define IDC_LABEL_5 2010
#define IDC_LABEL_6 2011
#define IDC_STANDARD 2012
#define IDC_LONG_SHOT 2013
#define IDC_RATE_GROUP 2014

#endif
