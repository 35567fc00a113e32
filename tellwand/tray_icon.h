#pragma once
// The tray icon's state, changed by enabling and disabling; the tray program shows it.

constexpr int kIconEnabled = 103;
constexpr int kIconDisabled = 105;
constexpr char kTipEnabled[] = "VELQ Tellwand";
constexpr char kTipDisabled[] = "Disabled";

class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    // Replaces the icon (a resource id) and its tip.
    virtual void ShowTrayIcon(int icon, const char* tip) = 0;
};
