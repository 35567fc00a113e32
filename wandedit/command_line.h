#pragma once
// WandEdit's command line: nothing (start hidden, as Tellwand's OSD host) or one decimal
// table selector (start as the editor).

#include <cstdint>
#include <string>
#include <vector>

struct EditorStart {
    bool startHidden = true;
    int32_t tableSelector = 0;
};

// The parameters after the program name. Parameters beginning with '/' or '-' are options,
// none of which WandEdit uses; only the first other parameter counts.
EditorStart ParseEditorCommandLine(const std::vector<std::string>& parameters);

// An optional '+', then digits up to the first non-digit; 0 without leading digits. Values too
// large for the selector stay at its largest value rather than wrapping.
int32_t ReadDecimalSelector(const std::string& parameter);
