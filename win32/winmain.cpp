// Process entry: the real services wired to the core, then the event loop.
#include <windows.h>

#include <ole2.h>

#include "app/editor.h"
#include "app/program.h"
#include "platform/trace.h"
#include "win32/clock_win.h"
#include "win32/crypto_win.h"
#include "win32/data_protection_win.h"
#include "win32/file_dialogs_win.h"
#include "win32/files_win.h"
#include "win32/find_replace_window.h"
#include "win32/jobs_win.h"
#include "win32/locale_win.h"
#include "win32/main_window.h"
#include "win32/message_loop_win.h"
#include "win32/process_win.h"
#include "win32/prompts_win.h"
#include "win32/registry_win.h"
#include "win32/shell_win.h"
#include "win32/system_dlls.h"
#include "win32/volumes_win.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCmd) {
    win::RestrictDllSearch();  // before anything can load a DLL
    platform::SetTraceSink(win::DebugOutput);
    OleInitialize(nullptr);  // the web browser control and the shell dialogs need an STA

    // The editor outlives the windows and adapters below, which may still call it while they close.
    static std::unique_ptr<Editor> editor;
    static Win32Process process;
    static Win32Clock clock;
    static Win32Locale locale;
    static Win32Prompts prompts;
    static Win32EventLoop loop;
    static Win32Files files;
    static Win32Settings settings;
    static Win32Shell shell;
    static Win32FileDialogs dialogs;
    static Win32Volumes volumes;
    static Win32Crypto crypto;
    static Win32Jobs jobs;
    static Win32Jobs diskJobs;  // its own thread: a slow disk and a slow site never wait for each other
    static Win32DataProtection dataProtection;
    static Platform platform{process, clock,   locale,  prompts, loop, files,    settings,
                             shell,   dialogs, volumes, crypto,  jobs, diskJobs, dataProtection};

    static Win32EditorHost host(instance, showCmd);
    static Win32FindReplaceHost findHost(instance);
    host.onCreated = [](HWND main) {
        prompts.owner = main;
        shell.owner = main;
        findHost.owner = main;
        jobs.SetWindow(main);
        diskJobs.SetWindow(main);
    };
    editor = app::Main(platform, host, &findHost);
    return RunMessageLoop();
}
