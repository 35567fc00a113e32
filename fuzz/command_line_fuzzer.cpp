// WandEdit's command line: any list of parameters, separated by zero bytes in the input.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "wandedit/command_line.h"

namespace {

bool IsOption(const std::string& parameter) {
    return !parameter.empty() && (parameter[0] == '/' || parameter[0] == '-');
}

// The selector a parameter names, worked out with the C library: its leading digits after an
// optional '+', saturated at the largest selector.
int32_t ExpectedSelector(const std::string& parameter) {
    std::size_t at = !parameter.empty() && parameter[0] == '+' ? 1 : 0;
    std::size_t end = at;
    while (end < parameter.size() && parameter[end] >= '0' && parameter[end] <= '9') {
        ++end;
    }
    if (end == at) {
        return 0;
    }
    std::string digits = parameter.substr(at, end - at);
    errno = 0;
    unsigned long long value = std::strtoull(digits.c_str(), nullptr, 10);
    constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
    if (errno == ERANGE || value > static_cast<unsigned long long>(kLargest)) {
        return kLargest;
    }
    return static_cast<int32_t>(value);
}

std::vector<std::string> SplitAtZeros(const uint8_t* data, std::size_t size) {
    std::vector<std::string> parameters;
    if (size == 0) {
        return parameters;
    }
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parameters.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    parameters.push_back(current);
    return parameters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> parameters = SplitAtZeros(data, size);
    EditorStart start = ParseEditorCommandLine(parameters);

    const std::string* first = nullptr;
    for (const std::string& parameter : parameters) {
        if (!IsOption(parameter)) {
            first = &parameter;
            break;
        }
    }
    FUZZ_CHECK(start.startHidden == (first == nullptr));
    FUZZ_CHECK(start.tableSelector >= 0);
    FUZZ_CHECK(start.tableSelector == (first == nullptr ? 0 : ExpectedSelector(*first)));
    return 0;
}
