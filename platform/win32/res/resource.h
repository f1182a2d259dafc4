// Resource ids of the executable.
#pragma once
#define IDI_LOCKLEAF 1
