// The icon, pictures, manifest and version record linked into the executable.
// The test executable carries the same resource object as the program.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pictures.h"
#include "gui/native.h"

namespace {

HINSTANCE self() { return GetModuleHandleW(nullptr); }

std::string_view rawResource(LPCWSTR type, WORD id) {
    HRSRC info = FindResourceW(self(), MAKEINTRESOURCEW(id), type);
    if (!info) return {};
    HGLOBAL data = LoadResource(self(), info);
    return {static_cast<const char*>(LockResource(data)), SizeofResource(self(), info)};
}

// A bitmap resource loaded the way the windows show it, read through a DC so
// the test sees what is drawn, whatever the row order in the file.
class Picture {
public:
    explicit Picture(WORD id)
        : bmp_(static_cast<HBITMAP>(
              LoadImageW(self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
          dc_(CreateCompatibleDC(nullptr)) {
        if (bmp_) {
            GetObjectW(bmp_, sizeof info_, &info_);
            old_ = SelectObject(dc_, bmp_);
        }
    }
    ~Picture() {
        if (old_) SelectObject(dc_, old_);
        DeleteDC(dc_);
        if (bmp_) DeleteObject(bmp_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool loaded() const { return bmp_ != nullptr; }
    const BITMAP& info() const { return info_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }  // (0, 0) top left
    bool white(int x, int y) const { return at(x, y) == RGB(255, 255, 255); }

private:
    HBITMAP bmp_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
    BITMAP info_{};
};

bool gold(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 150 && GetBValue(c) < 100; }

struct Size {
    WORD id;
    LONG width, height;
};

TEST(ResourceBitmaps, HaveTheirSizesAnd24BitsPerPixel) {
    for (Size s : {Size{930, 281, 290}, Size{931, 33, 21}, Size{932, 33, 21}}) {
        SCOPED_TRACE(s.id);
        Picture pic(s.id);
        ASSERT_TRUE(pic.loaded());
        EXPECT_EQ(pic.info().bmWidth, s.width);
        EXPECT_EQ(pic.info().bmHeight, s.height);
        EXPECT_EQ(pic.info().bmBitsPixel, 24);
        // Also as stored: an uncompressed 24-bit DIB, not something the loader converted.
        std::string_view raw = rawResource(RT_BITMAP, s.id);
        ASSERT_GE(raw.size(), sizeof(BITMAPINFOHEADER));
        auto hdr = reinterpret_cast<const BITMAPINFOHEADER*>(raw.data());
        EXPECT_EQ(hdr->biBitCount, 24);
        EXPECT_EQ(hdr->biCompression, DWORD(BI_RGB));
        EXPECT_GE(raw.size(), sizeof *hdr + size_t((s.width * 3 + 3) & ~3) * s.height);
    }
}

TEST(ResourceBitmaps, GermanFlagIsBlackRedGoldFromTheTop) {
    Picture flag(931);
    ASSERT_TRUE(flag.loaded());
    const COLORREF stripes[] = {RGB(0, 0, 0), RGB(0xDD, 0, 0), RGB(0xFF, 0xCE, 0)};
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 33; ++x) ASSERT_EQ(flag.at(x, y), stripes[y / 7]) << x << "," << y;
}

TEST(ResourceBitmaps, EuropeanFlagIsARingOfGoldStarsOnBlue) {
    Picture flag(932);
    ASSERT_TRUE(flag.loaded());
    const COLORREF blue = RGB(0x00, 0x33, 0x99);
    for (POINT p : {POINT{0, 0}, POINT{32, 0}, POINT{0, 20}, POINT{32, 20}, POINT{16, 10}})
        EXPECT_EQ(flag.at(p.x, p.y), blue) << p.x << "," << p.y;
    // Top, bottom, left, right and two diagonal stars.
    for (POINT p : {POINT{16, 2}, POINT{16, 18}, POINT{8, 10}, POINT{24, 10}, POINT{20, 3}, POINT{12, 17}})
        EXPECT_TRUE(gold(flag.at(p.x, p.y))) << p.x << "," << p.y;
    // Twelve small stars, not a filled disc or a gold field.
    int golden = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 33; ++x) golden += gold(flag.at(x, y));
    EXPECT_GE(golden, 12);
    EXPECT_LE(golden, 48);
}

TEST(ResourceBitmaps, MoneyPictureHasNotesLeftAndCoinsRightOnWhite) {
    Picture pic(930);
    ASSERT_TRUE(pic.loaded());
    for (POINT p : {POINT{0, 0}, POINT{280, 0}, POINT{0, 289}, POINT{280, 289}})
        EXPECT_TRUE(pic.white(p.x, p.y)) << p.x << "," << p.y;
    int notes = 0, noteArea = 0, copper = 0, goldish = 0;
    for (int y = 0; y < 290; y += 2)
        for (int x = 0; x < 281; x += 2) {
            COLORREF c = pic.at(x, y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (x < 160) {
                ++noteArea;
                notes += !pic.white(x, y);
            } else if (x >= 200) {
                copper += r > 150 && r - b > 90 && g < r - 40;
                goldish += r > 180 && g > 140 && b < 110 && r - g < 60;
            }
        }
    EXPECT_GT(notes * 2, noteArea);  // the fan covers most of the left part
    EXPECT_GT(copper, 100);
    EXPECT_GT(goldish, 100);
}

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ResourceIcon, IsOne32x32ImageWith8BitsPerPixelAndAMask) {
    std::string_view group = rawResource(RT_GROUP_ICON, 333);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
    auto head = reinterpret_cast<const GroupIconHeader*>(group.data());
    auto entry = reinterpret_cast<const GroupIconEntry*>(head + 1);
    EXPECT_EQ(head->type, 1);
    ASSERT_EQ(head->count, 1);
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    EXPECT_EQ(entry->bitCount, 8);

    std::string_view image = rawResource(RT_ICON, entry->id);
    ASSERT_EQ(image.size(), 40u + 256 * 4 + 32 * 32 + 32 * 4);
    auto hdr = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
    EXPECT_EQ(hdr->biWidth, 32);
    EXPECT_EQ(hdr->biHeight, 64);  // colour image and mask
    EXPECT_EQ(hdr->biBitCount, 8);
    // The mask (rows bottom-up, 1 = transparent) leaves the picture, not a
    // square: clear corners, an opaque middle.
    std::string_view mask = image.substr(image.size() - 32 * 4);
    auto transparent = [&](int x, int y) { return (mask[(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
    for (POINT p : {POINT{0, 0}, POINT{31, 0}, POINT{0, 31}, POINT{31, 31}})
        EXPECT_TRUE(transparent(p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{16, 16}, POINT{23, 23}, POINT{8, 12}})
        EXPECT_FALSE(transparent(p.x, p.y)) << p.x << "," << p.y;

    HICON icon = static_cast<HICON>(LoadImageW(self(), MAKEINTRESOURCEW(333), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    EXPECT_TRUE(ii.fIcon);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectW(ii.hbmColor, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    EXPECT_NE(ii.hbmMask, nullptr);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
}

TEST(ResourceManifest, AsksForCommonControls6AndScalesPerMonitor) {
    std::string_view xml = rawResource(RT_MANIFEST, 1);
    ASSERT_FALSE(xml.empty());
    const std::string text(xml);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    // Systems before Windows 10 read the older element.
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
}

// The pictures again at the sizes of 125, 150 and 200 %, under their numbers.
TEST(ResourceScaledPictures, HoldTheSizesScaledDisplaysAskFor) {
    const struct {
        WORD id;
        int channels;
        std::vector<std::pair<int, int>> sizes;
    } sets[] = {
        {930, 3, {{562, 580}}},
        {931, 3, {{41, 26}, {50, 32}, {66, 42}}},
        {932, 3, {{41, 26}, {50, 32}, {66, 42}}},
        {333, 4, {{20, 20}, {24, 24}, {32, 32}, {40, 40}, {48, 48}, {64, 64}}},
    };
    for (const auto& set : sets) {
        SCOPED_TRACE(set.id);
        std::string_view raw = rawResource(L"SCALED", set.id);
        const auto images = rt::UnpackPictureSet({reinterpret_cast<const uint8_t*>(raw.data()), raw.size()});
        ASSERT_TRUE(images);
        ASSERT_EQ(images->size(), set.sizes.size());
        for (size_t i = 0; i < images->size(); ++i) {
            EXPECT_EQ(std::make_pair((*images)[i].width, (*images)[i].height), set.sizes[i]);
            EXPECT_EQ((*images)[i].channels, set.channels);
        }
    }
}

TEST(ResourceScaledPictures, LoadAtTheWindowsDpiWithTheirContent) {
    // 150 %: the banknotes brought down from 200 %, white around them.
    HBITMAP money = rt::LoadBitmapForDpi(930, 144);
    ASSERT_NE(money, nullptr);
    BITMAP bm{};
    GetObjectW(money, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 422);
    EXPECT_EQ(bm.bmHeight, 435);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, money);
    for (POINT p : {POINT{0, 0}, POINT{421, 0}, POINT{0, 434}, POINT{421, 434}})
        EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(255, 255, 255)) << p.x << "," << p.y;
    SelectObject(dc, old);
    DeleteObject(money);

    // 125 %: the German flag's three stripes, each a third of 26 rows.
    HBITMAP flag = rt::LoadBitmapForDpi(931, 120);
    ASSERT_NE(flag, nullptr);
    GetObjectW(flag, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 41);
    EXPECT_EQ(bm.bmHeight, 26);
    old = SelectObject(dc, flag);
    EXPECT_EQ(GetPixel(dc, 20, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 20, 13), RGB(0xDD, 0, 0));
    EXPECT_EQ(GetPixel(dc, 20, 22), RGB(0xFF, 0xCE, 0));
    SelectObject(dc, old);
    DeleteObject(flag);
    DeleteDC(dc);

    // The icon's own 48-pixel variant, with alpha.
    HICON icon = rt::LoadIconForDpi(333, 48, 144);
    ASSERT_NE(icon, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    GetObjectW(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 48);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
}

class VersionRecord : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
        DWORD ignored = 0, size = GetFileVersionInfoSizeW(path, &ignored);
        ASSERT_GT(size, 0u);
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block_.data()));
    }
    // Reads the string value under `key`; false if the record lacks it.
    bool query(const std::wstring& key, std::wstring& value) {
        void* p = nullptr;
        UINT len = 0;
        if (!VerQueryValueW(block_.data(), key.c_str(), &p, &len) || !p) return false;
        value = static_cast<const wchar_t*>(p);
        return true;
    }
    std::vector<char> block_;
};

TEST_F(VersionRecord, StringsAreExactUnderGermanCodePage1252) {
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"FileVersion", L" V2.01"},
        {L"ProductVersion", L" V2.01.000"},
        {L"FileDescription", L"Umrechnungen von DM-Euro/Euro-DM"},
        {L"Kommentar", L"Benutzerf\u00FChrung nur in Deutsch"},
        {L"ProductName", L"Valumat"},
        {L"Interalname", L"Valumat.exe"},
        {L"InternalName", L"Valumat.exe"},  // the standard key that file properties show
        {L"OriginalFilename", L"Valumat.exe"},
        {L"CompanyName", L"Valumat-Projekt"},
        {L"LegalCopyright", L"Freeware, Valumat-Projekt"},
    };
    for (auto [key, text] : expected) {
        std::wstring value;
        ASSERT_TRUE(query(std::wstring(L"\\StringFileInfo\\040704E4\\") + key, value)) << key;
        EXPECT_EQ(value, text) << key;
    }
}

TEST_F(VersionRecord, TranslationAndNumericVersions) {
    void* p = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &p, &len));
    ASSERT_EQ(len, 4u);
    auto lang = static_cast<const WORD*>(p);
    EXPECT_EQ(lang[0], 0x0407);
    EXPECT_EQ(lang[1], 1252);

    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", &p, &len));
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(p);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

}  // namespace
