#pragma once
// Reading key-sequence texts such as "0-C-F2" into the parsed fields of a KeyAction.

#include "keyseq/key_action.h"

// Sets the modifier slots, key and extended mark of the record from its text (at most
// 29 characters are looked at). Never fails: what it cannot make sense of gives key 0.
void ParseKeySequence(KeyAction& record);
