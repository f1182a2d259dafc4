// A command that copies the whole document can run out of memory on a large one: it then tells the user,
// by the command's name, and the document stays as it was.
#pragma once
#include <new>
#include <stdexcept>

#include "platform/ports.h"
#include "platform/trace.h"

namespace base {

inline Text NotEnoughMemoryMessage(std::u16string_view command) {
    return u"Not enough memory to " + Text(command) + u".";
}

// Runs f; std::bad_alloc or std::length_error (a text longer than a string can hold) becomes the message
// "Not enough memory to <command>." and false. f must change nothing before its last allocation.
template <class F>
bool WithMemory(Prompts& prompts, std::u16string_view command, F&& f) {
    try {
        f();
        return true;
    } catch (const std::bad_alloc&) {
        platform::TraceCurrentException(command);
    } catch (const std::length_error&) {
        platform::TraceCurrentException(command);
    }
    prompts.Message(NotEnoughMemoryMessage(command), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

}  // namespace base
