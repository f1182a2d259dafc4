// Regional settings and the user's locale's lower case.
#pragma once
#include "platform/ports.h"

struct Win32Locale : Locale {
    bool SetShortDateFormat(const Text& format) override;
    Text LowerCase(std::u16string_view text) const override;
};
