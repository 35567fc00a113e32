#pragma once
// What the tray icon says, as enabling and disabling decide it; the tray program picks the
// picture for each state.

enum class TrayState { kEnabled, kDisabled, kBusy };

constexpr char kTipEnabled[] = "VELQ Tellwand";
constexpr char kTipDisabled[] = "Disabled";
constexpr char kTipBusy[] = "Got you!";

constexpr const char* TipOf(TrayState state) {
    switch (state) {
        case TrayState::kEnabled:
            return kTipEnabled;
        case TrayState::kDisabled:
            return kTipDisabled;
        case TrayState::kBusy:
            return kTipBusy;
    }
    return kTipEnabled;
}

class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    virtual void ShowTrayState(TrayState state) = 0;
};
