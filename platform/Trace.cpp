#include "Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace ksr {

bool traceEnabled()
{
    static const bool enabled = std::getenv("KSR4710_TRACE") != nullptr;
    return enabled;
}

void trace(const char* format, ...)
{
    if (!traceEnabled())
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // One fprintf per line so that lines of concurrent processes do not interleave.
    std::fprintf(stderr, "%02d:%02d:%02d %s\n", local.tm_hour, local.tm_min, local.tm_sec, line);
}

}  // namespace ksr
