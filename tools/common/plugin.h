#pragma once
// The plug-in library loaded by path, with its exports resolved by their plain names, as
// the host uses it.
#include <string>

#include "base/datetime.h"

namespace tools {

struct Plugin {
    using T = const char*;
    using D = COleDateTime*;
    unsigned long (*setVersion)(T) = nullptr;
    int (*GetNumberOfSets)() = nullptr;
    int (*GetExchgCount0)(T, T, T) = nullptr;
    T (*GetSetName)(int) = nullptr;
    int (*CheckCall0)(T, unsigned, unsigned, T, T, T, T, T, T, T, T, T, T, T, int, int, int, double,
                      double, T, T, T, T, T, T, T, char*, char*) = nullptr;
    int (*IsValidExchg0)(T, T, T, T, int, int, int) = nullptr;
    int (*ResetStats0)(T, int, T, D, D, T, T, T, T, T, T, T, T, T, T, int, int, int, double, double,
                       T, T, T) = nullptr;
    int (*AddData0)(T, T, D, D, D, D, unsigned, unsigned, T, T, T, T, T, T, T, T, T, T, T, T, T, T,
                    T, int, int, int, double, double, T, T, T, T, T) = nullptr;
    int (*RemoveData0)(T, T, D, D, D, D, unsigned, unsigned, T, T, T, T, T, T, T, T, T, T, T, T, T,
                       T, T, int, int, int, double, double, T, T, T, T, T) = nullptr;
    T (*GetResult0)(int*) = nullptr;

    void* handle = nullptr;

    // Loads the library and resolves every export; on failure returns false and says why.
    bool Load(const std::string& path, std::string& error);
    void Unload();
    ~Plugin() { Unload(); }
};

}  // namespace tools
