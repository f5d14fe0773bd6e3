#pragma once

#include <string_view>

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that
// draws on the processor rather than a graphics chip: Mesa's llvmpipe,
// softpipe, swrast and xlib drivers, OpenSWR and SwiftShader.
bool IsSoftwareRasterizer(std::string_view renderer);
