// Regional settings and locale-aware text comparison.
#pragma once
#include "platform/ports.h"

struct Win32Locale : Locale {
    uint32_t SystemDefaultLcid() const override;
    bool SetLocaleValue(uint32_t lcid, uint32_t lcType, const Text& value) override;
    void BroadcastSettingChange() override;
    std::ptrdiff_t FindIgnoreCase(std::u16string_view text, std::size_t from,
                                  std::u16string_view word) const override;

private:
    static Text Lower(std::u16string_view s);  // the user's locale's lower case; empty when it fails
};
