#include "platform/common/window_classes.h"

#include <cstring>

#include "platform/common/win32_kit_state.h"

static KitWindowClass* FindClass(const char* name, InstanceHandle instance) {
    for (KitWindowClass& entry : win32Kit.classes) {
        if (entry.used && entry.instance == instance && std::strcmp(entry.name, name) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

int WindowClassAdd(const WindowClassDesc* windowClass) {
    if (windowClass->procedure == nullptr ||
        std::strlen(windowClass->className) >= sizeof(KitWindowClass::name) ||
        FindClass(windowClass->className, windowClass->instance) != nullptr) {
        return 0;
    }
    for (KitWindowClass& entry : win32Kit.classes) {
        if (!entry.used) {
            std::strcpy(entry.name, windowClass->className);
            entry.instance = windowClass->instance;
            entry.procedure = windowClass->procedure;
            entry.used = true;
            return 1;
        }
    }
    return 0;
}

int WindowClassRemove(const char* className, InstanceHandle instance) {
    KitWindowClass* entry = FindClass(className, instance);
    if (entry == nullptr) {
        return 0;
    }
    *entry = KitWindowClass{};
    return 1;
}

WindowProcedure WindowClassProcedure(const char* className, InstanceHandle instance) {
    const KitWindowClass* entry = FindClass(className, instance);
    return entry ? entry->procedure : nullptr;
}
