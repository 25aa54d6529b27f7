#pragma once
// The EADX100 window: one owner-drawn table button filling a small resizable window. While
// a call is typed it shows how that call was worked on each band; otherwise the entities
// worked on the current band. It lives on the thread that creates it; call every member
// on that thread.
#include <string>

#include "engine/contest.h"
#include "settings/settings.h"
#include "win/control.h"
#include "win/dialog.h"
#include "win/wide_text.h"

class CTablInfoButton : public win::SubclassedControl {
public:
    explicit CTablInfoButton(engine::Contest& contest) : m_contest(contest) {}

protected:
    // Paints from the engine instance, read under its lock, through an off-screen context;
    // the item state does not matter.
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    engine::Contest& m_contest;
};

class Multiplier : public win::DialogBase {
public:
    static constexpr int kTableButtonId = 1016;

    // Shows `contest`, which outlives the window.
    explicit Multiplier(engine::Contest& contest) : m_contest(contest), m_table(contest) {}

    // Creates the window (no parent) at its saved position and shows it; false on failure.
    bool Create();
    // Sets the caption from text stored in `codePage`.
    void SetCaption(const std::string& text, unsigned codePage = win::kCyrillicCodePage);
    // Asks the table button to repaint from the current state (no erase).
    void InvalidateTable();
    // Ends the window as the close message does.
    void Close();

    HWND TableButton() const { return m_table.Hwnd(); }

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    bool OnInitDialog() override;

private:
    void OnSize();
    void OnSetCursor();

    engine::Contest& m_contest;
    CTablInfoButton m_table;
    settings::PositionCache m_position;
};
