#pragma once
// The province grid: a small modeless window of 53 elliptic province boxes, green while a
// province is still needed on the current band, magenta with yellow lettering once worked.
// It lives on the thread that creates it; call every member on that thread.
#include <array>
#include <string>

#include "display/advanced_button.h"
#include "display/province_boxes.h"
#include "engine/contest.h"
#include "settings/settings.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/wide_text.h"

class Ea_Province : public win::DialogBase {
public:
    // Shows `contest`, which outlives the window.
    explicit Ea_Province(engine::Contest& contest) : m_contest(contest) {}

    // Creates the window (no parent) at its saved position and shows it; false on failure.
    bool Create();
    // Every box back to needed (green), each repainted at once.
    void ClearMarks();
    // Marks the boxes of `code` (exact, case-sensitive) worked; boxes already marked stay
    // as they are. "SMR" lights the box "EA0"; codes without a box mark nothing.
    void MarkProvince(const std::string& code);
    // Copies the worked flags into the boxes' check states.
    void ShowMarks();
    // Sets the caption from text stored in `codePage`.
    void SetCaption(const std::string& text, unsigned codePage = win::kCyrillicCodePage);
    // Ends the window as the close message does.
    void Close();

    bool Worked(int box) const { return m_marks.Worked(box); }
    const CAdvancedButton& Box(int box) const { return m_boxes[static_cast<size_t>(box)]; }

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    bool OnInitDialog() override;

private:
    INT_PTR OnCtlColor(HDC dc);
    void OnSetCursor();
    void Recolour(const std::vector<int>& boxes, display::Color face, display::Color label);

    engine::Contest& m_contest;
    win::GdiObject<HBRUSH> m_brush;
    display::ProvinceMarks m_marks;
    std::array<CAdvancedButton, display::kProvinceBoxCount> m_boxes;
    settings::PositionCache m_position;
};
