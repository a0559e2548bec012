#pragma once
// Unexpected errors: a procedure with an error trap reports the error in the
// critical message box and is left; the game goes on from its caller.

#include <exception>
#include <string>

#include "model/Card.h"

namespace cardovia {

inline constexpr const char* kProgramTitle = "Cardovia";
inline constexpr int kOverflowError = 6;
inline constexpr int kSubscriptOutOfRange = 9;

struct GameError : std::exception {
    int number;
    std::string description;
    GameError(int n, std::string d) : number(n), description(std::move(d)) {}
    const char* what() const noexcept override { return description.c_str(); }
};

// The text of the report: the procedure's name, CR LF, the number and description.
std::string ErrorReportText(const std::string& procedure, int number,
                            const std::string& description);
void ReportError(const std::string& procedure, int number, const std::string& description);

// Runs body as the procedure `procedure`: a GameError (or any other exception)
// escaping it is reported and the procedure is left.
template <class Body>
bool Trap(const char* procedure, Body&& body) {
    try {
        body();
        return true;
    } catch (const GameError& e) {
        ReportError(procedure, e.number, e.description);
    } catch (const std::exception& e) {
        ReportError(procedure, 5, e.what());
    }
    return false;
}

// 16-bit arithmetic: a result outside -32768..32767 raises the Overflow error.
i16 Checked16(long value);
inline i16 Add16(long a, long b) {
    return Checked16(a + b);
}
inline i16 Sub16(long a, long b) {
    return Checked16(a - b);
}
inline i16 Mul16(long a, long b) {
    return Checked16(a * b);
}

}  // namespace cardovia
