#pragma once
// Something the dispatcher holds down: a button's keys or a mouse button. A press is marked
// before its events go out; a release that comes meanwhile (Disable, on the window thread) is
// owed to the press, which lets go as soon as its events are out. Nothing is ever let go twice,
// and nothing stays down.
//
// Every call is made under the lock that guards the Hold.

enum class Hold { kUp, kPressing, kDown, kReleaseOwed };

// Reader thread, before a press's events: false, and nothing may go down, with `onlyIfUp`
// while the thing is down already.
bool StartHolding(Hold& hold, bool onlyIfUp);

// Reader thread, once the press's events are out: false when a release came meanwhile, and
// the caller must let go at once.
bool FinishHolding(Hold& hold);

// Any thread: true when the caller must send the release now. A press still going out is left
// to finish and let go itself.
bool TakeHeld(Hold& hold);
