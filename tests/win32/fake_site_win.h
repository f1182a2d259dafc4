// Starts tests/site/fake_site.py from inside Wine (Wine runs Linux programs through CreateProcess) in a
// /tmp folder of its own, and reads its request log. The server cannot be killed from here: it stops when
// its stop file appears, and after a minute in any case.
#pragma once
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/ports.h"

class FakeSite {
public:
    explicit FakeSite(const std::string& options = "") {
        char repo[1024];
        if (!GetEnvironmentVariableA("LOCKLEAF_REPO", repo, sizeof repo)) return;
        static int counter = 0;
        unixDir_ =
            "/tmp/lockleaf-site-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        CreateDirectoryA(Win(unixDir_).c_str(), nullptr);
        CreateDirectoryA(Win(unixDir_ + "/files").c_str(), nullptr);
        CreateDirectoryA(Win(unixDir_ + "/files/banner").c_str(), nullptr);
        std::string cmd = "Z:\\usr\\bin\\python3 " + std::string(repo) + "/tests/site/fake_site.py --root " +
                          unixDir_ + " --log " + unixDir_ + "/log --port-file " + unixDir_ +
                          "/port --stop-file " + unixDir_ + "/stop --max-seconds 60 " + options;
        STARTUPINFOA si{sizeof si};
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &si, &pi))
            return;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (int i = 0; i < 100 && port_ == 0; ++i) {
            Sleep(100);
            std::ifstream in(Win(unixDir_ + "/port"));
            in >> port_;
        }
    }
    ~FakeSite() {
        if (unixDir_.empty()) return;
        std::ofstream(Win(unixDir_ + "/stop")) << "stop";
        if (port_) Sleep(300);  // the server polls for the stop file every 100 ms
        RemoveTree(Win(unixDir_));
    }
    FakeSite(const FakeSite&) = delete;
    FakeSite& operator=(const FakeSite&) = delete;

    bool Running() const { return port_ != 0; }
    int Port() const { return port_; }
    Text Url(const std::string& path) const {
        const std::string u = "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
        return Text(u.begin(), u.end());
    }
    void Put(const std::string& path, const std::string& bytes) const {
        std::ofstream(Win(unixDir_ + "/" + path), std::ios::binary) << bytes;
    }
    std::string Log() const {
        std::ifstream in(Win(unixDir_ + "/log"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    static void RemoveTree(const std::string& dir) {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName, path = dir + "\\" + name;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    static std::string Win(std::string unixPath) {
        for (char& c : unixPath)
            if (c == '/') c = '\\';
        return "Z:" + unixPath;
    }
    std::string unixDir_;
    int port_ = 0;
};
