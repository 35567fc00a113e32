#include "tellwand/hold.h"

bool StartHolding(Hold& hold, bool onlyIfUp) {
    if (onlyIfUp && hold != Hold::kUp) {
        return false;
    }
    hold = Hold::kPressing;
    return true;
}

bool FinishHolding(Hold& hold) {
    bool owed = hold == Hold::kReleaseOwed;
    hold = owed ? Hold::kUp : Hold::kDown;
    return !owed;
}

bool TakeHeld(Hold& hold) {
    if (hold == Hold::kPressing) {
        hold = Hold::kReleaseOwed;
    }
    bool down = hold == Hold::kDown;
    if (down) {
        hold = Hold::kUp;
    }
    return down;
}
