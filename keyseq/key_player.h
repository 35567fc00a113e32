#pragma once
// Playing one record as key events.

#include "keyseq/input_sink.h"
#include "keyseq/key_action.h"

// Key-down of the three modifier slots and the key, exactly four events.
void PressKeyAction(const KeyAction& record, InputSink& input);

// Key-up of the key, 50 ms, then the modifier slots in reverse order.
void ReleaseKeyAction(const KeyAction& record, InputSink& input);
