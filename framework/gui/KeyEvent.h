#pragma once
#include <cstdint>

namespace q9framework {

/** A key as the toolkit names it: printable characters are their character codes; the keys below have
    fixed codes. Modifier keys arrive as key-down and key-up events of their own codes, so "is Shift
    held" is Component::isKeyDown(KeyCodes::shift). */
using KeyCode = int32_t;

namespace KeyCodes {
constexpr KeyCode tab = 9;
constexpr KeyCode returnKey = 13;           // return and enter
constexpr KeyCode forwardDelete = 127;
constexpr KeyCode backspace = 0x10000000;
constexpr KeyCode left = 0x10000001;
constexpr KeyCode right = 0x10000002;
constexpr KeyCode up = 0x10000003;
constexpr KeyCode down = 0x10000004;
constexpr KeyCode control = 0x10000005;
constexpr KeyCode option = 0x10000006;      // Alt on Linux
constexpr KeyCode shift = 0x10000007;
constexpr KeyCode command = 0x10000008;     // Super on Linux
} // namespace KeyCodes

/** A key press or release: the toolkit's code and the platform's hardware key code (0 for modifier
    changes, which have none). */
struct KeyEvent {
    KeyCode keyCode = 0;
    int32_t hardwareCode = 0;
};

} // namespace q9framework
