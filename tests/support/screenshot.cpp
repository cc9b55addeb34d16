#include "tests/support/screenshot.h"

#include <wincodec.h>

#include <vector>

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

struct BitmapPixels {
  int Width = 0, Height = 0;
  std::vector<BYTE> Bgra;  // top-down rows
};

BitmapPixels CaptureScreenRect(const RECT& rect) {
  BitmapPixels pixels{rect.right - rect.left, rect.bottom - rect.top, {}};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, pixels.Width, pixels.Height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.Width, pixels.Height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.Width, -pixels.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  pixels.Bgra.resize(static_cast<size_t>(pixels.Width) * pixels.Height * 4);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(pixels.Height), pixels.Bgra.data(), &info, DIB_RGB_COLORS);
  for (size_t i = 3; i < pixels.Bgra.size(); i += 4) pixels.Bgra[i] = 255;  // opaque
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool WritePng(const BitmapPixels& pixels, const std::wstring& path) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const UINT stride = static_cast<UINT>(pixels.Width) * 4;
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory))) &&
         SUCCEEDED(factory->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Pointer, WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->SetSize(static_cast<UINT>(pixels.Width), static_cast<UINT>(pixels.Height))) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(pixels.Height), stride, static_cast<UINT>(pixels.Bgra.size()),
                                      const_cast<BYTE*>(pixels.Bgra.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  UpdateWindow(window);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool saved = WritePng(CaptureScreenRect(rect), path);
  if (SUCCEEDED(com)) CoUninitialize();
  return saved;
}

std::wstring ScreenshotFolder() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring folder(program);
  folder.erase(folder.find_last_of(L"\\/"));
  folder.erase(folder.find_last_of(L"\\/") + 1);
  folder += L"screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\";
}
