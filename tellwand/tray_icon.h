#pragma once
// The tray icon's state, changed by enabling and disabling; the tray program shows it.

#include "tellwand/icon_ids.h"

constexpr int kIconEnabled = IDI_TRAY_ENABLED;
constexpr int kIconDisabled = IDI_TRAY_DISABLED;
constexpr int kIconBusy = IDI_TRAY_BUSY;
constexpr char kTipEnabled[] = "VELQ Tellwand";
constexpr char kTipDisabled[] = "Disabled";
constexpr char kTipBusy[] = "Got you!";

class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    // Replaces the icon (a resource id) and its tip.
    virtual void ShowTrayIcon(int icon, const char* tip) = 0;
};
