// Resource ids of the executable.
#pragma once
#define IDI_LOCKLEAF 1
#define IDI_FIND_REPLACE 2  // the Find/Replace window
