#include "html/layout/table_widths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "html/reader/style_values.h"

namespace TableMath {

int MulDivTrunc(int a, int b, int c) {
    if (c == 0) return 0;
    int64_t r = static_cast<int64_t>(a) * b / c;
    if (r > INT32_MAX) return INT32_MAX;
    if (r < INT32_MIN) return INT32_MIN;
    return static_cast<int>(r);
}

int Sum(const std::vector<int>& v) {
    int64_t s = 0;
    for (int x : v) s += x;
    return AddExtent(s, 0);
}

namespace {

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

void SpreadSpan(std::vector<int>& cols, int first, int span, int value) {
    int n = static_cast<int>(cols.size());
    if (first < 0 || first >= n || span < 1) return;
    int last = std::min(n, first + span) - 1;
    int sum = 0;
    for (int c = first; c <= last; ++c) sum += cols[static_cast<size_t>(c)];
    if (sum >= value) return;
    int shortfall = value - sum;
    if (sum <= 0) {
        cols[static_cast<size_t>(first)] += shortfall;
        return;
    }
    for (int c = first; c <= last; ++c)
        cols[static_cast<size_t>(c)] += MulDivTrunc(cols[static_cast<size_t>(c)], shortfall, sum);
}

std::vector<int> FindTableWidths(const std::vector<int>& mins, const std::vector<int>& maxs, int avail,
                                 bool stretch) {
    size_t n = mins.size();
    int totMin = Sum(mins), totMax = Sum(maxs);
    if (totMin >= avail || n == 0) return mins;
    if (totMax <= avail && !stretch) return maxs;
    std::vector<int> w(n);
    if (totMax > totMin) {
        for (size_t i = 0; i < n; ++i) w[i] = mins[i] + MulDivTrunc(maxs[i] - mins[i], avail - totMin, totMax - totMin);
    } else if (totMin > 0) {
        // No column has room: grow in proportion to the minimums.
        for (size_t i = 0; i < n; ++i) w[i] = MulDivTrunc(mins[i], avail, totMin);
    } else {
        for (size_t i = 0; i < n; ++i) w[i] = avail / static_cast<int>(n);
    }
    // Truncated shares never overshoot: hand out what they left over.
    int diff = avail - Sum(w);
    for (size_t i = 0; diff > 0; i = (i + 1) % n) {
        ++w[i];
        --diff;
    }
    return w;
}

std::vector<int> WidthsForFixedTable(const std::vector<int>& mins, const std::vector<int>& maxs,
                                     const std::vector<int>& percents, int tw) {
    size_t n = mins.size();
    std::vector<int> w(n);
    std::vector<bool> fixed(n, false), pct(n, false);
    for (size_t i = 0; i < n; ++i) {
        if (percents[i] > 0) {
            pct[i] = true;
            w[i] = MulDivTrunc(tw, percents[i], 1000);
            if (w[i] <= mins[i]) {
                w[i] = mins[i];
                fixed[i] = true;
            }
        } else {
            w[i] = mins[i];
        }
    }
    int e = Sum(w) - tw;
    if (e > 0) {
        for (int round = 0; round < 4; ++round) {
            int r = 0;
            for (size_t i = 0; i < n; ++i)
                if (pct[i] && !fixed[i]) r += percents[i];
            if (r == 0) break;
            bool changed = false;
            for (size_t i = 0; i < n; ++i)
                if (pct[i] && !fixed[i] && w[i] - MulDivTrunc(e, percents[i], r) < mins[i]) {
                    e -= w[i] - mins[i];
                    w[i] = mins[i];
                    fixed[i] = true;
                    changed = true;
                }
            if (!changed || e <= 0) break;
        }
        int r = 0;
        for (size_t i = 0; i < n; ++i)
            if (pct[i] && !fixed[i]) r += percents[i];
        if (e > 0 && r > 0)
            for (size_t i = 0; i < n; ++i)
                if (pct[i] && !fixed[i]) w[i] -= MulDivTrunc(e, percents[i], r);
    } else if (e < 0) {
        int d = -e;
        int freeCount = 0, room = 0, pctTotal = 0;
        for (size_t i = 0; i < n; ++i) {
            if (!pct[i]) {
                ++freeCount;
                room += std::max(0, maxs[i] - mins[i]);
            } else {
                pctTotal += percents[i];
            }
        }
        if (freeCount == 0) {
            for (size_t i = 0; i < n; ++i)
                if (pct[i]) w[i] += MulDivTrunc(d, percents[i], pctTotal);
        } else if (room > 0 && room >= d / 4) {
            for (size_t i = 0; i < n; ++i)
                if (!pct[i]) w[i] += MulDivTrunc(d, std::max(0, maxs[i] - mins[i]), room);
        } else {
            for (size_t i = 0; i < n; ++i)
                if (!pct[i]) w[i] += d / freeCount;
        }
    }
    int diff = tw - Sum(w);
    if (diff < 0 && n > 0) {
        size_t k = 0;
        while (k < n && fixed[k]) ++k;
        if (k == n) k = 0;
        w[k] = std::max(0, w[k] + diff);
    }
    for (size_t i = 0; diff > 0 && n > 0; i = (i + 1) % n) {
        ++w[i];
        --diff;
    }
    return w;
}

namespace {

// Spreads w over columns without percentages: min + a share of the room, or
// an even share when no column has room; the rounding difference goes to the
// column with the most room.
std::vector<int> SpreadFree(const std::vector<int>& mins, const std::vector<int>& maxs, int w) {
    size_t n = mins.size();
    int totMin = Sum(mins), totMax = Sum(maxs);
    if (n == 0 || totMin >= w) return mins;
    std::vector<int> r(n);
    if (totMax > totMin) {
        for (size_t i = 0; i < n; ++i) r[i] = mins[i] + MulDivTrunc(maxs[i] - mins[i], w - totMin, totMax - totMin);
    } else {
        for (size_t i = 0; i < n; ++i) r[i] = mins[i] + (w - totMin) / static_cast<int>(n);
    }
    size_t widest = 0;
    for (size_t i = 1; i < n; ++i)
        if (maxs[i] - mins[i] > maxs[widest] - mins[widest]) widest = i;
    r[widest] += w - Sum(r);
    return r;
}

}  // namespace

std::vector<int> WidthsForFreeTable(const std::vector<int>& mins, const std::vector<int>& maxs,
                                    const std::vector<int>& percents, int w, bool wantsWidth) {
    size_t n = mins.size();
    int pt = 0;
    for (size_t i = 0; i < n; ++i) pt += std::max(0, percents[i]);
    if (pt < 1 || (pt > 1000 && !wantsWidth)) return SpreadFree(mins, maxs, w);

    int term1 = 0, othersMax = 0;
    bool hasOthers = false;
    for (size_t i = 0; i < n; ++i) {
        if (percents[i] > 0)
            term1 = std::max(term1, MulDivTrunc(maxs[i], 1000, percents[i]));
        else {
            hasOthers = true;
            othersMax += maxs[i];
        }
    }
    int term2 = !hasOthers ? 0 : pt >= 1000 ? 30000 : MulDivTrunc(othersMax, 1000, 1000 - pt);
    int need = std::max(term1, term2);
    if (need <= w) {
        std::vector<int> r(n);
        int othersShare = MulDivTrunc(need, 1000 - std::min(pt, 1000), 1000);
        for (size_t i = 0; i < n; ++i) {
            if (percents[i] > 0)
                r[i] = MulDivTrunc(need, percents[i], 1000);
            else
                r[i] = othersMax == 0 ? 0 : MulDivTrunc(maxs[i], othersShare, othersMax);
            r[i] = std::max(r[i], mins[i]);
        }
        return r;
    }

    // Too narrow for the percentages as asked.
    std::vector<int> p(percents.begin(), percents.end());
    for (size_t round = 0; round <= n; ++round) {
        bool changed = false;
        for (size_t i = 0; i < n; ++i)
            if (p[i] > 0 && MulDivTrunc(w, p[i], 1000) < mins[i]) {
                p[i] = 0;
                changed = true;
            }
        if (!changed) break;
    }
    int pctWidth = 0, otherMin = 0, pRest = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] > 0) {
            pctWidth += MulDivTrunc(w, p[i], 1000);
            pRest += p[i];
        } else {
            otherMin += mins[i];
        }
    }
    if (pRest > 0 && pctWidth + otherMin > w) {
        int room = std::max(0, w - otherMin);
        for (size_t i = 0; i < n; ++i)
            if (p[i] > 0) p[i] = MulDivTrunc(p[i], room, pctWidth);
    }
    std::vector<int> mn(mins.begin(), mins.end()), mx(maxs.begin(), maxs.end());
    for (size_t i = 0; i < n; ++i)
        if (p[i] > 0) {
            // Never below what the content needs.
            mn[i] = std::max(mins[i], MulDivTrunc(w, p[i], 1000));
            mx[i] = mn[i];
        }
    return SpreadFree(mn, mx, w);
}

std::vector<int> DistributeRowHeights(const std::vector<int>& mins, const std::vector<int>& percents,
                                      const std::vector<bool>& flagged, int a) {
    size_t n = mins.size();
    std::vector<int> r(mins.begin(), mins.end());
    if (n == 0) return r;
    int s = Sum(mins);
    std::vector<int> pc(n);
    for (size_t i = 0; i < n; ++i) pc[i] = std::max(mins[i], percents[i]);
    int p = Sum(pc);
    if (s >= a) return r;
    if (p >= a) {
        int used = 0;
        for (size_t i = 0; i + 1 < n; ++i) {
            r[i] = mins[i] + RoundHalfEven(static_cast<double>(pc[i] - mins[i]) * (a - s) / (p - s));
            used += r[i];
        }
        r[n - 1] = a - used;
        return r;
    }
    int unflagged = 0;
    for (size_t i = 0; i < n; ++i)
        if (!flagged[i]) ++unflagged;
    if (unflagged == 0) {
        int used = 0;
        for (size_t i = 0; i + 1 < n; ++i) {
            r[i] = p > 0 ? RoundHalfEven(static_cast<double>(pc[i]) * a / p) : a / static_cast<int>(n);
            used += r[i];
        }
        r[n - 1] = a - used;
        return r;
    }
    int each = (a - p) / unflagged;
    int lastUnflagged = -1;
    for (size_t i = 0; i < n; ++i) {
        r[i] = pc[i];
        if (!flagged[i]) {
            r[i] += each;
            lastUnflagged = static_cast<int>(i);
        }
    }
    r[static_cast<size_t>(lastUnflagged)] += (a - p) - each * unflagged;
    return r;
}

void SpreadRowSpan(std::vector<int>& heights, int first, int span, int value) {
    int n = static_cast<int>(heights.size());
    if (first < 0 || first >= n || span < 1) return;
    int last = std::min(n, first + span) - 1;
    int sum = 0;
    for (int i = first; i <= last; ++i) sum += heights[static_cast<size_t>(i)];
    if (value <= sum) return;
    int count = last - first + 1;
    int each = (value - sum) / count;
    for (int i = first; i <= last; ++i) heights[static_cast<size_t>(i)] += each;
    heights[static_cast<size_t>(last)] += (value - sum) - each * count;
}

}  // namespace TableMath

void TCellManager::EnsureRows(int count) {
    while (static_cast<int>(rows_.size()) < count) rows_.emplace_back(static_cast<size_t>(numCols_), 'o');
}

int TCellManager::FindColNum(int row) {
    if (row < 0) return -1;
    if (row == Count()) EnsureRows(row + 1);
    if (row >= Count()) return -1;
    size_t p = rows_[static_cast<size_t>(row)].find('o');
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

void TCellManager::AddCell(int row, int& colSpan, int rowSpan) {
    if (row < 0) return;
    EnsureRows(row + std::max(1, rowSpan));
    const std::string& first = rows_[static_cast<size_t>(row)];
    size_t start = first.find('o');
    if (start == std::string::npos) return;
    int taken = 0;
    while (taken < colSpan && start + static_cast<size_t>(taken) < first.size() &&
           first[start + static_cast<size_t>(taken)] == 'o')
        ++taken;
    for (int r = row; r < row + std::max(1, rowSpan); ++r)
        for (int c = 0; c < taken; ++c) rows_[static_cast<size_t>(r)][start + static_cast<size_t>(c)] = 'x';
    if (taken > 0) colSpan = taken;
}
