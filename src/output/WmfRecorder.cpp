// The old-style Windows metafile (WMF) records of the metafile canvas, through libUEMF.
#include <uwmf.h>

#include <algorithm>
#include <cstdlib>

#include "core/Error.h"
#include "output/MetafileRecorder.h"

namespace kalvex::output {

namespace {

// As for EMF: libUEMF writes into a sink and the bytes are taken from its buffer.
constexpr const char* kSink = "/dev/null";

int16_t Coord(int v) { return static_cast<int16_t>(std::clamp(v, -32767, 32767)); }

U_POINT16 Pt(view::Point p) { return point16_set(Coord(p.X), Coord(p.Y)); }

U_COLORREF Colour(view::Rgb c) { return colorref3_set(c.R, c.G, c.B); }

class WmfRecorder : public MetafileRecorder {
public:
    WmfRecorder(int width, int height, int dpi) {
        if (wmf_start(kSink, 1 << 20, 1 << 20, &wt_) != 0 ||
            wmf_htable_create(32, 32, &wht_) != 0) {
            Release();
            throw Error("The metafile cannot be created");
        }
        // The placeable header gives the frame in inches at dpi; the window maps one logical
        // unit to one pixel of that frame.
        U_PAIRF* size = U_PAIRF_set(static_cast<float>(width) / static_cast<float>(dpi),
                                    static_cast<float>(height) / static_cast<float>(dpi));
        char* header = U_WMRHEADER_set(size, static_cast<unsigned int>(dpi));
        std::free(size);
        if (header == nullptr ||
            wmf_header_append(reinterpret_cast<U_METARECORD*>(header), wt_, 1) != 0) {
            throw Error("The metafile cannot be created");
        }
        Append(U_WMRSETWINDOWEXT_set(point16_set(Coord(width), Coord(height))));
        Append(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
        Append(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
        Append(U_WMRSETBKMODE_set(U_TRANSPARENT));
        Append(U_WMRSETTEXTALIGN_set(U_TA_TOP | U_TA_LEFT | U_TA_NOUPDATECP));
        Append(U_WMRSETTEXTCOLOR_set(colorref3_set(0, 0, 0)));
    }

    ~WmfRecorder() override { Release(); }
    WmfRecorder(const WmfRecorder&) = delete;
    WmfRecorder& operator=(const WmfRecorder&) = delete;

    void SelectPen(view::Rgb color, int width, view::PenStyle style) override {
        uint16_t s = U_PS_SOLID;
        if (width > 1) {
            // Wide pens end flat, as on the screen and in the enhanced metafile.
            s = U_PS_SOLID | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER;
        } else if (style == view::PenStyle::kDash) {
            s = U_PS_DASH;
        } else if (style == view::PenStyle::kDot) {
            s = U_PS_DOT;
        } else if (style == view::PenStyle::kDashDot) {
            s = U_PS_DASHDOT;
        }
        uint32_t handle = 0;
        Append(wcreatepenindirect_set(
            &handle, wht_,
            U_PEN_set(s, static_cast<uint16_t>(std::clamp(width, 0, 32767)), Colour(color))));
        Replace(pen_, handle);
    }

    void SelectBrush(view::Rgb color) override {
        uint32_t handle = 0;
        Append(
            wcreatebrushindirect_set(&handle, wht_, U_WLOGBRUSH_set(U_BS_SOLID, Colour(color), 0)));
        Replace(brush_, handle);
    }

    void SelectFont(const std::string& face, int pixel_height, bool symbol) override {
        std::string name = face.substr(0, 31);
        U_FONT* font = U_FONT_set(
            static_cast<int16_t>(-std::clamp(pixel_height, 1, 32767)), 0, 0, 0, U_FW_NORMAL, 0, 0,
            0, symbol ? U_SYMBOL_CHARSET : U_ANSI_CHARSET, U_OUT_DEFAULT_PRECIS,
            U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY, U_DEFAULT_PITCH | U_FF_ROMAN, name.data());
        uint32_t handle = 0;
        char* rec = wcreatefontindirect_set(&handle, wht_, font);
        std::free(font);
        Append(rec);
        Replace(font_, handle);
    }

    void SetNotXor(bool on) override {
        Append(U_WMRSETROP2_set(on ? U_R2_NOTXORPEN : U_R2_COPYPEN));
    }

    void MoveTo(view::Point p) override { Append(U_WMRMOVETO_set(Pt(p))); }

    void LineTo(view::Point p) override { Append(U_WMRLINETO_set(Pt(p))); }

    void Polyline(std::span<const view::Point> points) override {
        // A chain of lines rather than a polyline record: some readers give WMF polylines
        // the SVG default fill, which paints every peak solid.
        MoveTo(points.front());
        for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i]);
    }

    void Ellipse(int left, int top, int right, int bottom) override {
        Append(U_WMRELLIPSE_set(U_RECT16_set(Pt({left, top}), Pt({right, bottom}))));
    }

    void Text(view::Point at, std::string_view text, const std::vector<int>& advances) override {
        if (text.empty()) return;
        const std::string s(text.substr(0, 32000));
        std::vector<int16_t> dx;
        dx.reserve(s.size());
        for (std::size_t i = 0; i < s.size(); ++i) dx.push_back(Coord(advances[i]));
        const U_RECT16 none = U_RECT16_set(point16_set(0, 0), point16_set(0, 0));
        Append(U_WMREXTTEXTOUT_set(Pt(at), static_cast<int16_t>(s.size()), 0, s.c_str(), dx.data(),
                                   none));
    }

    std::string Finish() override {
        for (uint32_t* h : {&pen_, &brush_, &font_}) {
            if (*h != 0) Append(wdeleteobject_set(h, wht_));
        }
        Append(U_WMREOF_set());
        if (wmf_finish(wt_) != 0) throw Error("The metafile cannot be completed");
        std::string bytes(wt_->buf, wt_->used);
        Release();
        return bytes;
    }

private:
    void Append(char* rec) {
        if (rec == nullptr || wmf_append(reinterpret_cast<U_METARECORD*>(rec), wt_, 1) != 0) {
            std::free(rec);
            throw Error("The metafile cannot hold the drawing");
        }
    }

    void Replace(uint32_t& current, uint32_t fresh) {
        Append(wselectobject_set(fresh, wht_));
        if (current != 0) Append(wdeleteobject_set(&current, wht_));
        current = fresh;
    }

    void Release() {
        if (wt_ != nullptr) wmf_free(&wt_);
        if (wht_ != nullptr) wmf_htable_free(&wht_);
    }

    WMFTRACK* wt_ = nullptr;
    WMFHANDLES* wht_ = nullptr;
    uint32_t pen_ = 0;
    uint32_t brush_ = 0;
    uint32_t font_ = 0;
};

}  // namespace

std::unique_ptr<MetafileRecorder> MakeWmfRecorder(int width, int height, int dpi) {
    return std::make_unique<WmfRecorder>(width, height, dpi);
}

}  // namespace kalvex::output
