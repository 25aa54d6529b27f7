#pragma once
// Resource ids of the plug-in's dialogs and icon.
#define IDD_CABRILLO 101
#define IDD_SETUP 104
#define IDD_MULTIPLIER 105
#define IDI_STATS 107
#define IDD_EA_PROVINCE 110
