#include "config/buttons.h"

int ButtonFromReportCode(int code) {
    if (code == 1 || code == 2) {
        return code - 1;
    }
    if (code == 35) {
        return 2;
    }
    if (code >= 4 && code <= 33) {
        return code - 1;
    }
    if (code == 36) {
        return 33;
    }
    if (code == 46) {
        return 34;
    }
    return -1;
}
