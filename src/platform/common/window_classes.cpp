#include "platform/common/window_classes.h"

#include <cstring>

struct RegisteredClass {
    char name[64];
    InstanceHandle instance;
    WindowProcedure procedure;
    bool used;
};
// The show registers one class at a time; a few more leave room for tests.
static RegisteredClass classes[8];

static RegisteredClass* FindClass(const char* name, InstanceHandle instance) {
    for (RegisteredClass& entry : classes) {
        if (entry.used && entry.instance == instance && std::strcmp(entry.name, name) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

int WindowClassAdd(const WindowClassDesc* windowClass) {
    if (windowClass->procedure == nullptr ||
        std::strlen(windowClass->className) >= sizeof(classes[0].name) ||
        FindClass(windowClass->className, windowClass->instance) != nullptr) {
        return 0;
    }
    for (RegisteredClass& entry : classes) {
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
    RegisteredClass* entry = FindClass(className, instance);
    if (entry == nullptr) {
        return 0;
    }
    entry->used = false;
    return 1;
}

WindowProcedure WindowClassProcedure(const char* className, InstanceHandle instance) {
    const RegisteredClass* entry = FindClass(className, instance);
    return entry ? entry->procedure : nullptr;
}

void WindowClassesClear() {
    for (RegisteredClass& entry : classes) {
        entry = RegisteredClass{};
    }
}
