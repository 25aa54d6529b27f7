#pragma once
// Plays the host's side of the boundary: loads Stats.dll next to the test program with
// LoadLibrary and calls it through GetProcAddress, with the argument lists the host uses.
#include <windows.h>

#include <string>

#include "base/datetime.h"

class HostExports {
public:
    using SetVersion = unsigned long(__cdecl*)(const char*);
    using IntVoid = int(__cdecl*)();
    using ExchgCount = int(__cdecl*)(const char*, const char*, const char*);
    using SetName = const char*(__cdecl*)(int);
    using VoidVoid = void(__cdecl*)();
    using T = const char*;
    using D = COleDateTime*;
    using CheckCallFn = int(__cdecl*)(T, unsigned, unsigned, T, T, T, T, T, T, T, T, T, T, T, int,
                                      int, int, double, double, T, T, T, T, T, T, T, char*, char*);
    using IsValidExchgFn = int(__cdecl*)(T, T, T, T, int, int, int);
    using Reset = int(__cdecl*)(T, int, T, D, D, T, T, T, T, T, T, T, T, T, T, int, int, int,
                                double, double, T, T, T);
    using Qso = int(__cdecl*)(T, T, D, D, D, D, unsigned, unsigned, T, T, T, T, T, T, T, T, T, T, T,
                              T, T, T, T, int, int, int, double, double, T, T, T, T, T);
    using Result = const char*(__cdecl*)(int*);

    // The folder of the running test program, with a trailing backslash.
    static std::string ProgramFolder() {
        char path[MAX_PATH] = {0};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string s(path);
        return s.substr(0, s.find_last_of("\\/") + 1);
    }

    explicit HostExports(const std::string& dllPath = ProgramFolder() + "Stats.dll") {
        module = LoadLibraryA(dllPath.c_str());
    }
    ~HostExports() { Unload(); }
    HostExports(const HostExports&) = delete;
    HostExports& operator=(const HostExports&) = delete;

    void Unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    bool Loaded() const { return module != nullptr; }
    FARPROC Proc(const char* name) const { return GetProcAddress(module, name); }
    template <typename F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(Proc(name)));
    }

    // A QSO as the host passes it; unread arguments get harmless values.
    struct QsoFields {
        std::string ownCall = "EA1XX";
        std::string call;
        COleDateTime time;
        unsigned freqHz = 14025000;
        std::string mode = "CW";
        std::string rstSent = "599";
        std::string rstRcvd = "599";
        std::string exchSent = "001";
        std::string exchRcvd = "001";
        std::string prefixText;
        std::string prefix;
        std::string extra;
        std::string band = "20m";
    };
    // A QSO with Barcelona, as a test host logs it.
    static QsoFields SpanishQso(const char* band = "20m") {
        QsoFields q;
        q.call = "EA3XYZ";
        q.prefix = "EA";
        q.prefixText = "EA3";
        q.exchRcvd = "B";
        q.band = band;
        q.time = COleDateTime::FromFields(2017, 5, 6, 14, 3);
        return q;
    }

    int CallQso(const char* exportName, QsoFields q) const {
        auto f = Get<Qso>(exportName);
        COleDateTime unused;
        return f(q.ownCall.c_str(), q.call.c_str(), &q.time, &unused, &unused, &unused, 0, q.freqHz,
                 q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
                 q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", q.prefixText.c_str(),
                 q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", q.extra.c_str(), "", q.band.c_str(), "");
    }
    int AddData(const QsoFields& q) const { return CallQso("AddData0", q); }
    int RemoveData(const QsoFields& q) const { return CallQso("RemoveData0", q); }

    int ResetStats(const std::string& hostFolder, int exportFlag, const std::string& ownCall,
                   COleDateTime start, COleDateTime end, const std::string& ownPrefix) const {
        auto f = Get<Reset>("ResetStats0");
        return f(hostFolder.c_str(), exportFlag, ownCall.c_str(), &start, &end, "", "", "", "", "",
                 "", "", "", "", ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "");
    }

    int CheckCall(const std::string& call, const std::string& mode, const std::string& prefixText,
                  const std::string& prefix, const std::string& band,
                  const std::string& band2 = "") const {
        auto f = Get<CheckCallFn>("CheckCall0");
        char out1[64] = "untouched", out2[64] = "untouched";
        return f(call.c_str(), 0, 0, mode.c_str(), "", "", "", "", "", "", "", "",
                 prefixText.c_str(), prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", "", "",
                 band.c_str(), band2.c_str(), out1, out2);
    }

    int IsValidExchg(const std::string& exchange, const std::string& prefix) const {
        return Get<IsValidExchgFn>("IsValidExchg0")(exchange.c_str(), "", prefix.c_str(), "", 0, 0,
                                                    0);
    }

    std::string GetResult(int* out = nullptr) const {
        int dummy = 0;
        const char* r = Get<Result>("GetResult0")(out ? out : &dummy);
        return r ? r : "";
    }

    HMODULE module = nullptr;
};

// A fresh temporary folder that becomes the current folder for the test's lifetime.
class TempCurrentFolder {
public:
    TempCurrentFolder() {
        char base[MAX_PATH], name[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        GetTempPathA(MAX_PATH, base);
        GetTempFileNameA(base, "sts", 0, name);
        DeleteFileA(name);
        CreateDirectoryA(name, nullptr);
        path = name;
        SetCurrentDirectoryA(name);
    }
    ~TempCurrentFolder() {
        SetCurrentDirectoryA(old);
        RemoveTree(path);
    }
    static void RemoveTree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName;
                if (n == "." || n == "..") continue;
                std::string full = dir + "\\" + n;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string path;

private:
    char old[MAX_PATH] = {0};
};
