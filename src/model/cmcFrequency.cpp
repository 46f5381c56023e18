#include "model/cmcFrequency.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int64_t GridSpan = 75000; // the common multiple of every grid the receiver uses

// The candidate grids, in the order they are preferred on equal distance: 75,000 Hz is
// divided into this many steps (5, 6.25, 7.5 and 8.33 kHz).
constexpr int Divisions[] = {15, 12, 10, 9};

struct GridPoint {
    int64_t point;
    int64_t step;
};

// The grid point of r (0 <= r < 75,000) for n divisions. The point is scaled after the
// multiplication, so the 8.33 kHz grid lands on 8,333, 16,666, 25,000, 33,333 ...
GridPoint NearestPoint(int64_t r, int n) {
    const int64_t units = (r / (7500 / n) + 5) / 10;
    return {units * GridSpan / n, GridSpan / n};
}

} // namespace

uint32_t SnapFrequency(uint32_t f, int band, bool isOffset) {
    const int64_t value = f;
    int64_t snapped = value;
    if (!(band == 1 && value % 9000 == 0)) {
        const int64_t r = value % GridSpan;
        const int candidates = band == 5 ? 4 : 3;
        GridPoint best = NearestPoint(r, Divisions[0]);
        int64_t bestDistance = std::abs(best.point - r);
        for (int i = 1; i < candidates && bestDistance != 0; ++i) {
            const GridPoint point = NearestPoint(r, Divisions[i]);
            const int64_t distance = std::abs(point.point - r);
            if (distance < bestDistance) best = point, bestDistance = distance;
        }
        snapped = value / GridSpan * GridSpan + best.point;
        // Rounding up past the top of the range takes the grid point below instead.
        if (snapped > int64_t(UINT32_MAX)) snapped -= best.step;
    }
    if (isOffset) snapped = std::min<int64_t>(snapped, OffsetLimitHz);
    return static_cast<uint32_t>(snapped);
}

uint32_t RoundTrainFrequency(uint32_t hz) {
    const int64_t rounded = (int64_t(hz) + 5) / 10 * 10;
    return static_cast<uint32_t>(std::clamp<int64_t>(rounded, TrainLowHz, TrainHighHz));
}

std::string FormatMegahertz(uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%3u.%06u", hz / 1000000, hz % 1000000);
    return text;
}

std::optional<int64_t> ReadDecimal(const std::string& text, int scaleDigits) {
    std::string kept;
    for (char ch : text) {
        if (kept.size() == 9) break;
        if ((ch >= '0' && ch <= '9') || ch == '.' || ch == '-') kept += ch;
    }
    size_t i = 0;
    const bool negative = i < kept.size() && kept[i] == '-';
    if (negative) ++i;
    int64_t magnitude = 0;
    bool anyDigit = false;
    for (; i < kept.size() && kept[i] >= '0' && kept[i] <= '9'; ++i, anyDigit = true)
        magnitude = magnitude * 10 + (kept[i] - '0');
    int fractionDigits = 0;
    bool roundUp = false;
    if (i < kept.size() && kept[i] == '.') {
        for (++i; i < kept.size() && kept[i] >= '0' && kept[i] <= '9'; ++i, anyDigit = true) {
            if (fractionDigits < scaleDigits) {
                magnitude = magnitude * 10 + (kept[i] - '0');
                ++fractionDigits;
            } else if (fractionDigits == scaleDigits) {
                roundUp = kept[i] >= '5';
                ++fractionDigits; // only the first dropped digit decides
            }
        }
    }
    if (!anyDigit) return std::nullopt;
    for (int d = std::min(fractionDigits, scaleDigits); d < scaleDigits; ++d)
        magnitude *= 10;
    if (roundUp) ++magnitude;
    return negative ? -magnitude : magnitude;
}

std::optional<uint32_t> ParseMegahertz(const std::string& text, uint32_t lowHz, uint32_t highHz) {
    const auto hz = ReadDecimal(text, 6);
    if (!hz) return std::nullopt;
    return static_cast<uint32_t>(std::clamp<int64_t>(*hz, lowHz, highHz));
}
