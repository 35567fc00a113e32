#include "tools/virtual_remote/remote_script.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "config/buttons.h"
#include "keyseq/key_action.h"

namespace {

constexpr int kPressMs = 50;
constexpr int kMaxWaitMs = 600000;
constexpr int kMaxClients = 64;

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

int ButtonByName(const std::string& name) {
    for (int button = 0; button < kButtonCount; ++button) {
        if (Lower(ButtonName(button)) == Lower(name)) {
            return button;
        }
    }
    return -1;
}

// A whole decimal number, optionally signed, within [low, high].
bool ParseInteger(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

// One byte in hexadecimal: "23", "0F", "0x8a".
bool ParseHexByte(const std::string& text, uint8_t* value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
    }
    if (digits.empty() || digits.size() > 2) {
        return false;
    }
    char* end = nullptr;
    unsigned long parsed = std::strtoul(digits.c_str(), &end, 16);
    if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(digits[0]))) {
        return false;
    }
    *value = static_cast<uint8_t>(parsed);
    return true;
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> Words(const std::string& command) {
    std::istringstream stream(command);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

RemoteStep SendStep(const RemoteReport& report) {
    RemoteStep step;
    step.kind = RemoteStep::Kind::SendReport;
    step.report = report;
    return step;
}

RemoteStep AmountStep(RemoteStep::Kind kind, int amount) {
    RemoteStep step;
    step.kind = kind;
    step.amount = amount;
    return step;
}

bool ParsePad(const std::vector<std::string>& words, std::vector<RemoteStep>* steps,
              std::string* why) {
    uint8_t type = 0;
    if (words.size() == 4 && words[1] == "move") {
        type = kPadMove;
    } else if (words.size() == 4 && words[1] == "left") {
        type = kPadLeftDrag;
    } else if (words.size() == 4 && words[1] == "right") {
        type = kPadRightDrag;
    } else {
        *why = "expected 'pad move|left|right DX DY'";
        return false;
    }
    int dx = 0, dy = 0;
    if (!ParseInteger(words[2], -kMaxPadDelta, kMaxPadDelta, &dx) ||
        !ParseInteger(words[3], -kMaxPadDelta, kMaxPadDelta, &dy)) {
        *why = "pad deltas are whole numbers from -99 to 99";
        return false;
    }
    steps->push_back(SendStep(PadReport(type, dx, dy)));
    return true;
}

bool ParseRaw(const std::vector<std::string>& words, std::vector<RemoteStep>* steps,
              std::string* why) {
    uint8_t bytes[3] = {};
    if (words.size() != 4 || !ParseHexByte(words[1], &bytes[0]) ||
        !ParseHexByte(words[2], &bytes[1]) || !ParseHexByte(words[3], &bytes[2])) {
        *why = "expected 'raw TYPE B2 B3' in hexadecimal";
        return false;
    }
    steps->push_back(SendStep({0, bytes[0], bytes[1], bytes[2], 0x0F}));
    return true;
}

bool ParseCommand(const std::vector<std::string>& words, std::vector<RemoteStep>* steps,
                  std::string* why) {
    const std::string verb = Lower(words[0]);
    int number = 0;
    if (verb == "clients" || verb == "wait") {
        bool isWait = verb == "wait";
        if (words.size() != 2 ||
            !ParseInteger(words[1], 0, isWait ? kMaxWaitMs : kMaxClients, &number)) {
            *why = isWait ? "expected 'wait MILLISECONDS'" : "expected 'clients COUNT'";
            return false;
        }
        steps->push_back(
            AmountStep(isWait ? RemoteStep::Kind::Wait : RemoteStep::Kind::WaitForClients, number));
        return true;
    }
    if ((verb == "unplug" || verb == "plug") && words.size() == 1) {
        steps->push_back(
            AmountStep(verb == "plug" ? RemoteStep::Kind::Plug : RemoteStep::Kind::Unplug, 0));
        return true;
    }
    if (verb == "press") {
        int button = words.size() == 2 ? ButtonByName(words[1]) : -1;
        if (button < 0) {
            *why = "expected 'press BUTTON' with a button's name";
            return false;
        }
        steps->push_back(SendStep(ButtonReport(button, true)));
        steps->push_back(AmountStep(RemoteStep::Kind::Wait, kPressMs));
        steps->push_back(SendStep(ButtonReport(button, false)));
        return true;
    }
    if (verb == "pad") {
        std::vector<std::string> lowered;
        for (const std::string& word : words) {
            lowered.push_back(Lower(word));
        }
        return ParsePad(lowered, steps, why);
    }
    if (verb == "raw") {
        return ParseRaw(words, steps, why);
    }
    int button = ButtonByName(words[0]);
    if (button >= 0) {
        std::string direction = words.size() == 2 ? Lower(words[1]) : "";
        if (direction != "down" && direction != "up") {
            *why = "expected '" + words[0] + " down' or '" + words[0] + " up'";
            return false;
        }
        steps->push_back(SendStep(ButtonReport(button, direction == "down")));
        return true;
    }
    *why = "unknown command";
    return false;
}

}  // namespace

RemoteReport ButtonReport(int button, bool down) {
    return {0, kButtonReport, static_cast<uint8_t>(down ? 0 : 1),
            static_cast<uint8_t>(ReportCodeFromButton(button)), 0x0F};
}

uint8_t HorizontalMotionByte(int dx) {
    return static_cast<uint8_t>(dx >= 0 ? dx : 255 + dx);
}

uint8_t VerticalMotionByte(int dy) {
    return static_cast<uint8_t>(dy <= 0 ? -dy : 255 - dy);
}

RemoteReport PadReport(uint8_t type, int dx, int dy) {
    return {0, type, HorizontalMotionByte(dx), VerticalMotionByte(dy), 0};
}

std::string FormatReport(const RemoteReport& report) {
    std::string text;
    for (uint8_t byte : report) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        text += text.empty() ? "" : " ";
        text += hex;
    }
    return text;
}

bool ParseRemoteScript(const std::string& script, std::vector<RemoteStep>* steps,
                       std::string* error) {
    std::istringstream stream(script);
    std::string command;
    while (std::getline(stream, command, ';')) {
        std::vector<std::string> words = Words(command);
        if (words.empty()) {
            continue;
        }
        std::string why;
        if (!ParseCommand(words, steps, &why)) {
            *error = "script command '" + Trimmed(command) + "': " + why;
            return false;
        }
    }
    return true;
}

const char kRemoteScriptHelp[] =
    "VirtualRemote [--script \"COMMANDS\"] [--product 0xE001|0xE006] [--no-window] [--hid]\n"
    "\n"
    "Serves the virtual receiver pipe. With --hid it plugs in a device of the virtual HID\n"
    "driver instead (VirtualHid.exe and the drivers in ..\\virtual_hid from this program's\n"
    "folder), which the shipped programs read through the system's own HID stack.\n"
    "With a script it runs the commands, separated by ';', and exits when they are done:\n"
    "0 on success, 1 when a step fails (clients not connected within 10 s, the receiver\n"
    "cannot come), 2 for a wrong command line or script.\n"
    "\n"
    "  clients N          wait until N clients are connected (at most 10 s; not with --hid:\n"
    "                     a HID device cannot tell who reads it)\n"
    "  BUTTON down|up     a button's down or up report (names as Power, Digit5, PlayPause;\n"
    "                     any letter case)\n"
    "  press BUTTON       down, 50 ms, up\n"
    "  wait MS            pause\n"
    "  pad move DX DY     pad report 0x88; 'pad left' sends 0x89 (left key held),\n"
    "                     'pad right' 0x8A. DX > 0 is right, DY > 0 is down, as on the\n"
    "                     screen; each from -99 to 99. Bytes: 0 none, 1..99 right or up,\n"
    "                     255 - n for n left or down (DY -3 sends 3, DY 3 sends 252)\n"
    "  raw TYPE B2 B3     any report, in hexadecimal; byte 4 is 0F\n"
    "  unplug, plug       the receiver leaves (its pipe closes) or comes back; each time\n"
    "                     every window hears of it (WM_DEVICECHANGE), as from Windows\n"
    "                     (with --hid, from Plug and Play itself)\n"
    "\n"
    "The receiver is plugged in when VirtualRemote starts and unplugged when it ends.\n"
    "\n"
    "In the window: click a key to press it; drag on the pad to move (with Shift held: the\n"
    "left key held, 0x89; with Ctrl: the right key, 0x8A); click L or R for the mouse keys;\n"
    "the Unplug button unplugs the receiver and plugs it in again.\n";

bool ParseRemoteOptions(const std::vector<std::string>& arguments, RemoteOptions* options,
                        std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if (argument == "--script" && hasValue) {
            options->script = arguments[++i];
            options->hasScript = true;
        } else if (argument == "--product" && hasValue) {
            const std::string& value = arguments[++i];
            char* end = nullptr;
            unsigned long product = std::strtoul(value.c_str(), &end, 16);
            if (value.empty() || *end != '\0' || product > 0xFFFF) {
                *error = "--product takes a hexadecimal product id such as 0xE006";
                return false;
            }
            options->productId = static_cast<uint16_t>(product);
        } else if (argument == "--no-window") {
            options->showWindow = false;
        } else if (argument == "--hid") {
            options->hid = true;
        } else if (argument == "--help" || argument == "-h" || argument == "/?") {
            options->help = true;
        } else {
            *error = "unknown or incomplete argument '" + argument + "'";
            return false;
        }
    }
    return true;
}
