// Failures that the program chooses to survive still leave a line for a developer: on Windows in the
// debugger output (DebugView, WINEDEBUG), in the tests wherever a test points the sink.
#pragma once
#include <exception>
#include <string_view>

namespace d1 {

using TraceSink = void (*)(std::u16string_view line);
// The sink of every Trace; null drops them. Returns the one before.
TraceSink SetTraceSink(TraceSink sink);
void Trace(std::u16string_view line);
// "<where>: <what the exception says>", for the exception being handled: call it inside a catch.
void TraceCurrentException(std::u16string_view where) noexcept;

}  // namespace d1
