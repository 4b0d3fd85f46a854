#include "app/behaviour/MainWindowView.h"

MainWindowView::TextPlace MainWindowView::placeOf(Text which)
{
    using enum FormTable::Main;
    using As = TextPlace::As;
    switch (which) {
    case Text::Caption:
        return {std::nullopt, As::Text};
    case Text::Version:
        return {lblVERSION, As::Text};
    case Text::Date:
        return {lblDATE, As::Text};
    case Text::Free:
        return {lblFREE, As::Text};
    case Text::Used:
        return {lblUSED, As::Text};
    case Text::Total:
        return {lblTOTAL, As::Text};
    case Text::FreeDescription:
        return {lblFREE, As::ToolTip};
    case Text::UsedDescription:
        return {lblUSED, As::ToolTip};
    case Text::TotalDescription:
        return {lblTOTAL, As::ToolTip};
    case Text::FreeAccessibleName:
        return {lblFREE, As::AccessibleName};
    case Text::UsedAccessibleName:
        return {lblUSED, As::AccessibleName};
    case Text::TotalAccessibleName:
        return {lblTOTAL, As::AccessibleName};
    case Text::ChartDescription:
        return {picDRIVE, As::Description};
    }
    return {};
}
