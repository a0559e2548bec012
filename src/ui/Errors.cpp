#include "ui/Errors.h"

#include "ui/Platform.h"

namespace cardovia {

std::string ErrorReportText(const std::string& procedure, int number,
                            const std::string& description) {
    return "Unexpected error in procedure: " + procedure + "\r\nError #" + std::to_string(number) +
           ": " + description;
}

void ReportError(const std::string& procedure, int number, const std::string& description) {
    Sys().CriticalError(kProgramTitle, ErrorReportText(procedure, number, description));
}

i16 Checked16(long value) {
    if (!Fits16(value)) throw GameError(kOverflowError, "Overflow");
    return static_cast<i16>(value);
}

}  // namespace cardovia
