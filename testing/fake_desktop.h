#pragma once
// A desktop of named windows that records every call as a line of text in a shared log, so
// tests compare the input events, window calls and program starts as one sequence.

#include <string>
#include <vector>

#include "tellwand/desktop.h"
#include "tellwand/tray_icon.h"

class FakeDesktop : public Desktop {
  public:
    explicit FakeDesktop(std::vector<std::string>& log) : log_(log) {}

    // A window found by its class and title; `label` names it in the log.
    void AddWindow(const std::string& label, const std::string& className,
                   const std::string& title) {
        windows_.push_back(Window{label, className, title});
    }

    WindowHandle FindWindowByName(const char* className, const char* title) override {
        log_.push_back("find " + std::string(className ? className : "*") + "|" +
                       (title ? title : "*"));
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            if ((!className || windows_[i].className == className) &&
                (!title || windows_[i].title == title)) {
                return i + 1;
            }
        }
        return kNoWindow;
    }
    void EnableAndPostMessage(WindowHandle window, uint32_t message) override {
        log_.push_back("enable " + Label(window));
        PostWindowMessage(window, message, 0, 0);
    }
    bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override {
        std::string name = message == kMessageQuit    ? "WM_QUIT"
                           : message == kMessageClose ? "WM_CLOSE"
                                                      : std::to_string(message);
        log_.push_back("post " + Label(window) + " " + name + " " + std::to_string(wParam) + " " +
                       std::to_string(lParam));
        return true;
    }
    bool StartProgram(const std::string& commandLine) override {
        log_.push_back("start " + commandLine);
        return !startFails;
    }
    void Sleep(uint32_t milliseconds) override {
        log_.push_back("sleep " + std::to_string(milliseconds));
    }

    // Every program start fails, as CreateProcessA does for a damaged or foreign file.
    bool startFails = false;

  private:
    struct Window {
        std::string label;
        std::string className;
        std::string title;
    };
    std::string Label(WindowHandle window) const {
        return window >= 1 && window <= windows_.size() ? windows_[window - 1].label : "none";
    }

    std::vector<std::string>& log_;
    std::vector<Window> windows_;
};

// The windows by which the dispatcher knows the applications: "VCR", "DVD", "FM" and the
// recorder's teletext window "TXT".
inline void AddApplicationWindow(FakeDesktop& desktop, const std::string& label) {
    if (label == "VCR") {
        desktop.AddWindow(label, "PVCR", "PowerBar");
    } else if (label == "DVD") {
        desktop.AddWindow(label, "Class of CyberLink Universal Player", "PowerDVD");
    } else if (label == "FM") {
        desktop.AddWindow(label, "Class of VELQ Tunio.FM", "VELQ Tunio.FM");
    } else {
        desktop.AddWindow(label, "TXT", "GlobeTXT");
    }
}

// The applications' default program paths, where the dispatcher looks when the registry
// names no install folder.
const char kVcrPath[] = "C:\\Program Files\\CyberLink\\PowerVCRII\\PVCR.exe";
const char kDvdPath[] = "c:\\Program Files\\Velqcorp\\VelqDVD XP\\PowerDVD.exe";
const char kFmPath[] = "e:\\Program Files\\Velq\\tunio.fm\\tunrec.exe";

// A tray icon that shows nothing, for tests that do not look at it.
class NullTray : public TrayIcon {
  public:
    void ShowTrayState(TrayState) override {}
};

// Logs the icon by the state it shows, so tests say what the dispatcher shows, not which
// resource draws it.
class FakeTrayIcon : public TrayIcon {
  public:
    explicit FakeTrayIcon(std::vector<std::string>& log) : log_(log) {}
    void ShowTrayState(TrayState state) override {
        log_.push_back("icon " + NameOf(state) + " " + TipOf(state));
    }

  private:
    static std::string NameOf(TrayState state) {
        switch (state) {
            case TrayState::kEnabled:
                return "enabled";
            case TrayState::kBusy:
                return "busy";
            case TrayState::kDisabled:
                return "disabled";
        }
        return "unknown";
    }

    std::vector<std::string>& log_;
};
