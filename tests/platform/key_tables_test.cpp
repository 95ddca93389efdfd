// The desktop's key table (sdl2_keys.cpp) and the page's (web/web_keys.cpp)
// give each key the same virtual-key code. SDL names a key by its scan code,
// which is the key's USB HID usage; the page by KeyboardEvent.code. The pairs
// below are the KeyboardEvent.code values the W3C UI Events standard gives those usages,
// for the keys of a full PC keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/sdl2/sdl2_backend.h"
#include "platform/sdl2/sdl2_keys.h"
#include "platform/web/web_keys.h"

namespace {

struct KeyPair {
    int scancode;
    std::string code;
};

const KeyPair kNamedKeys[] = {
    {SDL_SCANCODE_RETURN, "Enter"},
    {SDL_SCANCODE_ESCAPE, "Escape"},
    {SDL_SCANCODE_BACKSPACE, "Backspace"},
    {SDL_SCANCODE_TAB, "Tab"},
    {SDL_SCANCODE_SPACE, "Space"},
    {SDL_SCANCODE_MINUS, "Minus"},
    {SDL_SCANCODE_EQUALS, "Equal"},
    {SDL_SCANCODE_LEFTBRACKET, "BracketLeft"},
    {SDL_SCANCODE_RIGHTBRACKET, "BracketRight"},
    {SDL_SCANCODE_BACKSLASH, "Backslash"},
    {SDL_SCANCODE_SEMICOLON, "Semicolon"},
    {SDL_SCANCODE_APOSTROPHE, "Quote"},
    {SDL_SCANCODE_GRAVE, "Backquote"},
    {SDL_SCANCODE_COMMA, "Comma"},
    {SDL_SCANCODE_PERIOD, "Period"},
    {SDL_SCANCODE_SLASH, "Slash"},
    {SDL_SCANCODE_CAPSLOCK, "CapsLock"},
    {SDL_SCANCODE_PRINTSCREEN, "PrintScreen"},
    {SDL_SCANCODE_SCROLLLOCK, "ScrollLock"},
    {SDL_SCANCODE_PAUSE, "Pause"},
    {SDL_SCANCODE_INSERT, "Insert"},
    {SDL_SCANCODE_HOME, "Home"},
    {SDL_SCANCODE_PAGEUP, "PageUp"},
    {SDL_SCANCODE_DELETE, "Delete"},
    {SDL_SCANCODE_END, "End"},
    {SDL_SCANCODE_PAGEDOWN, "PageDown"},
    {SDL_SCANCODE_RIGHT, "ArrowRight"},
    {SDL_SCANCODE_LEFT, "ArrowLeft"},
    {SDL_SCANCODE_DOWN, "ArrowDown"},
    {SDL_SCANCODE_UP, "ArrowUp"},
    {SDL_SCANCODE_NUMLOCKCLEAR, "NumLock"},
    {SDL_SCANCODE_KP_DIVIDE, "NumpadDivide"},
    {SDL_SCANCODE_KP_MULTIPLY, "NumpadMultiply"},
    {SDL_SCANCODE_KP_MINUS, "NumpadSubtract"},
    {SDL_SCANCODE_KP_PLUS, "NumpadAdd"},
    {SDL_SCANCODE_KP_ENTER, "NumpadEnter"},
    {SDL_SCANCODE_KP_PERIOD, "NumpadDecimal"},
    {SDL_SCANCODE_NONUSBACKSLASH, "IntlBackslash"},
    {SDL_SCANCODE_APPLICATION, "ContextMenu"},
    {SDL_SCANCODE_KP_EQUALS, "NumpadEqual"},
    {SDL_SCANCODE_KP_COMMA, "NumpadComma"},
    {SDL_SCANCODE_INTERNATIONAL1, "IntlRo"},
    {SDL_SCANCODE_INTERNATIONAL3, "IntlYen"},
    {SDL_SCANCODE_LCTRL, "ControlLeft"},
    {SDL_SCANCODE_LSHIFT, "ShiftLeft"},
    {SDL_SCANCODE_LALT, "AltLeft"},
    {SDL_SCANCODE_LGUI, "MetaLeft"},
    {SDL_SCANCODE_RCTRL, "ControlRight"},
    {SDL_SCANCODE_RSHIFT, "ShiftRight"},
    {SDL_SCANCODE_RALT, "AltRight"},
    {SDL_SCANCODE_RGUI, "MetaRight"},
};

std::vector<KeyPair> KeyboardKeys() {
    std::vector<KeyPair> keys(std::begin(kNamedKeys), std::end(kNamedKeys));
    for (int i = 0; i < 26; ++i) {
        keys.push_back({SDL_SCANCODE_A + i, std::string("Key") + char('A' + i)});
    }
    for (int digit = 1; digit <= 10; ++digit) {
        // Usages 1 .. 9, then 0.
        keys.push_back({SDL_SCANCODE_1 + digit - 1, "Digit" + std::to_string(digit % 10)});
        keys.push_back({SDL_SCANCODE_KP_1 + digit - 1, "Numpad" + std::to_string(digit % 10)});
    }
    for (int function = 1; function <= 24; ++function) {
        const int scancode =
            function <= 12 ? SDL_SCANCODE_F1 + function - 1 : SDL_SCANCODE_F13 + function - 13;
        keys.push_back({scancode, "F" + std::to_string(function)});
    }
    return keys;
}

TEST(KeyTables, TheDesktopAndThePageGiveEveryKeyTheSameVirtualKey) {
    // SDL's keymap (scan code to key code) comes with its video.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(Sdl2VideoReady());
    std::set<int> paired;
    int mapped = 0;
    for (const KeyPair& key : KeyboardKeys()) {
        const SDL_Keycode desktopKey =
            SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(key.scancode));
        const uint32_t desktop = VirtualKeyFromSdl(desktopKey);
        EXPECT_EQ(VirtualKeyFromDomCode(key.code.c_str()), desktop)
            << key.code << " / " << SDL_GetKeyName(desktopKey);
        paired.insert(key.scancode);
        mapped += desktop != 0 ? 1 : 0;
    }
    EXPECT_GE(mapped, 100) << "the show's keyboard: letters, digits, F1-F12, numpad, the rest";

    // No key the desktop maps is left out of the pairs; the second Return of
    // some keyboards has no code in a browser.
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (paired.count(scancode) == 0 && scancode != SDL_SCANCODE_RETURN2) {
            const SDL_Keycode key = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
            EXPECT_EQ(VirtualKeyFromSdl(key), 0u)
                << SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
        }
    }
}

}  // namespace
