// The system's two Japanese faces come from the IPA fonts; the text itself is tested through
// the drawing core's text runs.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/font.h"
#include "tests/support/headless.h"

namespace
{

platform::Font* FaceOf(const std::string& utf8)
{
    platform::LogFont d{};
    d.height = 12;
    d.weight = platform::kWeightNormal;
    d.charSet = platform::kShiftJisCharSet;
    std::strncpy(d.faceName, testing_support::Cp932(utf8).c_str(), sizeof d.faceName - 1);
    return platform::CreateFont(d);
}

TEST(DcFonts, SystemFacesAreTheIpaFonts)
{
    platform::Font* mincho = FaceOf("標準明朝");
    platform::Font* gothic = FaceOf("標準ゴシック");
    // IPA Mincho and IPA Gothic, under whichever of their packaged names.
    std::string m = platform::FontFile(mincho);
    std::string g = platform::FontFile(gothic);
    EXPECT_TRUE(m.find("ipam.ttf") != std::string::npos || m.find("mincho") != std::string::npos)
        << m;
    EXPECT_TRUE(g.find("ipag.ttf") != std::string::npos || g.find("gothic") != std::string::npos)
        << g;
    EXPECT_NE(m, g);
    platform::DeleteFont(mincho);
    platform::DeleteFont(gothic);
}

} // namespace
