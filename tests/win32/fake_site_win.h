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
        m_UnixDir =
            "/tmp/lockleaf-site-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        CreateDirectoryA(Win(m_UnixDir).c_str(), nullptr);
        CreateDirectoryA(Win(m_UnixDir + "/files").c_str(), nullptr);
        CreateDirectoryA(Win(m_UnixDir + "/files/banner").c_str(), nullptr);
        std::string cmd = "Z:\\usr\\bin\\python3 " + std::string(repo) + "/tests/site/fake_site.py --root " +
                          m_UnixDir + " --log " + m_UnixDir + "/log --port-file " + m_UnixDir +
                          "/port --stop-file " + m_UnixDir + "/stop --max-seconds 60 " + options;
        STARTUPINFOA si{sizeof si};
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &si, &pi))
            return;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (int i = 0; i < 100 && m_Port == 0; ++i) {
            Sleep(100);
            std::ifstream in(Win(m_UnixDir + "/port"));
            in >> m_Port;
        }
    }
    ~FakeSite() {
        if (m_UnixDir.empty()) return;
        std::ofstream(Win(m_UnixDir + "/stop")) << "stop";
        if (m_Port) Sleep(300);  // the server polls for the stop file every 100 ms
        RemoveTree(Win(m_UnixDir));
    }
    FakeSite(const FakeSite&) = delete;
    FakeSite& operator=(const FakeSite&) = delete;

    bool Running() const { return m_Port != 0; }
    int Port() const { return m_Port; }
    Text Url(const std::string& path) const {
        const std::string u = "http://127.0.0.1:" + std::to_string(m_Port) + "/" + path;
        return Text(u.begin(), u.end());
    }
    void Put(const std::string& path, const std::string& bytes) const {
        std::ofstream(Win(m_UnixDir + "/" + path), std::ios::binary) << bytes;
    }
    std::string Log() const {
        std::ifstream in(Win(m_UnixDir + "/log"), std::ios::binary);
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
    std::string m_UnixDir;
    int m_Port = 0;
};
