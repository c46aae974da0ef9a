#pragma once
// A drawing surface handed to CView::OnDraw. Views whose widget paints
// itself (list views) ignore it; others draw with the painter, which is
// valid for the duration of the call only.

class QPainter;

class CDC {
public:
    CDC() = default;
    explicit CDC(QPainter* pPainter) : m_pPainter(pPainter) {}
    QPainter* GetPainter() const { return m_pPainter; }

private:
    QPainter* m_pPainter = nullptr;
};
