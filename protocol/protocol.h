#pragma once
// The names and messages by which Tellwand and WandEdit find and talk to each other.

#include <cstddef>
#include <cstdint>

constexpr char kTellwandWindowClass[] = "VELQ HID Remote Controller";  // class and title
constexpr char kTellwandMutex[] = "VELQTWMutex";
constexpr char kEditorMutex[] = "Tellwand Mutex";
constexpr char kEditorTitle[] = "VELQ Tellwand v1.3";          // WandEdit's main dialog
constexpr char kHotkeyDialogTitle[] = "HotKey Configuration";  // dispatch pauses while it exists
constexpr char kEditorProgram[] = "WandEdit.exe";              // beside Tellwand

constexpr uint32_t kMsgOsdWindow = 0x8001;      // OSD -> Tellwand: wParam is the OSD window
constexpr uint32_t kMsgOsdShow = 0x8002;        // -> OSD: show the text it holds
constexpr uint32_t kMsgTableSelector = 0x8003;  // WandEdit -> Tellwand: wParam 0 or 15
// A second WandEdit -> the running one's main dialog: announce the OSD to Tellwand again, as
// the Tellwand that started the second one has not heard of it.
constexpr uint32_t kMsgAnnounceOsd = 0x8004;
constexpr uint32_t kMsgTrayCallback = 0x8100;  // shell -> Tellwand

// The OSD text travels whole in WM_COPYDATA: 259 characters and the terminator.
constexpr std::size_t kOsdMessageSize = 260;
