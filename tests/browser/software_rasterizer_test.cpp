#include "browser/software_rasterizer.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct RendererCase {
    const char* name;
    const char* renderer;
    bool software;
};

class SoftwareRasterizerTest : public testing::TestWithParam<RendererCase> {};

TEST_P(SoftwareRasterizerTest, TellsProcessorFromGraphicsChip)
{
    EXPECT_EQ(IsSoftwareRasterizer(GetParam().renderer), GetParam().software);
}

// Renderer strings as the drivers report them.
const RendererCase kCases[] = {
    {"Llvmpipe", "llvmpipe (LLVM 15.0.6, 256 bits)", true},
    {"Softpipe", "softpipe", true},
    {"ClassicSwrast", "Software Rasterizer", true},
    {"XlibDriver", "Mesa X11", true},
    {"OpenSwr", "SWR (LLVM 11.0.1, 256 bits)", true},
    {"SwiftShader", "Google SwiftShader", true},
    {"IntelGraphics", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
    {"AmdGraphics", "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
    {"NvidiaDriver", "NVIDIA GeForce GT 1030/PCIe/SSE2", false},
    {"VmwareHost3d", "SVGA3D; build: RELEASE;  LLVM;", false},
    {"VirglHost3d", "virgl (Intel(R) UHD Graphics 630)", false},
    {"NameInsideAnotherName", "Radeon with llvmpipe fallback", false},
    {"Empty", "", false},
};

INSTANTIATE_TEST_SUITE_P(Renderers, SoftwareRasterizerTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RendererCase>& info) {
                             return std::string(info.param.name);
                         });

}
