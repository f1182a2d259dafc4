// Failures that the program chooses to survive still leave a line for a developer: on Windows in the
// debugger output (DebugView, WINEDEBUG), in the tests wherever a test points the sink.
#pragma once
#include <exception>
#include <string>
#include <string_view>

namespace platform {

using TraceSink = void (*)(std::u16string_view line);

inline TraceSink g_TraceSink = nullptr;

// The sink of every Trace; null drops them. Returns the one before.
inline TraceSink SetTraceSink(TraceSink sink) {
    const TraceSink before = g_TraceSink;
    g_TraceSink = sink;
    return before;
}

inline void Trace(std::u16string_view line) noexcept {
    if (g_TraceSink) g_TraceSink(line);
}

// "<where>: <what the exception says>", for the exception being handled: call it inside a catch.
inline void TraceCurrentException(std::u16string_view where) noexcept {
    if (!g_TraceSink) return;
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
        g_TraceSink(line);
    } catch (...) {
        // No memory left even for the line: nothing more can be said.
    }
}

}  // namespace platform
