#pragma once
// Tellwand's icons, for its resource script and its code alike.

#define IDI_TELLWAND 101       // the window class's icon
#define IDI_TRAY_ENABLED 103   // reading the receiver
#define IDI_TRAY_BUSY 104      // a report being acted on
#define IDI_TRAY_DISABLED 105  // not acting on reports
