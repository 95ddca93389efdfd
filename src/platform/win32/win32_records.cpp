#include "platform/win32/win32_records.h"

#include <cstring>

void FillDisplayModeRequest(DEVMODEA* mode, int width, int height, int bitsPerPixel) {
    std::memset(mode, 0, sizeof(*mode));
    mode->dmSize = kDisplayModeRecordSize;
    mode->dmPelsWidth = static_cast<DWORD>(width);
    mode->dmPelsHeight = static_cast<DWORD>(height);
    mode->dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
}

void CopyPixelFormatRequest(const PixelFormatRequest* request, PIXELFORMATDESCRIPTOR* descriptor) {
    // Padding bytes included, nothing of the descriptor is left undefined.
    std::memset(descriptor, 0, sizeof(*descriptor));
    descriptor->nSize = request->nSize;
    descriptor->nVersion = request->nVersion;
    descriptor->dwFlags = request->dwFlags;
    descriptor->iPixelType = request->iPixelType;
    descriptor->cColorBits = request->cColorBits;
    descriptor->cRedBits = request->cRedBits;
    descriptor->cRedShift = request->cRedShift;
    descriptor->cGreenBits = request->cGreenBits;
    descriptor->cGreenShift = request->cGreenShift;
    descriptor->cBlueBits = request->cBlueBits;
    descriptor->cBlueShift = request->cBlueShift;
    descriptor->cAlphaBits = request->cAlphaBits;
    descriptor->cAlphaShift = request->cAlphaShift;
    descriptor->cAccumBits = request->cAccumBits;
    descriptor->cAccumRedBits = request->cAccumRedBits;
    descriptor->cAccumGreenBits = request->cAccumGreenBits;
    descriptor->cAccumBlueBits = request->cAccumBlueBits;
    descriptor->cAccumAlphaBits = request->cAccumAlphaBits;
    descriptor->cDepthBits = request->cDepthBits;
    descriptor->cStencilBits = request->cStencilBits;
    descriptor->cAuxBuffers = request->cAuxBuffers;
    descriptor->iLayerType = request->iLayerType;
    descriptor->bReserved = request->bReserved;
    descriptor->dwLayerMask = request->dwLayerMask;
    descriptor->dwVisibleMask = request->dwVisibleMask;
    descriptor->dwDamageMask = request->dwDamageMask;
}

void ToPlatformMessage(const MSG* source, PlatformMessage* target) {
    target->window = FromHwnd(source->hwnd);
    target->message = source->message;
    target->wParam = source->wParam;
    target->lParam = source->lParam;
}

void ToWin32Message(const PlatformMessage* source, const MSG* lastRemoved, MSG* target) {
    std::memset(target, 0, sizeof(*target));
    const bool isLastRemoved =
        lastRemoved != nullptr && lastRemoved->hwnd == ToHwnd(source->window) &&
        lastRemoved->message == source->message && lastRemoved->wParam == source->wParam &&
        lastRemoved->lParam == source->lParam;
    if (isLastRemoved) {
        *target = *lastRemoved;
        return;
    }
    target->hwnd = ToHwnd(source->window);
    target->message = source->message;
    target->wParam = source->wParam;
    target->lParam = source->lParam;
}
