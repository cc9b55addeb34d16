#include "host/png_image.h"

#include <wincodec.h>

#include <algorithm>

namespace host {
namespace {

template <typename T>
struct ComPtr {
  T* Pointer = nullptr;
  ~ComPtr() {
    if (Pointer != nullptr) Pointer->Release();
  }
  T** operator&() { return &Pointer; }
  T* operator->() const { return Pointer; }
};

struct ComApartment {
  HRESULT Result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComApartment() {
    if (SUCCEEDED(Result)) CoUninitialize();
  }
};

}  // namespace

Image CaptureScreen(const RECT& rect) {
  Image image{rect.right - rect.left, rect.bottom - rect.top, {}};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, image.Width, image.Height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, image.Width, image.Height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.Width, -image.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  image.Bgra.resize(static_cast<size_t>(image.Width) * image.Height * 4);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.Height), image.Bgra.data(), &info, DIB_RGB_COLORS);
  for (size_t i = 3; i < image.Bgra.size(); i += 4) image.Bgra[i] = 255;  // opaque
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

Image Shrink(const Image& image, int factor) {
  Image small{image.Width / factor, image.Height / factor, {}};
  small.Bgra.resize(static_cast<size_t>(small.Width) * small.Height * 4);
  for (int y = 0; y < small.Height; ++y)
    for (int x = 0; x < small.Width; ++x)
      for (int channel = 0; channel < 4; ++channel) {
        int sum = 0;
        for (int dy = 0; dy < factor; ++dy)
          for (int dx = 0; dx < factor; ++dx)
            sum += image.Bgra[(static_cast<size_t>(y * factor + dy) * image.Width + x * factor + dx) * 4 + channel];
        small.Bgra[(static_cast<size_t>(y) * small.Width + x) * 4 + channel] =
            static_cast<BYTE>(sum / (factor * factor));
      }
  return small;
}

void Paste(Image& into, const Image& part, int x, int y) {
  for (int row = 0; row < part.Height && y + row < into.Height; ++row)
    std::copy_n(&part.Bgra[static_cast<size_t>(row) * part.Width * 4], static_cast<size_t>(part.Width) * 4,
                &into.Bgra[(static_cast<size_t>(y + row) * into.Width + x) * 4]);
}

bool WritePng(const Image& image, const std::wstring& path) {
  ComApartment apartment;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const UINT stride = static_cast<UINT>(image.Width) * 4;
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory))) &&
         SUCCEEDED(factory->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Pointer, WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->SetSize(static_cast<UINT>(image.Width), static_cast<UINT>(image.Height))) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(image.Height), stride, static_cast<UINT>(image.Bgra.size()),
                                      const_cast<BYTE*>(image.Bgra.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace host
