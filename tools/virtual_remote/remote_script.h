#pragma once
// The virtual remote's reports and its command line: the script that drives it unattended.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "receiver/receiver_identity.h"

using RemoteReport = std::array<uint8_t, 5>;

// Pad deltas are limited to what both directions of the motion byte can carry.
constexpr int kMaxPadDelta = 99;

// A button's report: byte 2 is 0 going down and 1 coming up, byte 4 the 0x0F marker.
RemoteReport ButtonReport(int button, bool down);

// Motion bytes: 0 is no motion, 1..99 right (or up), 255 - n moves n left (or down).
// dx > 0 is right; dy > 0 is down, as on the screen.
uint8_t HorizontalMotionByte(int dx);
uint8_t VerticalMotionByte(int dy);
RemoteReport PadReport(uint8_t type, int dx, int dy);

// "00 40 00 01 0F"
std::string FormatReport(const RemoteReport& report);

struct RemoteStep {
    enum class Kind { SendReport, Wait, WaitForClients, Unplug, Plug };
    Kind kind = Kind::Wait;
    int amount = 0;  // milliseconds to wait, or clients to wait for
    RemoteReport report = {};
};

// Parses a script of commands separated by ';'. On failure `error` says which command is
// wrong and why, and `steps` is left partly filled.
bool ParseRemoteScript(const std::string& script, std::vector<RemoteStep>* steps,
                       std::string* error);

extern const char kRemoteScriptHelp[];

struct RemoteOptions {
    std::string script;
    bool hasScript = false;
    bool showWindow = true;
    bool help = false;
    bool hid = false;  // a device of the virtual HID driver instead of the pipe
    uint16_t productId = 0xE001;
};

// Parses the arguments after the program name; false with `error` for anything unknown.
bool ParseRemoteOptions(const std::vector<std::string>& arguments, RemoteOptions* options,
                        std::string* error);
