// The Range XY dialog's arithmetic: from typed X values to the first shown point and the count.
#include "tools/RangeXY.h"

#include <cmath>

#include "core/NumberFormat.h"
#include "core/TextToNumber.h"

namespace kalvex::tools {

namespace {

// The full start and step of the current axis unit.
struct Axis {
    double FullStart;
    double Step;
};

Axis AxisOf(const core::Document& doc) {
    if (doc.XAxisPpm) return {doc.RangeFullPpm, doc.XStepPpm};
    return {doc.RangeFullHz, doc.XStepHz};
}

// The gain as Label6 shows it, which is what the arrows' limits compare.
double ShownGain(double y_expand) {
    if (!std::isfinite(y_expand)) return y_expand;
    return core::TextToFloat(core::FormatFixed(y_expand, 3, 2));
}

}  // namespace

RangeTexts RangeShowTexts(const core::Document& doc) {
    const double first = doc.XAxisPpm ? doc.XFirstPpm : doc.XFirstHz;
    const double step = doc.XAxisPpm ? doc.XStepPpm : doc.XStepHz;
    const double factor = doc.XAxisPpm ? 100.0 : 10.0;
    const double end = first - (doc.ViewPointCount - 1) * step;
    // The start is cut and the end cut and raised one unit of the last decimal, so that both
    // typed back unchanged pass OK's test for a view that is not the whole spectrum.
    return {core::FormatGeneral(core::Trunc(first * factor) / factor),
            core::FormatGeneral((core::Trunc(end * factor) + 1) / factor),
            doc.XAxisPpm ? "PPM" : "Hz"};
}

void ShowPoints(core::Document& doc, std::int32_t first, std::int32_t count) {
    doc.ViewFirstPoint = first;
    doc.ViewPointCount = count;
    const Axis axis = AxisOf(doc);
    const double cur = axis.FullStart - (first - 1) * axis.Step;
    if (doc.XAxisPpm) {
        doc.XFirstPpm = cur;
        doc.XFirstHz = cur * doc.ObsFreq;
    } else {
        doc.XFirstHz = cur;
        // Without a usable frequency the ppm follows its own calibration instead of a
        // division by zero.
        const bool usable = std::isfinite(doc.ObsFreq) && doc.ObsFreq > 0.0;
        doc.XFirstPpm = usable ? cur / doc.ObsFreq : doc.RangeFullPpm - (first - 1) * doc.XStepPpm;
    }
}

bool ApplyTypedRange(core::Document& doc, const std::string& edit1, const std::string& edit2,
                     bool edited1, bool edited2) {
    const double xs = core::TextToFloat(edit1);
    const double xe = core::TextToFloat(edit2);
    const Axis axis = AxisOf(doc);
    const double full_end = axis.FullStart - (doc.RangeFullCount - 1) * axis.Step;
    if (!(xe < xs && xs < axis.FullStart && xe > full_end)) return false;

    std::int64_t first = doc.ViewFirstPoint;
    std::int64_t count = doc.ViewPointCount;
    if (edited1) {
        // The last shown point stays where it was.
        const std::int64_t old_first = first;
        first = static_cast<std::int64_t>(core::Trunc((axis.FullStart - xs) / axis.Step)) + 1;
        count += old_first - first;
    }
    if (edited2) {
        if (edited1) {
            const std::int64_t last = core::Nearest((axis.FullStart - xe) / axis.Step) + 1;
            count = last - first + 1;
        } else {
            const double cur = axis.FullStart - (first - 1) * axis.Step;
            count = core::Nearest((cur - xe) / axis.Step) + 1;
        }
    }
    // With negative X values the untouched edit's text can lie beyond the view, which would
    // give an empty or reversed range: such a range is refused like one outside the spectrum.
    if (first < 1 || count < 1 || first + count - 1 > doc.PointCount) return false;
    ShowPoints(doc, static_cast<std::int32_t>(first), static_cast<std::int32_t>(count));
    return true;
}

double SteppedGain(double y_expand, bool fine, GainArrow arrow) {
    const double step = fine ? 0.1 : 1.0;
    const double shown = ShownGain(y_expand);
    double y = y_expand;
    if (arrow == GainArrow::kUp) {
        if (!(shown < 100.1)) return y;
        y += shown >= 1 ? step : step * 0.1;
        if (y > 100.1) y = 100;
    } else {
        if (!(shown > 0)) return y;
        y -= shown < 1.1 ? step * 0.1 : step;
        if (y < 0.009) y = 0.01;
    }
    return y;
}

bool CancelResetsGain(bool edited1, bool edited2, bool y_touched) {
    return !edited1 && !edited2 && y_touched;
}

}  // namespace kalvex::tools
