#include "show/show_time.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

int ParseShowSeconds(const char* text, double* seconds) {
    if (text == nullptr || *text == '\0') {
        return 0;
    }
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < 0.0 ||
        parsed > kShowSeconds) {
        return 0;
    }
    *seconds = parsed;
    return 1;
}

int64_t StillShowTimeMs(double seconds) {
    if (seconds <= 0.0) {
        return 0;
    }
    return static_cast<int64_t>(std::floor(seconds * 1000.0 + kSecondsInputSlack));
}
