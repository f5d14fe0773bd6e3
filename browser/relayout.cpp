#include "browser/relayout.h"

#include <utility>

namespace {

float AxisFactor(int reference, int client)
{
    if (reference <= 0)
        return 1.0f;
    return static_cast<float>(static_cast<double>(client) / reference);
}

int ScaleCoordinate(int coordinate, float factor)
{
    return static_cast<int>(static_cast<float>(coordinate) * factor);
}

}

bool RelayoutFollows(SizeChange change)
{
    return change == SizeChange::Restored || change == SizeChange::Maximized;
}

ScaleFactors RelayoutFactors(ClientSize reference, ClientSize client)
{
    return {AxisFactor(reference.width, client.width), AxisFactor(reference.height, client.height)};
}

ChildRect ScaleChildRect(const ChildRect& rect, ScaleFactors factors)
{
    return {ScaleCoordinate(rect.left, factors.x), ScaleCoordinate(rect.top, factors.y),
            ScaleCoordinate(rect.right, factors.x), ScaleCoordinate(rect.bottom, factors.y)};
}

RelayoutResult Relayout(SizeChange change, ClientSize reference, ClientSize client,
                        std::vector<ChildRect> children)
{
    if (!RelayoutFollows(change))
        return {reference, std::move(children)};
    const ScaleFactors factors = RelayoutFactors(reference, client);
    for (ChildRect& child : children)
        child = ScaleChildRect(child, factors);
    return {client, std::move(children)};
}
