// The same keys as the desktop's table (platform/sdl2/sdl2_keys.cpp), named
// the page's way. The two cannot share one table: SDL names a key by its
// SDL_Keycode, the page by a string, and neither header exists in the other
// build. KeyboardEvent.code names the key's place on the keyboard, so the
// letters and digits are those of a US layout whatever the user's is.
#include "platform/web/web_keys.h"

#include <cstring>

#include "platform/win32_defs.h"

struct KeyMapping {
    const char* code;
    uint32_t virtualKey;
};

// Keys whose virtual-key code is not found from their name's pattern.
static const KeyMapping kKeyTable[] = {
    {"Escape", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"NumpadEnter", VK_RETURN},
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Space", VK_SPACE},
    {"Pause", VK_PAUSE},
    {"CapsLock", VK_CAPITAL},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"End", VK_END},
    {"Home", VK_HOME},
    {"ArrowLeft", VK_LEFT},
    {"ArrowUp", VK_UP},
    {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN},
    {"PrintScreen", VK_SNAPSHOT},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"NumpadMultiply", VK_MULTIPLY},
    {"NumpadAdd", VK_ADD},
    {"NumpadSubtract", VK_SUBTRACT},
    {"NumpadDecimal", VK_DECIMAL},
    {"NumpadDivide", VK_DIVIDE},
    {"NumLock", VK_NUMLOCK},
    {"ScrollLock", VK_SCROLL},
    // Key messages name the generic modifier, as on Windows.
    {"ShiftLeft", VK_SHIFT},
    {"ShiftRight", VK_SHIFT},
    {"ControlLeft", VK_CONTROL},
    {"ControlRight", VK_CONTROL},
    {"AltLeft", VK_MENU},
    {"AltRight", VK_MENU},
    {"Semicolon", VK_OEM_1},
    {"Equal", VK_OEM_PLUS},
    {"Comma", VK_OEM_COMMA},
    {"Minus", VK_OEM_MINUS},
    {"Period", VK_OEM_PERIOD},
    {"Slash", VK_OEM_2},
    {"Backquote", VK_OEM_3},
    {"BracketLeft", VK_OEM_4},
    {"Backslash", VK_OEM_5},
    {"BracketRight", VK_OEM_6},
    {"Quote", VK_OEM_7},
};

// The number after prefix when code is prefix followed by digits only
// ("F12" -> 12), else -1.
static int NumberAfter(const char* code, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (std::strncmp(code, prefix, length) != 0 || code[length] == '\0') {
        return -1;
    }
    int number = 0;
    for (const char* digit = code + length; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9' || number > 99) {
            return -1;
        }
        number = number * 10 + (*digit - '0');
    }
    return number;
}

uint32_t VirtualKeyFromDomCode(const char* code) {
    if (code == nullptr) {
        return 0;
    }
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return static_cast<uint32_t>(code[3]);
    }
    if (const int digit = NumberAfter(code, "Digit"); digit >= 0 && digit <= 9) {
        return static_cast<uint32_t>('0' + digit);
    }
    if (const int digit = NumberAfter(code, "Numpad"); digit >= 0 && digit <= 9) {
        return VK_NUMPAD0 + static_cast<uint32_t>(digit);
    }
    if (const int function = NumberAfter(code, "F"); function >= 1 && function <= 12) {
        return VK_F1 + static_cast<uint32_t>(function - 1);
    }
    for (const KeyMapping& mapping : kKeyTable) {
        if (std::strcmp(mapping.code, code) == 0) {
            return mapping.virtualKey;
        }
    }
    return 0;
}
