// Resource ids of zuro.dll. Command and control ids are those the host and the windows use.
#pragma once

#define IDR_LIBRARY_MENU 1001
#define IDS_HOST_API_LIBRARY 4

#define IDD_CONVERTER 1000
#define IDR_CONVERTER_MENU 1005
#define IDB_MARKS 199

#define ID_COMMAND_PCAD 1
#define ID_COMMAND_ORCAD 2
#define ID_COMMAND_PROTEL 3
#define ID_COMMAND_ALTIUM 4
#define ID_COMMAND_MENTOR 5
#define ID_COMMAND_ALLEGRO 6
