#pragma once
// The remote's 35 buttons: numbers, report codes, names, picture labels and rectangles.

#include <cstdint>

// Where Tellwand takes its button table from.
constexpr int kBuiltInMode = 0;  // the table of the media application in use, from TWCtrl.ini
constexpr int kUserMode = 15;    // the user table named in the registry

// The button a report code belongs to, or -1 for codes that name no button (3 and 34 among them).
int ButtonFromReportCode(int code);
