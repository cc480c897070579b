#include "tool_images.h"

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace quellmar::win32 {
namespace {

constexpr int kSize = 16;
constexpr COLORREF kClear = RGB(255, 0, 255);  // drawn over, then made transparent

// Draws with one pen and one brush at a time, each replaced by the next.
class Painter {
 public:
  explicit Painter(HDC dc)
      : dc_(dc),
        oldPen_(GetCurrentObject(dc, OBJ_PEN)),
        oldBrush_(GetCurrentObject(dc, OBJ_BRUSH)) {}
  ~Painter() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void Pen(COLORREF colour, int width) { Replace(pen_, CreatePen(PS_SOLID, width, colour)); }
  void Brush(COLORREF colour) { Replace(brush_, CreateSolidBrush(colour)); }
  void Polygon(std::initializer_list<POINT> points) {
    ::Polygon(dc_, points.begin(), static_cast<int>(points.size()));
  }
  void Line(std::initializer_list<POINT> points) {
    ::Polyline(dc_, points.begin(), static_cast<int>(points.size()));
  }
  void Ellipse(int left, int top, int right, int bottom) {
    ::Ellipse(dc_, left, top, right, bottom);
  }

 private:
  template <typename Object>
  void Replace(Object& held, Object next) {
    SelectObject(dc_, next);
    DeleteObject(held);
    held = next;
  }

  HDC dc_;
  HGDIOBJ oldPen_;
  HGDIOBJ oldBrush_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
};

// A yellow folder, the common sign for opening a file.
void Folder(Painter& p) {
  p.Pen(RGB(0x8a, 0x6a, 0x1a), 1);
  p.Brush(RGB(0xf2, 0xc2, 0x4b));
  p.Polygon({{1, 3}, {6, 3}, {8, 5}, {14, 5}, {14, 13}, {1, 13}});
  p.Brush(RGB(0xff, 0xdc, 0x73));
  p.Polygon({{1, 13}, {3, 7}, {15, 7}, {14, 13}});
}

// A sheet of paper with the HTML angle brackets on it.
void Page(Painter& p) {
  p.Pen(RGB(0x50, 0x50, 0x50), 1);
  p.Brush(RGB(0xff, 0xff, 0xff));
  p.Polygon({{2, 0}, {10, 0}, {13, 3}, {13, 15}, {2, 15}});
  p.Pen(RGB(0x10, 0x60, 0xc0), 1);
  p.Line({{6, 6}, {4, 8}, {6, 10}});
  p.Line({{9, 6}, {11, 8}, {9, 10}});
}

HBITMAP Draw(const std::function<void(Painter&)>& paint) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, kSize, kSize};
  HBRUSH clear = CreateSolidBrush(kClear);
  FillRect(dc, &all, clear);
  DeleteObject(clear);
  {
    Painter painter(dc);
    paint(painter);
  }
  GdiFlush();
  SelectObject(dc, old);
  DeleteDC(dc);
  // GDI leaves alpha at 0: the background becomes transparent, the rest opaque.
  auto* pixel = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < kSize * kSize; ++i)
    pixel[i] = (pixel[i] & 0xFFFFFF) == 0xFF00FF ? 0 : (pixel[i] | 0xFF000000u);
  return bitmap;
}

}  // namespace

std::array<HBITMAP, 4> MakeToolImages() {
  std::array<HBITMAP, 4> images{};
  images[kOpenImage] = Draw(Folder);
  images[kCloseImage] = Draw([](Painter& p) {
    Folder(p);
    p.Pen(RGB(0xc0, 0x10, 0x10), 2);
    p.Line({{8, 7}, {14, 13}});
    p.Line({{14, 7}, {8, 13}});
  });
  images[kHtmlExportImage] = Draw([](Painter& p) {
    Page(p);
    p.Pen(RGB(0x10, 0x90, 0x20), 2);
    p.Line({{1, 3}, {7, 3}});
    p.Line({{5, 1}, {7, 3}, {5, 5}});
  });
  images[kHtmlViewImage] = Draw([](Painter& p) {
    Page(p);
    p.Pen(RGB(0x30, 0x30, 0x30), 1);
    p.Brush(RGB(0xcf, 0xe8, 0xff));
    p.Ellipse(5, 6, 13, 14);
    p.Pen(RGB(0x30, 0x30, 0x30), 2);
    p.Line({{12, 13}, {15, 15}});
  });
  return images;
}

}  // namespace quellmar::win32
