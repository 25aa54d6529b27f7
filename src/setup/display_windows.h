#pragma once
// The two display windows as the Setup window and the refresh handler see them. They live
// on the setup thread; every call here is made there, without the state lock (their
// drawing takes it).
#include <string>

namespace setup {

class DisplayWindows {
public:
    virtual ~DisplayWindows() = default;

    // EADX100 window.
    virtual bool EadxOpen() const = 0;
    virtual void OpenEadx() = 0;
    virtual void CloseEadx() = 0;
    virtual void SetEadxCaption(const std::string& caption) = 0;  // code page 1251
    virtual void InvalidateEadxTable() = 0;

    // Province grid window.
    virtual bool ProvinceOpen() const = 0;
    virtual void OpenProvince() = 0;
    virtual void CloseProvince() = 0;
    virtual void SetProvinceCaption(const std::string& caption) = 0;  // code page 1251
    virtual void ClearMarks() = 0;
    virtual void MarkProvince(const std::string& code) = 0;
    // Shows the marks set since the last ClearMarks.
    virtual void ApplyMarks() = 0;
};

}  // namespace setup
