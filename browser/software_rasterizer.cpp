#include "browser/software_rasterizer.h"

namespace {

bool StartsWith(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

}

bool IsSoftwareRasterizer(std::string_view renderer)
{
    // Hardware drivers may name LLVM too (VMware's "SVGA3D; build: RELEASE;
    // LLVM;"), so only the software drivers' own names count.
    constexpr std::string_view kNames[] = {"llvmpipe", "softpipe", "Software Rasterizer", "Mesa X11",
                                           "SWR (", "SwiftShader", "Google SwiftShader"};
    for (const std::string_view name : kNames) {
        if (StartsWith(renderer, name))
            return true;
    }
    return false;
}
