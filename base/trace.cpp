#include "base/trace.h"

#include "base/memory_guard.h"

namespace d1 {
namespace {

TraceSink g_sink = nullptr;

}  // namespace

TraceSink SetTraceSink(TraceSink sink) {
    const TraceSink before = g_sink;
    g_sink = sink;
    return before;
}

void Trace(std::u16string_view line) {
    if (g_sink) g_sink(line);
}

void TraceCurrentException(std::u16string_view where) noexcept {
    if (!g_sink) return;
    try {
        std::u16string line(where);
        line += u": ";
        try {
            throw;
        } catch (const std::exception& e) {
            // what() is ASCII in every exception this program meets.
            for (const char* c = e.what(); *c; ++c)
                line += static_cast<char16_t>(static_cast<unsigned char>(*c));
        } catch (...) {
            line += u"an exception of no known type";
        }
        g_sink(line);
    } catch (...) {
        // Out of memory for the line itself: nothing more can be said.
    }
}

Text NotEnoughMemoryMessage(std::u16string_view command) {
    return u"Not enough memory to " + Text(command) + u".";
}

}  // namespace d1
