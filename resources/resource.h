// Resource ids of zuro.dll. Command and control ids are those the host and the windows use.
#pragma once

#define IDR_LIBRARY_MENU 1001
#define IDS_HOST_API_LIBRARY 4

#define IDD_CONVERTER 1000
#define IDD_ORCAD_CONVERTER 1003
#define IDD_REPLACE_TEXT 1004
#define IDD_PROTEL_CONVERTER 1005
#define IDR_CONVERTER_MENU 1005
#define IDD_PDM_CONVERTER 1006
#define IDR_PDM_MENU 1006
#define IDB_MARKS 199

#define ID_COMMAND_PCAD 1
#define ID_COMMAND_ORCAD 2
#define ID_COMMAND_PROTEL 3
#define ID_COMMAND_ALTIUM 4
#define ID_COMMAND_MENTOR 5
#define ID_COMMAND_ALLEGRO 6

// Converter window controls and commands.
#define IDC_GRID 1015
#define IDC_KIND_SPEC 1010
#define IDC_KIND_LIST 1011
#define IDC_KIND_PURCHASED 1013
#define IDC_DEVICE_GRAPHIC 1017
#define IDC_DEVICE_VECTOR 1018
#define IDC_SORT_ELEMENTS 1021
#define IDC_SORT_GOST 1022
#define IDC_HELP_BUTTON 1000
#define IDC_SELECT_ALL 1001
#define IDC_CLEAR_ALL 1002
#define IDC_TEMPLATES 1003
#define IDC_REPLACE 1004
#define IDC_OPEN_REPORT 1012
#define IDC_SAVE_TABLE 1023
#define IDC_OPEN_TABLE 1024
#define ID_CREATE_SPEC 32777
#define ID_CREATE_LIST_ELEMENTS 32778
#define ID_CREATE_PURCHASED 32779
#define ID_CREATE_LIST_GOST 32780
#define ID_TEMPLATES_MENU 32787

// The PDM window's own menu items.
#define ID_UNIT_TEMPLATES 32784
#define ID_SHOW_ITEMS 32785
#define ID_SHOW_UNITS 32786

// Replace-text dialog controls.
#define IDC_REPLACE_COLUMNS 1013
#define IDC_REPLACE_FIND 1019
#define IDC_REPLACE_WITH 1020
#define IDC_REPLACE_ONE 1004
#define IDC_REPLACE_ALL 1005
#define IDC_REPLACE_SKIP 1006

// Templates dialog "Шаблоны обозначений". Its control ids repeat numbers of the converter window's
// controls; ids are per dialog.
#define IDD_TEMPLATES 1002
#define IDC_TEMPLATES_HELP 1004
#define IDC_TEMPLATE_FIELD 1005
#define IDC_AVAILABLE_ATTRIBUTES 1006
#define IDC_CHOSEN_ATTRIBUTES 1007
#define IDC_ADD_ATTRIBUTE 1009
#define IDC_REMOVE_ATTRIBUTE 1010
#define IDC_REMOVE_ALL_ATTRIBUTES 1011

// The PDM window's attribute templates dialog. It shares the templates dialog's layout and its
// control ids; the label above the PDM attributes names the mode.
#define IDD_ATTRIBUTE_TEMPLATES 1007
#define IDC_ATTRIBUTE_KIND 1024

// The settings dialog of "Файл" → "Параметры...".
#define ID_SETTINGS 32790
#define IDD_SETTINGS 1100
#define IDC_RANGE_DOTS 1101
#define IDC_RANGE_DASH 1102
#define IDC_NOT_FITTED 1103
#define IDC_LATIN_DESIGNATORS 1104
#define IDC_SETTINGS_HELP 1105
