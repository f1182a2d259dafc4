// The user's data protection over DPAPI (crypt32.dll, loaded from the system folder): user scope, never a
// prompt, with an entropy of the program's own so that another program of the same user cannot open a blob.
#pragma once
#include "platform/crypto.h"

struct Win32DataProtection : DataProtection {
    bool Protect(std::string_view plain, Bytes& blob) override;
    bool Unprotect(std::string_view blob, Bytes& plain) override;
};
