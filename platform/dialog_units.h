#pragma once

// Dialog templates are laid out in dialog units: a quarter of the font's
// average character width across, an eighth of its height down.
struct DialogBaseUnits {
    int width = 0;   // average character width, pixels
    int height = 0;  // character height, pixels
};

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Rounded as the window system rounds, to the nearest pixel.
int HorizontalPixels(int dialogUnits, DialogBaseUnits base);
int VerticalPixels(int dialogUnits, DialogBaseUnits base);
DialogRect ToPixels(const DialogRect& dialogUnits, DialogBaseUnits base);
