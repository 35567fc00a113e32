// The key-name table: reader names (any letter case) and the names the editor writes.

#include "keyseq/key_names.h"

#include <cstddef>

#include "base/ascii_case.h"

namespace {

// The names the reader accepts; runs of keys (digits, letters, keypad, F-keys) in code order.
const ReaderName kReaderNames[] = {
    {"back", 0x08},
    {"tab", 0x09},
    {"enter", 0x0D},
    {"pause", 0x13},
    {"capital", 0x14},
    {"esc", 0x1B},
    {"space", 0x20},
    {"PgUp", 0x21},
    {"PgDown", 0x22},
    {"end", 0x23},
    {"home", 0x24},
    {"left", 0x25},
    {"up", 0x26},
    {"right", 0x27},
    {"down", 0x28},
    {"ins", 0x2D},
    {"del", 0x2E},
    {"0", 0x30},
    {"1", 0x31},
    {"2", 0x32},
    {"3", 0x33},
    {"4", 0x34},
    {"5", 0x35},
    {"6", 0x36},
    {"7", 0x37},
    {"8", 0x38},
    {"9", 0x39},
    {"a", 0x41},
    {"b", 0x42},
    {"c", 0x43},
    {"d", 0x44},
    {"e", 0x45},
    {"f", 0x46},
    {"g", 0x47},
    {"h", 0x48},
    {"i", 0x49},
    {"j", 0x4A},
    {"k", 0x4B},
    {"l", 0x4C},
    {"m", 0x4D},
    {"n", 0x4E},
    {"o", 0x4F},
    {"p", 0x50},
    {"q", 0x51},
    {"r", 0x52},
    {"s", 0x53},
    {"t", 0x54},
    {"u", 0x55},
    {"v", 0x56},
    {"w", 0x57},
    {"x", 0x58},
    {"y", 0x59},
    {"z", 0x5A},
    {"numpad0", 0x60},
    {"numpad1", 0x61},
    {"numpad2", 0x62},
    {"numpad3", 0x63},
    {"numpad4", 0x64},
    {"numpad5", 0x65},
    {"numpad6", 0x66},
    {"numpad7", 0x67},
    {"numpad8", 0x68},
    {"numpad9", 0x69},
    {"multiply", 0x6A},
    {"add", 0x6B},
    {"subtract", 0x6D},
    {"decimal", 0x6E},
    {"divide", 0x6F},
    {"f1", 0x70},
    {"f2", 0x71},
    {"f3", 0x72},
    {"f4", 0x73},
    {"f5", 0x74},
    {"f6", 0x75},
    {"f7", 0x76},
    {"f8", 0x77},
    {"f9", 0x78},
    {"f10", 0x79},
    {"f11", 0x7A},
    {"f12", 0x7B},
    {"NumLock", 0x90},
    {"scroll", 0x91},
    {"browserback", 0xA6},
    {"browserforward", 0xA7},
    {"browserref", 0xA8},
    {"browserstop", 0xA9},
    {"browserfav", 0xAB},
    {"+", 0xBB},
    {",", 0xBC},
    {".", 0xBE},
    {"/", 0xBF},
    {"`", 0xC0},
    {"[", 0xDB},
    {"\\", 0xDC},
    {"]", 0xDD},
    // "=" is the name the editor writes for the plus/equals key, so it must read back too.
    {"=", 0xBB},
};

struct WrittenName {
    uint8_t code;
    const char* name;
};

// Browser keys are written with the names the reader knows, so a round trip never loses them.
const WrittenName kWrittenNames[] = {
    {0x08, "BACK"},       {0x09, "TAB"},         {0x0D, "ENTER"},       {0x13, "PAUSE"},
    {0x14, "CAPITAL"},    {0x1B, "ESC"},         {0x20, "SPACE"},       {0x21, "PGUP"},
    {0x22, "PGDOWN"},     {0x23, "END"},         {0x24, "HOME"},        {0x25, "LEFT"},
    {0x26, "UP"},         {0x27, "RIGHT"},       {0x28, "DOWN"},        {0x2D, "INS"},
    {0x2E, "DEL"},        {0x30, "0"},           {0x31, "1"},           {0x32, "2"},
    {0x33, "3"},          {0x34, "4"},           {0x35, "5"},           {0x36, "6"},
    {0x37, "7"},          {0x38, "8"},           {0x39, "9"},           {0x41, "A"},
    {0x42, "B"},          {0x43, "C"},           {0x44, "D"},           {0x45, "E"},
    {0x46, "F"},          {0x47, "G"},           {0x48, "H"},           {0x49, "I"},
    {0x4A, "J"},          {0x4B, "K"},           {0x4C, "L"},           {0x4D, "M"},
    {0x4E, "N"},          {0x4F, "O"},           {0x50, "P"},           {0x51, "Q"},
    {0x52, "R"},          {0x53, "S"},           {0x54, "T"},           {0x55, "U"},
    {0x56, "V"},          {0x57, "W"},           {0x58, "X"},           {0x59, "Y"},
    {0x5A, "Z"},          {0x60, "NUMPAD0"},     {0x61, "NUMPAD1"},     {0x62, "NUMPAD2"},
    {0x63, "NUMPAD3"},    {0x64, "NUMPAD4"},     {0x65, "NUMPAD5"},     {0x66, "NUMPAD6"},
    {0x67, "NUMPAD7"},    {0x68, "NUMPAD8"},     {0x69, "NUMPAD9"},     {0x6A, "MULTIPLY"},
    {0x6B, "ADD"},        {0x6D, "SUBTRACT"},    {0x6E, "DECIMAL"},     {0x6F, "DIVIDE"},
    {0x70, "F1"},         {0x71, "F2"},          {0x72, "F3"},          {0x73, "F4"},
    {0x74, "F5"},         {0x75, "F6"},          {0x76, "F7"},          {0x77, "F8"},
    {0x78, "F9"},         {0x79, "F10"},         {0x7A, "F11"},         {0x7B, "F12"},
    {0x90, "NUMLOCK"},    {0x91, "SCROLL"},      {0xA6, "BROWSERBACK"}, {0xA7, "BROWSERFORWARD"},
    {0xA8, "BROWSERREF"}, {0xA9, "BROWSERSTOP"}, {0xAB, "BROWSERFAV"},  {0xBA, ";"},
    {0xBB, "="},          {0xBC, ","},           {0xBD, "-"},           {0xBE, "."},
    {0xBF, "/"},          {0xC0, "`"},           {0xDB, "["},           {0xDC, "\\"},
    {0xDD, "]"},
};

const char* const kModifierPrefixes[16] = {
    "0-", "0-S-", "0-C-", "0-C-S-", "0-A-", "0-S-A-", "0-C-A-", "0-S-C-A-",
    "1-", "1-S-", "1-C-", "1-C-S-", "1-A-", "1-S-A-", "1-C-A-", "1-S-C-A-",
};

}  // namespace

uint8_t KeyCodeFromName(std::string_view name) {
    if (name.empty()) {
        return 0;
    }
    for (const ReaderName& row : kReaderNames) {
        if (EqualsIgnoringCase(name, row.name)) {
            return row.code;
        }
    }
    return 0;
}

const char* WrittenKeyName(uint8_t code) {
    for (const WrittenName& row : kWrittenNames) {
        if (row.code == code) {
            return row.name;
        }
    }
    return nullptr;
}

const char* ModifierPrefix(unsigned modifierValue) {
    return kModifierPrefixes[modifierValue & 0x0F];
}

const ReaderName* ReaderNames(int* count) {
    *count = static_cast<int>(sizeof(kReaderNames) / sizeof(kReaderNames[0]));
    return kReaderNames;
}
