// Display scaling: device pixels from application pixels, metrics and
// pictures for a window's dpi.
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "../pictures.h"
#include "../win32/dyncalls.h"
#include "native.h"

namespace rt {

unsigned SystemDpi() {
  // Fixed for the process's life: Windows tells a program the system dpi
  // once, at its start.
  static const unsigned dpi = [] {
    if (const auto forSystem = dyn::Dpi().forSystem) return static_cast<unsigned>(forSystem());
    WindowDC screen(nullptr);
    const int logical = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return logical > 0 ? static_cast<unsigned>(logical) : kBaseDpi;
  }();
  return dpi;
}

unsigned DpiOfWindow(HWND hwnd) {
  if (!hwnd) return SystemDpi();
  if (const auto forWindow = dyn::Dpi().forWindow) {
    const unsigned dpi = forWindow(hwnd);
    return dpi ? dpi : SystemDpi();
  }
  // Before Windows 10 1607 only the monitor tells: a window that opens on
  // a monitor of another dpi hears nothing of it until it moves.
  const dyn::MonitorApi& monitors = dyn::Monitors();
  UINT x = 0, y = 0;
  const HMONITOR monitor = monitors.fromWindow ? monitors.fromWindow(hwnd, MONITOR_DEFAULTTONEAREST) : nullptr;
  if (monitor && monitors.dpiForMonitor && SUCCEEDED(monitors.dpiForMonitor(monitor, 0 /* effective */, &x, &y)) && x)
    return x;
  return SystemDpi();
}

namespace {

RECT WorkAreaOfMonitor(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const auto getInfo = dyn::Monitors().info;
  if (monitor && getInfo && getInfo(monitor, &info)) return info.rcWork;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace

RECT WorkAreaAround(const RECT& r) {
  const auto fromRect = dyn::Monitors().fromRect;
  return WorkAreaOfMonitor(fromRect ? fromRect(&r, MONITOR_DEFAULTTONEAREST) : nullptr);
}

RECT WorkAreaOf(HWND hwnd) {
  const dyn::MonitorApi& monitors = dyn::Monitors();
  // The primary monitor is the one at the desktop's origin.
  const RECT origin{0, 0, 1, 1};
  HMONITOR monitor = nullptr;
  if (hwnd && monitors.fromWindow) monitor = monitors.fromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
  if (!hwnd && monitors.fromRect) monitor = monitors.fromRect(&origin, MONITOR_DEFAULTTOPRIMARY);
  return WorkAreaOfMonitor(monitor);
}

void ScaleNonClientArea(HWND hwnd) {
  const dyn::DpiApi& api = dyn::Dpi();
  if (!api.enableNonClientScaling || !api.threadAwareness || !api.sameAwareness) return;
  if (api.sameAwareness(api.threadAwareness(), DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
    api.enableNonClientScaling(hwnd);
}

long ToDevice(double value, unsigned dpi) { return std::lround(value * (dpi / static_cast<double>(kBaseDpi))); }

double ToApp(double device, unsigned dpi) { return device * (kBaseDpi / static_cast<double>(dpi)); }

int MetricForDpi(int index, unsigned dpi) {
  if (const auto forDpi = dyn::Dpi().metricForDpi) return forDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

namespace {

// Pictures made for a size, kept: a window that opens again, or another at
// the same dpi, does not unpack and average them anew.
struct PictureCache {
  std::mutex lock;
  std::map<std::tuple<int, int, int, int>, PictureImage> made;  // id, width, height, channels
};

PictureCache& Pictures() {
  static PictureCache cache;
  return cache;
}

std::span<const uint8_t> ResourceBytes(int id, const wchar_t* type) {
  HRSRC info = FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(id), type);
  HGLOBAL data = info ? LoadResource(ModuleInstance(), info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return {};
  return {static_cast<const uint8_t*>(bytes), SizeofResource(ModuleInstance(), info)};
}

// The program's own variants of a picture: a "SCALED" resource of its number.
std::vector<PictureImage> ScaledSet(int id, int channels) {
  const std::span<const uint8_t> stream = ResourceBytes(id, L"SCALED");
  std::optional<std::vector<PictureImage>> set = stream.empty() ? std::nullopt : UnpackPictureSet(stream);
  if (!set) return {};
  std::erase_if(*set, [channels](const PictureImage& image) { return image.channels != channels; });
  return std::move(*set);
}

// A bitmap resource as 24-bit rows from the top, read the way GDI loads it.
PictureImage BitmapPixels(int id) {
  OwnedBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info) || info.bmWidth < 1 || info.bmHeight < 1) return {};
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> rows(stride * static_cast<size_t>(info.bmHeight));
  WindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(info.bmHeight), rows.data(), &format, DIB_RGB_COLORS))
    return {};
  PictureImage image{info.bmWidth, info.bmHeight, 3, {}};
  image.pixels.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight * 3);
  for (int y = 0; y < info.bmHeight; ++y)
    std::memcpy(&image.pixels[static_cast<size_t>(y) * info.bmWidth * 3], &rows[y * stride],
                static_cast<size_t>(info.bmWidth) * 3);
  return image;
}

// The picture `id` at exactly `width` x `height`, from its variants (only one
// made for that size where `exact`), else averaged from its bitmap resource;
// empty when there is none.
PictureImage PictureOf(int id, int width, int height, int channels, bool exact) {
  PictureCache& cache = Pictures();
  std::lock_guard guard(cache.lock);
  const auto key = std::make_tuple(id, width, height, channels);
  if (auto it = cache.made.find(key); it != cache.made.end()) return it->second;
  std::vector<PictureImage> set = ScaledSet(id, channels);
  if (exact) std::erase_if(set, [&](const PictureImage& i) { return i.width != width || i.height != height; });
  PictureImage image = PictureAtSize(set, width, height);
  if (image.pixels.empty() && channels == 3) image = Resample(BitmapPixels(id), width, height);
  if (!image.pixels.empty()) cache.made.emplace(key, image);
  return image;
}

// A top-down DIB section of the picture's pixels.
HBITMAP DibOf(const PictureImage& image) {
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, static_cast<WORD>(8 * image.channels),
                      BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return nullptr;
  const size_t row = static_cast<size_t>(image.width) * image.channels;
  const size_t stride = (row + 3) & ~size_t{3};
  for (int y = 0; y < image.height; ++y)
    std::memcpy(static_cast<uint8_t*>(bits) + y * stride, &image.pixels[y * row], row);
  return dib;
}

// The size a bitmap resource has at 96 dpi, from its header.
bool BitmapSize(int id, int& width, int& height) {
  const std::span<const uint8_t> bytes = ResourceBytes(id, MAKEINTRESOURCEW(2));  // RT_BITMAP
  if (bytes.size() < sizeof(BITMAPCOREHEADER)) return false;
  BITMAPCOREHEADER core;
  std::memcpy(&core, bytes.data(), sizeof core);
  if (core.bcSize == sizeof core) {
    width = core.bcWidth;
    height = core.bcHeight;
    return true;
  }
  BITMAPINFOHEADER header;
  if (bytes.size() < sizeof header) return false;
  std::memcpy(&header, bytes.data(), sizeof header);
  width = header.biWidth;
  height = std::abs(header.biHeight);
  return width > 0 && height > 0;
}

}  // namespace

HBITMAP LoadBitmapForDpi(int id, unsigned dpi) {
  if (dpi == kBaseDpi)
    return static_cast<HBITMAP>(
        LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  int width = 0, height = 0;
  if (!BitmapSize(id, width, height)) return nullptr;
  const PictureImage image =
      PictureOf(id, static_cast<int>(ToDevice(width, dpi)), static_cast<int>(ToDevice(height, dpi)), 3, false);
  return image.pixels.empty() ? nullptr : DibOf(image);
}

HICON LoadIconForDpi(int id, int size, unsigned dpi) {
  // Only a variant made for the size: an icon averaged from another size is
  // no better than what the system makes of the resource. At 96 dpi the
  // resource's own sizes are the ones asked for.
  const PictureImage image = dpi == kBaseDpi ? PictureImage{} : PictureOf(id, size, size, 4, true);
  if (image.pixels.empty())
    return static_cast<HICON>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
  OwnedBitmap colour(DibOf(image));
  // The mask marks what shows through where the system draws without alpha.
  const size_t maskRow = ((static_cast<size_t>(size) + 15) / 16) * 2;
  std::vector<uint8_t> mask(maskRow * size, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (image.pixels[(static_cast<size_t>(y) * size + x) * 4 + 3] < 128) mask[y * maskRow + x / 8] |= 0x80 >> (x % 8);
  OwnedBitmap monochrome(CreateBitmap(size, size, 1, 1, mask.data()));
  if (!colour || !monochrome) return nullptr;
  ICONINFO info{TRUE, 0, 0, monochrome.get(), colour.get()};
  return CreateIconIndirect(&info);
}

}  // namespace rt
