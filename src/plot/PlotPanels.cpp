#include "plot/PlotPanels.h"

namespace kolvane {

const std::vector<PanelShape>& YearPanels() {
    using enum SeriesStyle;
    using enum AxisSide;
    const auto axis = [](const char16_t* title, bool includeZero, double defaultHigh,
                         std::optional<QColor> colour = std::nullopt) {
        return AxisSpec{QString::fromUtf16(title), includeZero, defaultHigh, colour};
    };
    static const std::vector<PanelShape> panels{
        {axis(u"気温 (°C)", false, 30),
         std::nullopt,
         {{&SeriesDay::tempMax, Line, Left, colour::TEMP_MAX, QStringLiteral("最高気温")},
          {&SeriesDay::temp, Line, Left, colour::TEMP_MEAN, QStringLiteral("平均気温")},
          {&SeriesDay::tempMin, Line, Left, colour::TEMP_MIN, QStringLiteral("最低気温")}},
         3},
        {axis(u"降水量 (mm/日)", true, 10),
         std::nullopt,
         {{&SeriesDay::precip, Bars, Left, colour::PRECIP, {}}},
         2},
        {axis(u"日射 (MJ/m²/日)", true, 30, colour::SOLAR),
         axis(u"日照 (h/日)", true, 12, colour::SUNSHINE_TEXT),
         {{&SeriesDay::sunshine, Bars, Right, colour::SUNSHINE, {}},
          {&SeriesDay::solar, Line, Left, colour::SOLAR, {}}},
         2.4},
        {axis(u"水面蒸発 (mm/日)", true, 5),
         std::nullopt,
         {{&SeriesDay::evaporation, Line, Left, colour::EVAPORATION, {}}},
         1.8},
    };
    return panels;
}

} // namespace kolvane
