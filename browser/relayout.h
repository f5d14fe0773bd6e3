#pragma once

#include <vector>

// Proportional relayout of the main window: every child is scaled by the
// ratio of the new client size to the size of the previous relayout.

struct ClientSize {
    int width = 0;
    int height = 0;
};

struct ChildRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const ChildRect& other) const
    {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// How the window's size changed.
enum class SizeChange {
    Restored,
    Minimized,
    Maximized,
};

struct ScaleFactors {
    float x = 1.0f;
    float y = 1.0f;
};

// Only a restore or a maximise relayouts; a minimise leaves the children and
// the reference size alone.
bool RelayoutFollows(SizeChange change);

// Factors kept in single precision; an axis whose reference is not positive
// keeps its children where they are.
ScaleFactors RelayoutFactors(ClientSize reference, ClientSize client);

// Each coordinate times its factor, truncated toward zero. No correction is
// carried from one relayout to the next.
ChildRect ScaleChildRect(const ChildRect& rect, ScaleFactors factors);

struct RelayoutResult {
    ClientSize reference;  // the reference of the next relayout
    std::vector<ChildRect> children;
};

// One size change of the window: after a restore or a maximise every child is
// scaled and the client size becomes the reference; otherwise nothing moves.
RelayoutResult Relayout(SizeChange change, ClientSize reference, ClientSize client,
                        std::vector<ChildRect> children);
