#include "controls/control_utils.h"

namespace ControlUtils {

std::string FitTextToWidth(const std::string& S, TTextMeasure& Measure, int MaxWidth) {
    if (Measure.TextWidth(S) <= MaxWidth) return S;
    std::string result;
    for (size_t drop = 2;; ++drop) {
        result = (drop < S.size() ? S.substr(0, S.size() - drop) : std::string()) + "...";
        if (drop >= S.size() || Measure.TextWidth(result) <= MaxWidth) return result;
    }
}

}  // namespace ControlUtils
