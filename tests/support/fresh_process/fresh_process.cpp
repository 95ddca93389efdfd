#include "fresh_process/fresh_process.h"

#include <cxxabi.h>
#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

struct DataRange {
    uintptr_t address;  // at run time
    size_t size;
    std::string object;
    std::string section;
    std::vector<unsigned char> atStart;
};

struct NamedVariable {
    uintptr_t address;  // at run time
    size_t size;
    std::string name;
};

std::vector<DataRange> ranges;
std::vector<NamedVariable> variables;
std::string captureProblem = "FreshProcessCapture was not called";

// Writable data: .data (with .data.rel.local and the like) and .bss, not
// what is read-only once relocated.
bool IsWritableData(const std::string& section) {
    const bool data = section == ".data" || section.rfind(".data.", 0) == 0;
    const bool bss = section == ".bss" || section.rfind(".bss.", 0) == 0;
    return (data && section.rfind(".data.rel.ro", 0) != 0) || bss;
}

// A member of one of the program's own archives: ".../libvup_core.a(show.cpp.o)".
bool IsOwnObject(const std::string& object) {
    const size_t archive = object.find("libvup_");
    return archive != std::string::npos && object.find(".a(", archive) != std::string::npos;
}

int NoteLoadBias(dl_phdr_info* info, size_t, void* bias) {
    *static_cast<uintptr_t*>(bias) = info->dlpi_addr;
    return 1;  // the first entry is the program itself
}

// GNU ld's map: an input section is " NAME ADDRESS SIZE FILE", with ADDRESS
// SIZE FILE on the next line when NAME is long.
bool ReadMap(const std::string& path, uintptr_t bias) {
    std::ifstream map(path);
    if (!map) {
        captureProblem = "no link map at " + path;
        return false;
    }
    std::string line;
    std::string pendingSection;
    while (std::getline(map, line)) {
        if (pendingSection.empty() && (line.size() < 2 || line[0] != ' ' || line[1] != '.')) {
            continue;
        }
        std::istringstream fields(line);
        std::string section = pendingSection;
        if (section.empty()) {
            fields >> section;
        }
        pendingSection.clear();
        uintptr_t address = 0;
        size_t size = 0;
        std::string object;
        if (!(fields >> std::hex >> address >> size >> object)) {
            if (IsWritableData(section) && line.find("0x") == std::string::npos) {
                pendingSection = section;  // the name alone: the rest follows
            }
            continue;
        }
        if (IsWritableData(section) && IsOwnObject(object) && size > 0) {
            ranges.push_back({bias + address, size, object, section, {}});
        }
    }
    if (ranges.empty()) {
        captureProblem = "the link map " + path + " names no data of a libvup_ archive";
        return false;
    }
    return true;
}

// The program's variables by name, local ones included, from its symbol
// table; only to name what differs.
void ReadVariables(const std::string& program, uintptr_t bias) {
    std::ifstream file(program, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), {});
    if (image.size() < sizeof(ElfW(Ehdr))) {
        return;
    }
    const auto* header = reinterpret_cast<const ElfW(Ehdr)*>(image.data());
    const auto* sections = reinterpret_cast<const ElfW(Shdr)*>(image.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_SYMTAB) {
            continue;
        }
        const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
        const auto* symbols =
            reinterpret_cast<const ElfW(Sym)*>(image.data() + sections[i].sh_offset);
        for (size_t s = 0; s < sections[i].sh_size / sizeof(ElfW(Sym)); ++s) {
            if (ELF64_ST_TYPE(symbols[s].st_info) != STT_OBJECT) {
                continue;
            }
            const char* name = strings + symbols[s].st_name;
            int status = 0;
            char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
            variables.push_back(
                {bias + symbols[s].st_value, symbols[s].st_size, status == 0 ? readable : name});
            std::free(readable);
        }
    }
}

std::string Place(const DataRange& range, size_t offset) {
    char text[64];
    std::snprintf(text, sizeof text, "+0x%zx", offset);
    std::string place = range.object + " " + range.section + text;
    const uintptr_t address = range.address + offset;
    for (const NamedVariable& variable : variables) {
        if (address >= variable.address && address < variable.address + variable.size) {
            std::snprintf(text, sizeof text, "+%zu",
                          static_cast<size_t>(address - variable.address));
            return place + " (" + variable.name + text + ")";
        }
    }
    return place;
}

}  // namespace

void FreshProcessCapture() {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) {
        captureProblem = "cannot read /proc/self/exe";
        return;
    }
    program[length] = '\0';
    uintptr_t bias = 0;
    dl_iterate_phdr(NoteLoadBias, &bias);
    if (!ReadMap(std::string(program) + ".map", bias)) {
        return;
    }
    ReadVariables(program, bias);
    for (DataRange& range : ranges) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(range.address);
        range.atStart.assign(bytes, bytes + range.size);
    }
    captureProblem.clear();
}

bool FreshProcessCovers(const void* address, size_t size) {
    const auto first = reinterpret_cast<uintptr_t>(address);
    for (const DataRange& range : ranges) {
        if (first >= range.address && first + size <= range.address + range.size) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> FreshProcessDifferences() {
    if (!captureProblem.empty()) {
        return {captureProblem};
    }
    std::vector<std::string> differences;
    for (const DataRange& range : ranges) {
        const auto* now = reinterpret_cast<const unsigned char*>(range.address);
        size_t at = 0;
        while (at < range.size) {
            if (now[at] == range.atStart[at]) {
                ++at;
                continue;
            }
            const size_t first = at;
            while (at < range.size && now[at] != range.atStart[at]) {
                ++at;
            }
            differences.push_back(Place(range, first) + ": " + std::to_string(at - first) +
                                  " byte(s) differ");
        }
    }
    return differences;
}
