// The shipped programs' version resource and manifest, read from the built files.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "testing/e2e_win32.h"

namespace {

// A program of the build folder's bin/ (what ships) as a Windows path.
std::string ShippedProgram(const char* name) {
    return BuildFolder("bin") + name + ".exe";
}

class ProgramResourcesTest : public ::testing::TestWithParam<const char*> {
  protected:
    std::string Path() const { return ShippedProgram(GetParam()); }
};

// A string of the version resource's U.S. English block, or "" when it is missing.
std::string VersionString(const std::vector<char>& info, const char* name) {
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0) {
        return "";
    }
    return std::string(value);
}

TEST_P(ProgramResourcesTest, VersionResourceNamesTheProductAndVersion) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(Path().c_str(), &handle);
    ASSERT_NE(size, 0u) << Path();
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(Path().c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    // Explorer looks the strings up through the translation listed.
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof *translation);
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 1200);

    EXPECT_EQ(VersionString(info, "ProductName"), "VELQ Tellwand");
    EXPECT_EQ(VersionString(info, "ProductVersion"), "1.3");
    EXPECT_EQ(VersionString(info, "FileVersion"), "1.3");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), std::string(GetParam()) + ".exe");
    EXPECT_NE(VersionString(info, "FileDescription").find(GetParam()), std::string::npos)
        << VersionString(info, "FileDescription");
}

TEST_P(ProgramResourcesTest, ManifestAsksForCommonControls6AndNoExecutionLevel) {
    HMODULE module = LoadLibraryExA(Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << Path();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(bytes, nullptr);
    std::string manifest(bytes, SizeofResource(module, resource));
    FreeLibrary(module);

    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << manifest;
    // Either would turn registry virtualization off for a standard user.
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
    EXPECT_EQ(manifest.find("trustInfo"), std::string::npos);
    // A DPI-aware program would draw the remote's picture and its buttons unscaled.
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

// The loader builds the program's activation context from the manifest: it must parse, and
// in that context comctl32.dll must come from the Common-Controls assembly it depends on.
TEST_P(ProgramResourcesTest, ManifestResolvesCommonControls6) {
    std::string path = Path();
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));

    ACTCTX_SECTION_KEYED_DATA redirection = {};
    redirection.cbSize = sizeof redirection;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &redirection))
        << GetLastError();

    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

INSTANTIATE_TEST_SUITE_P(ShippedPrograms, ProgramResourcesTest,
                         ::testing::Values("Tellwand", "WandEdit"));

}  // namespace
