#pragma once

#include <QColor>

#include <cstdint>

namespace cardovia::qt {

// The game hands colours over as 0x00BBGGRR values.
inline QColor FromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace cardovia::qt
