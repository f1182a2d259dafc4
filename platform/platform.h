// Every platform service, handed in once at start-up.
#pragma once
#include "platform/crypto.h"
#include "platform/jobs.h"
#include "platform/ports.h"

struct Platform {
    Process& process;
    Clock& clock;
    Locale& locale;
    Prompts& prompts;
    EventLoop& loop;
    Files& files;
    Settings& settings;
    Shell& shell;
    FileDialogs& dialogs;
    Volumes& volumes;
    Crypto& crypto;
    Jobs& jobs;      // where the network is used: never on the window's thread
    Jobs& diskJobs;  // snapshots of unsaved work are encrypted and written here, never on the window's thread
    DataProtection& dataProtection;
};
