// The display windows for real: the province grid, the EADX100 window, the advanced button
// and the off-screen context, opened under Wine and checked by their pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/advanced_button.h"
#include "display/ea_province.h"
#include "display/mem_dc.h"
#include "display/multiplier.h"
#include "display/province_boxes.h"
#include "engine/contest.h"
#include "host_exports.h"
#include "resource.h"
#include "win/messages.h"
#include "win/module.h"
#include "win/wide_text.h"

namespace {

// The engine instance the windows show, made as the plug-in makes its own.
engine::Contest& TheContest() {
    static engine::Contest contest(engine::Files::All());
    return contest;
}

// The windows' templates and icon live in Stats.dll; the test program links the display
// code itself and takes the resources from the DLL.
class ResourceModule : public ::testing::Environment {
public:
    void SetUp() override {
        module = LoadLibraryA((HostExports::ProgramFolder() + "Stats.dll").c_str());
        ASSERT_NE(module, nullptr);
        win::SetModule(module);
    }
    void TearDown() override {
        win::SetModule(nullptr);
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ResourceModule);

void Pump(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// A picture of a window's client area, read back from its context.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<DWORD> bgra;

    COLORREF At(int x, int y) const {
        DWORD p = bgra[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    }
    int Count(RECT r, COLORREF c) const {
        int n = 0;
        for (int y = std::max(0L, r.top); y < std::min<LONG>(height, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<LONG>(width, r.right); ++x)
                n += At(x, y) == c;
        return n;
    }
    template <typename Pred>
    int CountIf(RECT r, Pred pred) const {
        int n = 0;
        for (int y = std::max(0L, r.top); y < std::min<LONG>(height, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<LONG>(width, r.right); ++x)
                n += pred(At(x, y));
        return n;
    }
    // Kept as a test artefact in build/win64/artifacts (build/win32/artifacts).
    void Save(const std::string& name) const {
        std::string folder = HostExports::ProgramFolder() + "artifacts";
        CreateDirectoryA(folder.c_str(), nullptr);
        FILE* f = std::fopen((folder + "\\" + name + ".bmp").c_str(), "wb");
        if (!f) return;
        BITMAPINFOHEADER info{sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        const DWORD pixels = static_cast<DWORD>(bgra.size() * 4);
        const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        BITMAPFILEHEADER file{0x4D42, offset + pixels, 0, 0, offset};
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(bgra.data(), 4, bgra.size(), f);
        std::fclose(f);
    }
};

Shot Capture(HWND hwnd) {
    Pump();
    UpdateWindow(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    Shot shot;
    shot.width = rc.right;
    shot.height = rc.bottom;
    shot.bgra.resize(static_cast<size_t>(shot.width) * shot.height);
    win::WindowDC window(hwnd);
    win::OwnedDC memory(CreateCompatibleDC(window.Get()));
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win::GdiObject<HBITMAP> bitmap(
        CreateDIBSection(window.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return shot;
    {
        win::SelectGuard select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, shot.width, shot.height, window.Get(), 0, 0, SRCCOPY);
        GdiFlush();
        std::memcpy(shot.bgra.data(), bits, shot.bgra.size() * 4);
    }
    return shot;
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT WindowRect(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kYellow = RGB(255, 255, 0);
// Lettering is smoothed into the face, so yellow letters show as yellowish pixels.
bool Yellowish(COLORREF c) {
    return GetRValue(c) >= 200 && GetGValue(c) >= 200 && GetBValue(c) <= 120;
}

int IndexOf(const std::string& caption) {
    for (int i = 0; i < display::kProvinceBoxCount; ++i)
        if (caption == display::kProvinceBoxes[static_cast<size_t>(i)].caption) return i;
    return -1;
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheContest().Clear();
        CreateDirectoryA("Plugins", nullptr);
    }
    void TearDown() override { TheContest().Clear(); }

    void ExpectGreen(const Ea_Province& grid, const Shot& shot, int box) {
        RECT r = ChildRect(grid.Hwnd(), grid.Box(box).Hwnd());
        const int area = (r.right - r.left) * (r.bottom - r.top);
        EXPECT_GT(shot.Count(r, kGreen), area / 3) << display::kProvinceBoxes[box].caption;
        EXPECT_EQ(shot.Count(r, kMagenta), 0) << display::kProvinceBoxes[box].caption;
    }
    void ExpectMagenta(const Ea_Province& grid, const Shot& shot, int box) {
        RECT r = ChildRect(grid.Hwnd(), grid.Box(box).Hwnd());
        const int area = (r.right - r.left) * (r.bottom - r.top);
        EXPECT_GT(shot.Count(r, kMagenta), area / 3) << display::kProvinceBoxes[box].caption;
        EXPECT_GT(shot.CountIf(r, Yellowish), 3) << display::kProvinceBoxes[box].caption;
        EXPECT_EQ(shot.Count(r, kGreen), 0) << display::kProvinceBoxes[box].caption;
    }

    TempCurrentFolder folder;
};

using ProvinceGrid = DisplayTest;

TEST_F(ProvinceGrid, OpensAtTenTenWithAllBoxesFromTheTemplateGreen) {
    Ea_Province grid(TheContest());
    ASSERT_TRUE(grid.Create());
    HWND hwnd = grid.Hwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowRect(hwnd).left, 10);
    EXPECT_EQ(WindowRect(hwnd).top, 10);
    EXPECT_EQ(win::WindowTextW(hwnd), L"EA Province");
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    // The Close item and with it the title-bar button are greyed.
    UINT close = GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(close & MF_GRAYED);

    Shot shot = Capture(hwnd);
    shot.Save("ea_province");
    for (int i = 0; i < display::kProvinceBoxCount; ++i) {
        const display::ProvinceBox& b = display::kProvinceBoxes[static_cast<size_t>(i)];
        HWND box = GetDlgItem(hwnd, b.id);
        ASSERT_NE(box, nullptr) << b.caption;
        EXPECT_EQ(grid.Box(i).Hwnd(), box);
        EXPECT_EQ(win::WindowTextW(box), win::Widen(b.caption, CP_ACP));
        EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << b.caption;
        // Position and size are converted from dialog units one by one.
        RECT units{b.x, b.y, b.cx, b.cy};
        MapDialogRect(hwnd, &units);
        RECT actual = ChildRect(hwnd, box);
        EXPECT_EQ(actual.left, units.left) << b.caption;
        EXPECT_EQ(actual.top, units.top) << b.caption;
        EXPECT_EQ(actual.right - actual.left, units.right) << b.caption;
        EXPECT_EQ(actual.bottom - actual.top, units.bottom) << b.caption;
        ExpectGreen(grid, shot, i);
    }
    // The background brush shows between the boxes.
    EXPECT_EQ(shot.At(2, 2), RGB(255, 250, 198));
}

TEST_F(ProvinceGrid, MarksTurnBoxesMagentaWithYellowLetteringAndClearTurnsThemBack) {
    Ea_Province grid(TheContest());
    ASSERT_TRUE(grid.Create());
    grid.ClearMarks();
    for (const char* code : {"M", "GR", "SMR", "HQ", ""})
        grid.MarkProvince(code);
    grid.ShowMarks();
    Shot marked = Capture(grid.Hwnd());
    marked.Save("ea_province_marked");
    for (int i = 0; i < display::kProvinceBoxCount; ++i) {
        const std::string caption = display::kProvinceBoxes[static_cast<size_t>(i)].caption;
        const bool worked = caption == "M" || caption == "GR" || caption == "EA0";
        EXPECT_EQ(grid.Worked(i), worked) << caption;
        if (worked) {
            ExpectMagenta(grid, marked, i);
        } else {
            ExpectGreen(grid, marked, i);
        }
    }

    // The next refresh on the same band, whose list lost "GR".
    grid.ClearMarks();
    grid.MarkProvince("M");
    grid.MarkProvince("SMR");
    grid.ShowMarks();
    Shot again = Capture(grid.Hwnd());
    ExpectGreen(grid, again, IndexOf("GR"));
    ExpectMagenta(grid, again, IndexOf("M"));
    ExpectMagenta(grid, again, IndexOf("EA0"));

    grid.ClearMarks();
    Shot cleared = Capture(grid.Hwnd());
    for (int i = 0; i < display::kProvinceBoxCount; ++i)
        ExpectGreen(grid, cleared, i);
}

TEST_F(ProvinceGrid, EnterAndClicksChangeNothingAndCloseEndsTheWindow) {
    Ea_Province grid(TheContest());
    ASSERT_TRUE(grid.Create());
    HWND hwnd = grid.Hwnd();
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // An owner-drawn box has no check mark to toggle.
    HWND box = grid.Box(IndexOf("GR")).Hwnd();
    SendMessageW(box, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(grid.Worked(IndexOf("GR")));
    ExpectGreen(grid, Capture(hwnd), IndexOf("GR"));

    // Escape hides the grid; only the close message ends it.
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    grid.Close();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(grid.Hwnd(), nullptr);
    grid.MarkProvince("GR");  // a closed grid is harmless to mark
    EXPECT_EQ(grid.Hwnd(), nullptr);
}

TEST_F(ProvinceGrid, PositionIsReadFromAndSavedToTheSettings) {
    WritePrivateProfileStringA("Settings", "ea_x", "300", "Plugins\\SOLSTICE-RACE.ini");
    WritePrivateProfileStringA("Settings", "ea_y", "abc", "Plugins\\SOLSTICE-RACE.ini");
    Ea_Province grid(TheContest());
    ASSERT_TRUE(grid.Create());
    EXPECT_EQ(WindowRect(grid.Hwnd()).left, 300);
    EXPECT_EQ(WindowRect(grid.Hwnd()).top, 10);

    SetWindowPos(grid.Hwnd(), nullptr, -1200, 57, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(grid.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(grid.Hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(settings::ReadKey("ea_x"), "-1200");
    EXPECT_EQ(settings::ReadKey("ea_y"), "57");
}

TEST_F(ProvinceGrid, OnTopFlagMakesItTopmostAndCaptionsTakeCyrillicText) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().onTop = 1;
    }
    Ea_Province grid(TheContest());
    ASSERT_TRUE(grid.Create());
    EXPECT_TRUE(GetWindowLongW(grid.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // "Провинции" in code page 1251, whatever the system's code page.
    grid.SetCaption("\xCF\xF0\xEE\xE2\xE8\xED\xF6\xE8\xE8", 1251);
    EXPECT_EQ(win::WindowTextW(grid.Hwnd()),
              L"\x041F\x0440\x043E\x0432\x0438\x043D\x0446\x0438\x0438");
}

// A plain window with one button, which hands owner-draw requests back as a dialog does.
LRESULT CALLBACK ReflectingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return SendMessageW(item->hwndItem, win::kReflectDrawItem, wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class ButtonHost {
public:
    explicit ButtonHost(DWORD buttonStyle) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ReflectingParent;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StatsButtonHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, L"StatsButtonHost", L"host", WS_POPUP | WS_VISIBLE, 600, 600,
                                 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        button =
            CreateWindowExW(0, L"BUTTON", L"GR", WS_CHILD | WS_VISIBLE | buttonStyle, 10, 10, 80,
                            40, parent, reinterpret_cast<HMENU>(500), wc.hInstance, nullptr);
    }
    ~ButtonHost() { DestroyWindow(parent); }
    HWND parent;
    HWND button;
};

TEST(AdvancedButton, AttachingNeedsTheControlAndMakesAnyButtonOwnerDrawn) {
    ButtonHost host(BS_AUTOCHECKBOX);
    CAdvancedButton missing;
    EXPECT_FALSE(missing.AttachToItem(501, host.parent, kGreen, RGB(1, 1, 1), RGB(128, 128, 128)));
    EXPECT_EQ(missing.Hwnd(), nullptr);

    CAdvancedButton button;
    ASSERT_TRUE(button.AttachToItem(500, host.parent, kGreen, RGB(1, 1, 1), RGB(128, 128, 128)));
    EXPECT_EQ(button.Hwnd(), host.button);
    EXPECT_EQ(button.m_nShape, 0);
    EXPECT_EQ(GetWindowLongW(host.button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    SendMessageW(host.button, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(host.button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(AdvancedButton, RectangleFillsToTheCornersAndEllipseLeavesThem) {
    ButtonHost host(BS_PUSHBUTTON);
    CAdvancedButton button;
    ASSERT_TRUE(button.AttachToItem(500, host.parent, kGreen, RGB(1, 1, 1), RGB(128, 128, 128)));
    button.Redraw();
    Shot rect = Capture(host.parent);
    // Face inside, a two-ring raised bevel: white top-left, dark grey bottom-right.
    EXPECT_EQ(rect.At(10 + 5, 10 + 5), kGreen);
    EXPECT_EQ(rect.At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(rect.At(10 + 79, 10 + 39), RGB(127, 127, 127));

    button.m_nShape = display::kShapeEllipse;
    button.SetFaceColor(kMagenta);
    button.SetLabelColor(kYellow);
    Shot disc = Capture(host.parent);
    disc.Save("advanced_button_ellipse");
    EXPECT_NE(disc.At(10 + 1, 10 + 1), kMagenta);  // the corner lies outside the disc
    EXPECT_EQ(disc.At(10 + 8, 10 + 20), kMagenta);
    EXPECT_GT(disc.CountIf({10, 10, 90, 50}, Yellowish), 3);
    EXPECT_GT(disc.Count({10, 10, 90, 50}, RGB(128, 128, 128)), 20);  // the grey rim
}

TEST(MemDC, ThePictureReachesTheTargetOnlyAtTheEnd) {
    win::WindowDC screen(nullptr);
    win::OwnedDC target(CreateCompatibleDC(screen.Get()));
    win::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 50, 40));
    win::SelectGuard select(target.Get(), bitmap.Get());
    RECT all{0, 0, 50, 40};
    win::GdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
    win::GdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(target.Get(), &all, white.Get());
    {
        CMemDC mem(target.Get());
        EXPECT_TRUE(mem.IsOffScreen());
        EXPECT_EQ(mem.Area().right, 50);
        FillRect(mem, &all, red.Get());
        EXPECT_EQ(GetPixel(target.Get(), 25, 20), RGB(255, 255, 255));
    }
    EXPECT_EQ(GetPixel(target.Get(), 25, 20), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.Get(), 49, 39), RGB(255, 0, 0));

    // Only the clip box is buffered and copied; nothing at all for an empty one.
    FillRect(target.Get(), &all, white.Get());
    IntersectClipRect(target.Get(), 10, 10, 20, 20);
    {
        CMemDC mem(target.Get());
        EXPECT_EQ(mem.Area().left, 10);
        EXPECT_EQ(mem.Area().right, 20);
        FillRect(mem, &all, red.Get());
    }
    SelectClipRgn(target.Get(), nullptr);
    EXPECT_EQ(GetPixel(target.Get(), 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.Get(), 25, 25), RGB(255, 255, 255));

    FillRect(target.Get(), &all, white.Get());
    IntersectClipRect(target.Get(), 10, 10, 10, 10);
    {
        CMemDC mem(target.Get());
        FillRect(mem, &all, red.Get());
    }
    SelectClipRgn(target.Get(), nullptr);
    EXPECT_EQ(GetPixel(target.Get(), 10, 10), RGB(255, 255, 255));
}

TEST(MemDC, OnAPrintingContextDrawingGoesStraightThroughAndTheContextSurvives) {
    win::WindowDC screen(nullptr);
    win::OwnedDC target(CreateCompatibleDC(screen.Get()));
    win::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 20, 20));
    win::SelectGuard select(target.Get(), bitmap.Get());
    {
        CMemDC mem(target.Get(), true);
        EXPECT_FALSE(mem.IsOffScreen());
        EXPECT_EQ(mem.Hdc(), target.Get());
        SetPixel(mem, 5, 5, RGB(0, 0, 255));
        EXPECT_EQ(GetPixel(target.Get(), 5, 5), RGB(0, 0, 255));
    }
    EXPECT_NE(GetDeviceCaps(target.Get(), BITSPIXEL), 0);
    EXPECT_EQ(SetPixel(target.Get(), 6, 6, RGB(0, 255, 0)), RGB(0, 255, 0));
}

using EadxWindow = DisplayTest;

TEST_F(EadxWindow, OpensAtTenFourHundredWithTheTableFillingIt) {
    Multiplier window(TheContest());
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.Hwnd();
    EXPECT_EQ(WindowRect(hwnd).left, 10);
    EXPECT_EQ(WindowRect(hwnd).top, 400);
    EXPECT_EQ(win::WindowTextW(hwnd), L"Multiplier");
    EXPECT_TRUE(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    ASSERT_NE(window.TableButton(), nullptr);

    SetWindowPos(hwnd, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT client;
    GetClientRect(hwnd, &client);
    RECT table = ChildRect(hwnd, window.TableButton());
    EXPECT_EQ(table.left, 1);
    EXPECT_EQ(table.top, 1);
    EXPECT_EQ(table.right, client.right - 3);
    EXPECT_EQ(table.bottom, client.bottom - 3);

    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    SetWindowPos(hwnd, nullptr, 123, 456, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(settings::ReadKey("dxcc_x"), "123");
    EXPECT_EQ(settings::ReadKey("dxcc_y"), "456");
    window.Close();
    EXPECT_EQ(window.Hwnd(), nullptr);
}

TEST_F(EadxWindow, ListModeShowsTheSortedEntitiesOnTheListBackground) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().currentBandSlot = 3;
        TheContest().entityLists[3] = {"K", "EA8", "DL", "EA"};
    }
    Multiplier window(TheContest());
    ASSERT_TRUE(window.Create());
    window.InvalidateTable();
    Shot shot = Capture(window.TableButton());
    shot.Save("multiplier_list");
    const COLORREF background = RGB(255, 250, 198);
    EXPECT_EQ(shot.At(shot.width - 2, shot.height - 2), background);
    EXPECT_EQ(shot.At(2, 40), background);
    // Black lettering in the first line's four cells and nowhere else.
    for (int cell = 0; cell < 4; ++cell) {
        const int x = 5 + 40 * cell;
        EXPECT_GT(shot.Count({x, 0, x + 35, 15}, RGB(0, 0, 0)), 3) << cell;
    }
    EXPECT_EQ(shot.Count({165, 0, shot.width, 15}, RGB(0, 0, 0)), 0);
    EXPECT_EQ(shot.Count({0, 16, shot.width, shot.height}, RGB(0, 0, 0)), 0);
}

TEST_F(EadxWindow, CallModeHighlightsTheCurrentBandRow) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().enteredCall = "EA8AA";
        TheContest().currentBandSlot = 2;
        const char* bands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
        for (int i = 0; i < 6; ++i)
            TheContest().bandTable[static_cast<size_t>(i)] = {bands[i], "", "", "", ""};
        TheContest().bandTable[2] = {"40m", "CW", "1203", "TF", ""};
    }
    Multiplier window(TheContest());
    ASSERT_TRUE(window.Create());
    window.InvalidateTable();
    Shot shot = Capture(window.TableButton());
    shot.Save("multiplier_call");
    const int h = shot.height / 7;
    EXPECT_EQ(shot.At(shot.width - 2, h * 3 + 12), RGB(198, 255, 255));
    EXPECT_EQ(shot.At(shot.width - 2, h * 3 + 8), RGB(255, 255, 198));
    EXPECT_EQ(shot.At(shot.width - 2, h * 4 + 2), RGB(255, 255, 198));
    EXPECT_EQ(shot.At(shot.width - 2, 2), RGB(255, 255, 198));
    // The call at the top, the header and the 40m row in black.
    EXPECT_GT(shot.Count({185, 0, 240, 13}, RGB(0, 0, 0)), 5);
    EXPECT_GT(shot.Count({20, 14, 50, 27}, RGB(0, 0, 0)), 5);
    EXPECT_GT(shot.Count({100, h * 3 + 10, 130, h * 3 + 23}, RGB(0, 0, 0)), 5);
    EXPECT_EQ(shot.Count({100, h * 2 + 10, 130, h * 2 + 23}, RGB(0, 0, 0)), 0);
}

}  // namespace

namespace {

// The icon's directory entry as stored in the group resource.
#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconIsOneImageOf25By16In24BitColour) {
    HMODULE module = win::Module();
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_STATS), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr);
    auto* dir = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir[2], 1);  // one image
    auto* entry = reinterpret_cast<const IconDirEntry*>(dir + 3);
    EXPECT_EQ(entry->width, 25);
    EXPECT_EQ(entry->height, 16);
    EXPECT_EQ(entry->bitCount, 24);
}

// A dialog of the layer run modally: it ends itself from its initialisation.
class SelfClosing : public win::DialogBase {
public:
    int inits = 0;
    bool throwOnPaint = false;

protected:
    bool OnInitDialog() override {
        ++inits;
        PostMessageW(Hwnd(), WM_PAINT, 0, 0);
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        return true;
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (msg == WM_PAINT && throwOnPaint) throw std::runtime_error("paint failed");
        return DialogBase::OnMessage(msg, wParam, lParam, result);
    }
};

TEST(DialogLayer, ModalDialogEndsWithCancelOnCloseAndNothingThrownEscapes) {
    SelfClosing dialog;
    dialog.throwOnPaint = true;
    EXPECT_EQ(dialog.DoModal(IDD_MULTIPLIER, nullptr), IDCANCEL);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    EXPECT_EQ(win::DialogBase().DoModal(9999, nullptr), -1);  // no such template
}

TEST_F(EadxWindow, OnTopFlagAndCyrillicCaption) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().onTop = 1;
    }
    Multiplier window(TheContest());
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(GetWindowLongW(window.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // "Множители" in code page 1251.
    window.SetCaption("\xCC\xED\xEE\xE6\xE8\xF2\xE5\xEB\xE8", 1251);
    EXPECT_EQ(win::WindowTextW(window.Hwnd()),
              L"\x041C\x043D\x043E\x0436\x0438\x0442\x0435\x043B\x0438");
    window.SetCaption("EADX100 20m", 1251);
    EXPECT_EQ(win::WindowTextW(window.Hwnd()), L"EADX100 20m");
}

}  // namespace
