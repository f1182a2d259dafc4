// Regional settings and the user's locale's lower case.
#pragma once
#include "platform/ports.h"

struct Win32Locale : Locale {
    uint32_t SystemDefaultLcid() const override;
    bool SetLocaleValue(uint32_t lcid, uint32_t lcType, const Text& value) override;
    void BroadcastSettingChange() override;
    Text LowerCase(std::u16string_view text) const override;
};
