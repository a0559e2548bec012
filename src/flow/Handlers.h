#pragma once

namespace cardovia {

// Gives every control and menu entry of the table window its handler.
void ConnectHandlers();

}  // namespace cardovia
