#include "core/Error.h"

namespace kalvex {

Error::Error(std::string reason, std::string file, int line)
    : std::runtime_error(Compose(reason, file, line)),
      reason_(std::move(reason)),
      file_(std::move(file)),
      line_(line) {}

std::string Error::Compose(const std::string& reason, const std::string& file, int line) {
    std::string text = reason;
    if (!file.empty()) {
        text += "\n";
        text += file;
        if (line > 0) text += " (line " + std::to_string(line) + ")";
    }
    return text;
}

}  // namespace kalvex
