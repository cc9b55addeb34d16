// Pictures of windows as PNG files, through the platform's imaging
// component.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

struct Image {
  int Width = 0, Height = 0;
  std::vector<BYTE> Bgra;  // top-down rows, 4 bytes a pixel
};

// What the screen shows in the rectangle.
Image CaptureScreen(const RECT& rect);
// The image shrunk by a whole factor, each pixel the mean of its block.
Image Shrink(const Image& image, int factor);
// Copies `part` into `into` with its top-left corner at (x, y).
void Paste(Image& into, const Image& part, int x, int y);
bool WritePng(const Image& image, const std::wstring& path);

}  // namespace host
