#include "platform/dialog_units.h"

namespace {

// Multiply, then divide with the quotient rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}

int HorizontalPixels(int dialogUnits, DialogBaseUnits base)
{
    return ScaleRounded(dialogUnits, base.width, 4);
}

int VerticalPixels(int dialogUnits, DialogBaseUnits base)
{
    return ScaleRounded(dialogUnits, base.height, 8);
}

DialogRect ToPixels(const DialogRect& dialogUnits, DialogBaseUnits base)
{
    return {HorizontalPixels(dialogUnits.x, base), VerticalPixels(dialogUnits.y, base),
            HorizontalPixels(dialogUnits.width, base), VerticalPixels(dialogUnits.height, base)};
}
