#include "wandedit/command_line.h"

#include <limits>

namespace {

bool IsOption(const std::string& parameter) {
    return !parameter.empty() && (parameter[0] == '/' || parameter[0] == '-');
}

}  // namespace

int32_t ReadDecimalSelector(const std::string& parameter) {
    std::size_t at = 0;
    if (at < parameter.size() && parameter[at] == '+') {
        ++at;
    }
    constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; at < parameter.size() && parameter[at] >= '0' && parameter[at] <= '9'; ++at) {
        value = value * 10 + (parameter[at] - '0');
        if (value > kLargest) {
            return static_cast<int32_t>(kLargest);
        }
    }
    return static_cast<int32_t>(value);
}

EditorStart ParseEditorCommandLine(const std::vector<std::string>& parameters) {
    EditorStart start;
    for (const std::string& parameter : parameters) {
        if (!IsOption(parameter)) {
            start.startHidden = false;
            start.tableSelector = ReadDecimalSelector(parameter);
            break;
        }
    }
    return start;
}
