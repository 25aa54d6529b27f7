#pragma once
// The shapes' and the table's drawing operations on a real context. Every pen and brush is
// created for one call and deleted before it returns.
#include <windows.h>

#include "display/info_table.h"
#include "display/shapes.h"

namespace display {

RECT ToRECT(const Rect& r);
Rect FromRECT(const RECT& r);

class GdiShapeCanvas final : public ShapeCanvas {
public:
    explicit GdiShapeCanvas(HDC dc) : m_dc(dc) {}
    void Ellipse(const Rect& r, const Pen& pen) override;
    void FillSolid(const Rect& r, Color color) override;
    void Draw3dRect(const Rect& r, Color topLeft, Color bottomRight) override;
    void DrawFocusRect(const Rect& r) override;
    void SetBkTransparent(bool transparent) override;
    void SetBkColor(Color color) override;
    Color SetTextColor(Color color) override;
    void DrawCentredText(const Rect& r, const std::wstring& text) override;

private:
    HDC m_dc;
};

class GdiTableCanvas final : public TableCanvas {
public:
    explicit GdiTableCanvas(HDC dc) : m_dc(dc) {}
    void FillSolid(const Rect& r, Color color) override;
    void SetBkTransparent(bool transparent) override;
    void DrawTextAt(int x, int y, const std::string& text) override;

private:
    HDC m_dc;
};

}  // namespace display
