#include "dialog/meters/metter_host_win32.h"

#include "dialog/meters/gdi_canvas_win32.h"

void HostMetter(TPanel& panel, TMetterControl& control) {
    TMetterControl* hosted = &control;
    TPanel* host = &panel;
    panel.OnPaintFace = [hosted](HDC dc, int width, int height) {
        hosted->SetSize(width, height);
        TGdiCanvas canvas(dc);
        hosted->PaintFace(canvas);
    };
    panel.OnPaint = [hosted](HDC dc, int width, int height) {
        hosted->SetSize(width, height);
        TGdiCanvas canvas(dc);
        hosted->PaintIndicator(canvas);
    };
    panel.FaceKey = [hosted] { return static_cast<std::uint64_t>(hosted->FaceVersion()); };
    panel.ReadoutText = [hosted] { return hosted->ReadoutText(); };
    control.AttachHost([host] { host->Invalidate(); });
    RECT r;
    GetClientRect(panel.Handle(), &r);
    control.SetSize(r.right - r.left - 2, r.bottom - r.top - 2); // inside the bevel
    panel.Invalidate();
}

void UnhostMetter(TPanel& panel) {
    panel.OnPaint = nullptr;
    panel.OnPaintFace = nullptr;
    panel.FaceKey = nullptr;
    panel.ReadoutText = nullptr;
    panel.Invalidate();
}
