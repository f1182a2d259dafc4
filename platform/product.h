// The product's name, as its windows, dialogs and messages are titled.
#pragma once

constexpr char16_t kProductName[] = u"Lockleaf";
