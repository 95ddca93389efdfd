// The records the backend builds for Win32 calls, byte for byte.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/win32/win32_records.h"

namespace {

template <typename Field>
void PutField(std::vector<unsigned char>& bytes, size_t offset, Field value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

TEST(DisplayModeRequest, IsZeroButSizeModeAndFieldFlags) {
    DEVMODEA mode;
    std::memset(&mode, 0xAB, sizeof(mode));  // stale bytes must not survive
    FillDisplayModeRequest(&mode, 800, 600, 16);

    std::vector<unsigned char> expected(sizeof(DEVMODEA), 0);
    PutField<WORD>(expected, offsetof(DEVMODEA, dmSize), 148);
    PutField<DWORD>(expected, offsetof(DEVMODEA, dmFields), 0x1C0000);
    PutField<DWORD>(expected, offsetof(DEVMODEA, dmBitsPerPel), 16);
    PutField<DWORD>(expected, offsetof(DEVMODEA, dmPelsWidth), 800);
    PutField<DWORD>(expected, offsetof(DEVMODEA, dmPelsHeight), 600);

    std::vector<unsigned char> actual(sizeof(DEVMODEA));
    std::memcpy(actual.data(), &mode, sizeof(mode));
    EXPECT_EQ(actual, expected);
}

TEST(PixelFormatCopy, EveryFieldLandsInItsDescriptorField) {
    // Each field a different value, so a swapped or skipped field shows.
    PixelFormatRequest request;
    unsigned char* raw = reinterpret_cast<unsigned char*>(&request);
    for (size_t i = 0; i < sizeof(request); ++i) {
        raw[i] = static_cast<unsigned char>(i + 1);
    }
    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0xEE, sizeof(descriptor));
    CopyPixelFormatRequest(&request, &descriptor);

    EXPECT_EQ(std::memcmp(&descriptor, &request, sizeof(descriptor)), 0);
    EXPECT_EQ(descriptor.cDepthBits, request.cDepthBits);
    EXPECT_EQ(descriptor.dwDamageMask, request.dwDamageMask);
}

TEST(MessageConversion, KeepsFullWidthParameters) {
    MSG source = {};
    source.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    source.message = WM_KEYDOWN;
    source.wParam = ~static_cast<WPARAM>(0);  // every bit set, whatever the width
    source.lParam = -2;
    PlatformMessage converted;
    ToPlatformMessage(&source, &converted);

    EXPECT_EQ(converted.window, FromHwnd(source.hwnd));
    EXPECT_EQ(converted.message, static_cast<uint32_t>(WM_KEYDOWN));
    EXPECT_EQ(converted.wParam, ~static_cast<uintptr_t>(0));
    EXPECT_EQ(converted.lParam, -2);

    MSG back;
    ToWin32Message(&converted, nullptr, &back);
    EXPECT_EQ(back.hwnd, source.hwnd);
    EXPECT_EQ(back.message, source.message);
    EXPECT_EQ(back.wParam, source.wParam);
    EXPECT_EQ(back.lParam, source.lParam);
    EXPECT_EQ(back.time, 0u);
}

TEST(MessageConversion, TheLastRemovedMessageKeepsItsTimeAndPosition) {
    MSG removed = {};
    removed.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x40));
    removed.message = WM_TIMER;
    removed.wParam = 7;
    removed.lParam = 0;
    removed.time = 123456;
    removed.pt.x = 11;
    removed.pt.y = 22;
    PlatformMessage converted;
    ToPlatformMessage(&removed, &converted);

    MSG back;
    ToWin32Message(&converted, &removed, &back);
    EXPECT_EQ(back.time, 123456u);
    EXPECT_EQ(back.pt.x, 11);
    EXPECT_EQ(back.pt.y, 22);

    // A different message must not borrow the stored time.
    converted.wParam = 8;
    ToWin32Message(&converted, &removed, &back);
    EXPECT_EQ(back.wParam, 8u);
    EXPECT_EQ(back.time, 0u);
}

}  // namespace
