// The command-line text from outside: the document name is the text itself or, for one quoted path,
// the text without that one pair of quotes; never longer, never anything else.
#include <cstdint>
#include <cstdlib>

#include "app/program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text line(reinterpret_cast<const char16_t*>(data), size / 2);
    const Text doc = app::CommandLineDocument(line);
    if (doc != line && !(line.size() == doc.size() + 2 && line.front() == u'"' && line.back() == u'"' &&
                         line.substr(1, doc.size()) == doc))
        std::abort();
    return 0;
}
