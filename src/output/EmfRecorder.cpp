// The enhanced metafile (EMF) records of the metafile canvas, through libUEMF.
#include <uemf.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "output/MetafileRecorder.h"

namespace kalvex::output {

namespace {

// libUEMF writes its file at the end; it gets a sink and the bytes are taken from its buffer,
// so the file itself is written atomically like every other file of the program.
constexpr const char* kSink = "/dev/null";

U_COLORREF Colour(view::Rgb c) { return colorref3_set(c.R, c.G, c.B); }

U_RECTL Rect(int left, int top, int right, int bottom) {
    U_RECTL r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

// The font name as the NUL-terminated UTF-16 text of a LOGFONT (at most 31 characters).
struct Utf16 {
    explicit Utf16(const std::string& s) : p(U_Utf8ToUtf16le(s.c_str(), 0, nullptr)) {}
    ~Utf16() { std::free(p); }
    Utf16(const Utf16&) = delete;
    Utf16& operator=(const Utf16&) = delete;
    uint16_t* p;
};

class EmfRecorder : public MetafileRecorder {
public:
    EmfRecorder(int width, int height, int dpi) {
        if (emf_start(kSink, 1 << 20, 1 << 20, &et_) != 0 ||
            emf_htable_create(32, 32, &eht_) != 0) {
            Release();
            throw Error("The metafile cannot be created");
        }
        // The reference device is a page of width x height pixels at dpi: the frame in
        // hundredths of a millimetre, the device in pixels and in millimetres.
        const double mm_per_px = 25.4 / dpi;
        auto mm = [&](int px) { return static_cast<int32_t>(core::Nearest(px * mm_per_px)); };
        auto hmm = [&](int px) {
            return static_cast<int32_t>(core::Nearest(px * mm_per_px * 100.0));
        };
        const U_RECTL bounds = Rect(0, 0, width - 1, height - 1);
        const U_RECTL frame = Rect(0, 0, hmm(width) - 1, hmm(height) - 1);
        Utf16 description("Kalvex\1NMR spectrum\1");
        const auto n_desc = static_cast<U_CBSTR>(wchar16len(description.p) + 1);
        U_Utf16leEdit(description.p, 1, 0);
        Append(U_EMRHEADER_set(bounds, frame, nullptr, n_desc, description.p,
                               sizel_set(width, height), sizel_set(mm(width), mm(height)), 0));
        Append(U_EMRSETMAPMODE_set(U_MM_TEXT));
        Append(U_EMRSETBKMODE_set(U_TRANSPARENT));
        Append(U_EMRSETTEXTALIGN_set(U_TA_TOP | U_TA_LEFT | U_TA_NOUPDATECP));
        Append(U_EMRSETTEXTCOLOR_set(colorref3_set(0, 0, 0)));
    }

    ~EmfRecorder() override { Release(); }
    EmfRecorder(const EmfRecorder&) = delete;
    EmfRecorder& operator=(const EmfRecorder&) = delete;

    void SelectPen(view::Rgb color, int width, view::PenStyle style) override {
        uint32_t handle = 0;
        if (width <= 1) {
            uint32_t s = U_PS_SOLID;
            if (style == view::PenStyle::kDash) s = U_PS_DASH;
            if (style == view::PenStyle::kDot) s = U_PS_DOT;
            if (style == view::PenStyle::kDashDot) s = U_PS_DASHDOT;
            Append(
                createpen_set(&handle, eht_, logpen_set(s, point32_set(width, 0), Colour(color))));
        } else {
            // Wide output pens end flat, as on the screen, so the dashes of the broken
            // styles keep their length.
            PU_EXTLOGPEN elp = extlogpen_set(
                U_PS_GEOMETRIC | U_PS_SOLID | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER,
                static_cast<uint32_t>(width), U_BS_SOLID, Colour(color), 0, 0, nullptr);
            Append(extcreatepen_set(&handle, eht_, nullptr, 0, nullptr, elp));
            std::free(elp);
        }
        Replace(pen_, handle);
    }

    void SelectBrush(view::Rgb color) override {
        uint32_t handle = 0;
        Append(createbrushindirect_set(&handle, eht_,
                                       logbrush_set(U_BS_SOLID, Colour(color), U_HS_SOLIDCLR)));
        Replace(brush_, handle);
    }

    void SelectFont(const std::string& face, int pixel_height, bool symbol) override {
        Utf16 name(face.substr(0, 31));
        Utf16 style("Normal");
        const U_LOGFONT lf = logfont_set(-pixel_height, 0, 0, 0, U_FW_NORMAL, 0, 0, 0,
                                         symbol ? U_SYMBOL_CHARSET : U_ANSI_CHARSET,
                                         U_OUT_DEFAULT_PRECIS, U_CLIP_DEFAULT_PRECIS,
                                         U_DEFAULT_QUALITY, U_DEFAULT_PITCH | U_FF_ROMAN, name.p);
        const U_PANOSE no_fit = panose_set(1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
        U_LOGFONT_PANOSE elfw = logfont_panose_set(lf, name.p, style.p, 0, no_fit);
        uint32_t handle = 0;
        Append(extcreatefontindirectw_set(&handle, eht_, nullptr,
                                          reinterpret_cast<const char*>(&elfw)));
        Replace(font_, handle);
    }

    void SetNotXor(bool on) override {
        Append(U_EMRSETROP2_set(on ? U_R2_NOTXORPEN : U_R2_COPYPEN));
    }

    void MoveTo(view::Point p) override { Append(U_EMRMOVETOEX_set(point32_set(p.X, p.Y))); }

    void LineTo(view::Point p) override { Append(U_EMRLINETO_set(point32_set(p.X, p.Y))); }

    void Polyline(std::span<const view::Point> points) override {
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        for (const view::Point& p : points) {
            left = std::min(left, p.X);
            right = std::max(right, p.X);
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
        const U_RECTL bounds = Rect(left, top, right, bottom);
        const auto count = static_cast<uint32_t>(points.size());
        // The 16-bit record is half the size; anything larger needs the 32-bit one.
        if (left >= INT16_MIN && right <= INT16_MAX && top >= INT16_MIN && bottom <= INT16_MAX) {
            std::vector<U_POINT16> pts;
            pts.reserve(points.size());
            for (const view::Point& p : points) {
                pts.push_back(point16_set(static_cast<int16_t>(p.X), static_cast<int16_t>(p.Y)));
            }
            Append(U_EMRPOLYLINE16_set(bounds, count, pts.data()));
        } else {
            std::vector<U_POINTL> pts;
            pts.reserve(points.size());
            for (const view::Point& p : points) pts.push_back(point32_set(p.X, p.Y));
            Append(U_EMRPOLYLINE_set(bounds, count, pts.data()));
        }
    }

    void Ellipse(int left, int top, int right, int bottom) override {
        Append(U_EMRELLIPSE_set(Rect(left, top, right, bottom)));
    }

    void Text(view::Point at, std::string_view text, const std::vector<int>& advances) override {
        if (text.empty()) return;
        // Latin-1 to UTF-16: every byte is its own code point.
        std::vector<uint16_t> utf16(text.begin(), text.end());
        for (std::size_t i = 0; i < text.size(); ++i)
            utf16[i] = static_cast<unsigned char>(text[i]);
        std::vector<uint32_t> dx(advances.begin(), advances.end());
        char* emrtext = emrtext_set(point32_set(at.X, at.Y), static_cast<U_NUM_STR>(utf16.size()),
                                    2, utf16.data(), U_ETO_NONE, Rect(0, 0, -1, -1), dx.data());
        if (emrtext == nullptr) throw Error("The metafile cannot hold the text");
        char* rec = U_EMREXTTEXTOUTW_set(Rect(0, 0, -1, -1), U_GM_COMPATIBLE, 1.0f, 1.0f,
                                         reinterpret_cast<PU_EMRTEXT>(emrtext));
        std::free(emrtext);
        Append(rec);
    }

    std::string Finish() override {
        for (uint32_t* h : {&pen_, &brush_, &font_}) {
            if (*h != 0) {
                Append(selectobject_set(h == &pen_     ? U_BLACK_PEN
                                        : h == &brush_ ? U_WHITE_BRUSH
                                                       : U_DEVICE_DEFAULT_FONT,
                                        eht_));
                Append(deleteobject_set(h, eht_));
            }
        }
        Append(U_EMREOF_set(0, nullptr, et_));
        if (emf_finish(et_, eht_) != 0) throw Error("The metafile cannot be completed");
        std::string bytes(et_->buf, et_->used);
        Release();
        return bytes;
    }

private:
    void Append(char* rec) {
        if (rec == nullptr || emf_append(reinterpret_cast<PU_ENHMETARECORD>(rec), et_, 1) != 0) {
            std::free(rec);
            throw Error("The metafile cannot hold the drawing");
        }
    }

    // Selects the new object and deletes the one it replaces.
    void Replace(uint32_t& current, uint32_t fresh) {
        Append(selectobject_set(fresh, eht_));
        if (current != 0) Append(deleteobject_set(&current, eht_));
        current = fresh;
    }

    void Release() {
        if (et_ != nullptr) emf_free(&et_);
        if (eht_ != nullptr) emf_htable_free(&eht_);
    }

    EMFTRACK* et_ = nullptr;
    EMFHANDLES* eht_ = nullptr;
    uint32_t pen_ = 0;
    uint32_t brush_ = 0;
    uint32_t font_ = 0;
};

}  // namespace

std::unique_ptr<MetafileRecorder> MakeEmfRecorder(int width, int height, int dpi) {
    return std::make_unique<EmfRecorder>(width, height, dpi);
}

}  // namespace kalvex::output
