// What Windows reads from a released vulkara.scr before running any of its code: the version
// resource (file properties, the uninstall entry), the application manifest (DPI awareness,
// compatibility) and the icon. Read through the system's own functions under Wine.
//   vulkara-releasetests PATH_OF_VULKARA_SCR [GoogleTest options]
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
std::string g_strScrPath;

// A host path as Wine shows it (the host's root is drive Z); Windows paths stay as they are.
std::string WindowsPath(const std::string& strPath)
{
    if (strPath.empty() || strPath[0] != '/')
        return strPath;
    std::string strResult = "Z:" + strPath;
    for (char& c : strResult)
        if (c == '/')
            c = '\\';
    return strResult;
}

class CVersionInfo
{
public:
    explicit CVersionInfo(const std::string& strPath)
    {
        DWORD dwHandle = 0;
        const DWORD dwSize = ::GetFileVersionInfoSizeA(strPath.c_str(), &dwHandle);
        if (dwSize == 0)
            return;
        m_data.resize(dwSize);
        if (!::GetFileVersionInfoA(strPath.c_str(), 0, dwSize, m_data.data()))
            m_data.clear();
    }

    bool IsValid() const { return !m_data.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const
    {
        void* pValue = nullptr;
        UINT nLength = 0;
        if (!Query("\\", &pValue, &nLength) || nLength < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(pValue);
    }

    // The string of the first translation the resource lists, as Explorer shows it.
    bool String(const char* pszName, std::string& strValue) const
    {
        void* pValue = nullptr;
        UINT nLength = 0;
        if (!Query("\\VarFileInfo\\Translation", &pValue, &nLength) || nLength < 4)
            return false;
        const WORD* pTranslation = static_cast<const WORD*>(pValue);
        char szPath[128];
        wsprintfA(szPath, "\\StringFileInfo\\%04x%04x\\%s", pTranslation[0], pTranslation[1],
                  pszName);
        if (!Query(szPath, &pValue, &nLength))
            return false;
        strValue.assign(static_cast<const char*>(pValue));
        return true;
    }

private:
    bool Query(const char* pszPath, void** ppValue, UINT* pnLength) const
    {
        return ::VerQueryValueA(m_data.data(), pszPath, ppValue, pnLength) != FALSE;
    }

    std::vector<char> m_data;
};

// The image's resources without running it; works for either bitness.
class CResourceImage
{
public:
    explicit CResourceImage(const std::string& strPath)
        : m_hModule(::LoadLibraryExA(strPath.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~CResourceImage()
    {
        if (m_hModule != nullptr)
            ::FreeLibrary(m_hModule);
    }
    CResourceImage(const CResourceImage&) = delete;
    CResourceImage& operator=(const CResourceImage&) = delete;

    bool IsLoaded() const { return m_hModule != nullptr; }

    bool Bytes(LPCSTR pszName, LPCSTR pszType, std::string& strData) const
    {
        HRSRC hInfo = ::FindResourceA(m_hModule, pszName, pszType);
        if (hInfo == nullptr)
            return false;
        HGLOBAL hData = ::LoadResource(m_hModule, hInfo);
        const void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
        if (pData == nullptr)
            return false;
        strData.assign(static_cast<const char*>(pData), ::SizeofResource(m_hModule, hInfo));
        return true;
    }

private:
    HMODULE m_hModule;
};

// The text between <tag ...> and </tag>, or "" when the element is missing.
std::string ElementText(const std::string& strXml, const std::string& strTag)
{
    const size_t nOpen = strXml.find("<" + strTag);
    if (nOpen == std::string::npos)
        return "";
    const size_t nStart = strXml.find('>', nOpen);
    const size_t nEnd = strXml.find("</" + strTag + ">", nOpen);
    if (nStart == std::string::npos || nEnd == std::string::npos || nEnd < nStart)
        return "";
    return strXml.substr(nStart + 1, nEnd - nStart - 1);
}

// The manifest as the loader reads it: without its comments.
std::string WithoutComments(std::string strXml)
{
    size_t nOpen;
    while ((nOpen = strXml.find("<!--")) != std::string::npos)
    {
        const size_t nClose = strXml.find("-->", nOpen);
        strXml.erase(nOpen, nClose == std::string::npos ? std::string::npos : nClose + 3 - nOpen);
    }
    return strXml;
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE bWidth;
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)
} // namespace

TEST(ReleaseResources, VersionResourceNamesTheProductAndItsVersion)
{
    CVersionInfo info(g_strScrPath);
    ASSERT_TRUE(info.IsValid()) << "no version resource in " << g_strScrPath;

    const VS_FIXEDFILEINFO* pFixed = info.Fixed();
    ASSERT_NE(pFixed, nullptr);
    EXPECT_EQ(pFixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(pFixed->dwFileVersionMS), VULKARA_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(pFixed->dwFileVersionMS), VULKARA_VERSION_MINOR);
    EXPECT_EQ(pFixed->dwProductVersionMS, pFixed->dwFileVersionMS);
    EXPECT_EQ(pFixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(pFixed->dwFileFlags & pFixed->dwFileFlagsMask & VS_FF_DEBUG, 0u);

    const struct
    {
        const char* pszName;
        const char* pszExpected; // null: any non-empty text
    } strings[] = {
        {"ProductName", "Vulkara"},          {"FileDescription", "Vulkara Screen Saver"},
        {"FileVersion", VULKARA_VERSION},    {"ProductVersion", VULKARA_VERSION},
        {"OriginalFilename", "vulkara.scr"}, {"CompanyName", nullptr},
        {"LegalCopyright", nullptr},
    };
    for (const auto& s : strings)
    {
        std::string strValue;
        ASSERT_TRUE(info.String(s.pszName, strValue)) << s.pszName << " is missing";
        if (s.pszExpected != nullptr)
            EXPECT_EQ(strValue, s.pszExpected) << s.pszName;
        else
            EXPECT_FALSE(strValue.empty()) << s.pszName;
    }
}

TEST(ReleaseResources, ManifestIsDpiAwareWithoutCompatibilityOrNewControls)
{
    CResourceImage image(g_strScrPath);
    ASSERT_TRUE(image.IsLoaded()) << g_strScrPath;
    std::string strManifest;
    ASSERT_TRUE(image.Bytes(MAKEINTRESOURCEA(1), RT_MANIFEST, strManifest))
        << "no process manifest (type 24, id 1)";
    strManifest = WithoutComments(strManifest);

    // Per-monitor where the system knows it, system aware on older systems; the older element
    // comes first, where systems that read only it find it.
    EXPECT_EQ(ElementText(strManifest, "dpiAware"), "true");
    EXPECT_EQ(ElementText(strManifest, "dpiAwareness"), "PerMonitorV2");
    // Any supportedOS entry of Windows 8 or later takes the 8-bit display modes away.
    EXPECT_EQ(strManifest.find("<supportedOS"), std::string::npos);
    EXPECT_EQ(strManifest.find("compatibility.v1"), std::string::npos);
    EXPECT_EQ(strManifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    // A screen saver never asks for elevation.
    EXPECT_NE(strManifest.find("level=\"asInvoker\""), std::string::npos);

    // The loader must accept it: a manifest it rejects stops the program from starting.
    ACTCTXA actctx = {};
    actctx.cbSize = sizeof(actctx);
    actctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    actctx.lpSource = g_strScrPath.c_str();
    actctx.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE hContext = ::CreateActCtxA(&actctx);
    EXPECT_NE(hContext, INVALID_HANDLE_VALUE) << "error " << ::GetLastError();
    if (hContext != INVALID_HANDLE_VALUE)
        ::ReleaseActCtx(hContext);
}

TEST(ReleaseResources, FileIconHasTheSizesExplorerShows)
{
    CResourceImage image(g_strScrPath);
    ASSERT_TRUE(image.IsLoaded()) << g_strScrPath;
    std::string strGroup;
    ASSERT_TRUE(image.Bytes(MAKEINTRESOURCEA(IDI_VULKARA), RT_GROUP_ICON, strGroup))
        << "no icon group " << IDI_VULKARA;
    ASSERT_GE(strGroup.size(), 6u);
    const WORD* pHeader = reinterpret_cast<const WORD*>(strGroup.data());
    const WORD nCount = pHeader[2];
    ASSERT_EQ(strGroup.size(), 6u + nCount * sizeof(GroupIconEntry));

    bool bHas16 = false;
    bool bHas32 = false;
    for (WORD i = 0; i < nCount; ++i)
    {
        const GroupIconEntry* pEntry =
            reinterpret_cast<const GroupIconEntry*>(strGroup.data() + 6) + i;
        std::string strIcon;
        EXPECT_TRUE(image.Bytes(MAKEINTRESOURCEA(pEntry->nId), RT_ICON, strIcon))
            << "icon " << pEntry->nId << " of the group is missing";
        EXPECT_EQ(strIcon.size(), pEntry->dwBytesInRes);
        bHas16 = bHas16 || (pEntry->bWidth == 16 && pEntry->bHeight == 16);
        bHas32 = bHas32 || (pEntry->bWidth == 32 && pEntry->bHeight == 32);
    }
    EXPECT_TRUE(bHas16) << "no 16 x 16 icon";
    EXPECT_TRUE(bHas32) << "no 32 x 32 icon";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2)
    {
        fprintf(stderr, "usage: vulkara-releasetests PATH_OF_VULKARA_SCR\n");
        return 2;
    }
    g_strScrPath = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
