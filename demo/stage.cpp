#include "demo/stage.h"

#include <array>
#include <cmath>
#include <memory>

namespace demo {
namespace {

constexpr wchar_t kStageClass[] = L"ZelmoraDemoStage";
constexpr wchar_t kObjectClass[] = L"ZelmoraDemoObject";
constexpr UINT kOpacityMessage = WM_APP + 1;
constexpr UINT kRotationMessage = WM_APP + 2;

std::vector<std::unique_ptr<StageObject>> OwnedObjects;
std::vector<StageObject*> ObjectList;

StageObject* ObjectOf(HWND window) { return reinterpret_cast<StageObject*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

COLORREF Blend(COLORREF color, COLORREF background, int opacity) {
  auto mix = [&](int c, int b) { return (c * opacity + b * (255 - opacity)) / 255; };
  return RGB(mix(GetRValue(color), GetRValue(background)), mix(GetGValue(color), GetGValue(background)),
             mix(GetBValue(color), GetBValue(background)));
}

// The corners of the client area inset by a pixel, turned about its centre;
// positive angles turn clockwise on the screen.
std::array<POINT, 4> TurnedCorners(const RECT& client, int tenths) {
  const double radians = tenths / 10.0 * 3.14159265358979 / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  const double cx = client.right / 2.0, cy = client.bottom / 2.0, hx = cx - 1, hy = cy - 1;
  const double corners[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
  std::array<POINT, 4> turned{};
  for (int i = 0; i < 4; ++i)
    turned[i] = {static_cast<LONG>(std::lround(cx + c * corners[i][0] - s * corners[i][1])),
                 static_cast<LONG>(std::lround(cy + s * corners[i][0] + c * corners[i][1]))};
  return turned;
}

void PaintObject(HWND window, const StageObject& object) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client{};
  GetClientRect(window, &client);
  HBRUSH stage = CreateSolidBrush(kStageColor);
  FillRect(dc, &client, stage);
  DeleteObject(stage);
  const COLORREF face = object.Kind == "Button" ? RGB(225, 228, 235) : object.Color;
  if (object.Kind != "Label") {
    HBRUSH fill = CreateSolidBrush(Blend(face, kStageColor, object.Opacity));
    HPEN edge = CreatePen(PS_SOLID, 1, Blend(RGB(60, 60, 70), kStageColor, object.Opacity));
    HGDIOBJ oldBrush = SelectObject(dc, fill), oldPen = SelectObject(dc, edge);
    const std::array<POINT, 4> corners = TurnedCorners(client, object.RotationTenths);
    Polygon(dc, corners.data(), static_cast<int>(corners.size()));
    SelectObject(dc, oldBrush), SelectObject(dc, oldPen);
    DeleteObject(fill), DeleteObject(edge);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Blend(object.Kind == "Panel" ? RGB(255, 255, 255) : RGB(30, 30, 40), kStageColor, object.Opacity));
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT text = client;
  DrawTextW(dc, object.Text.c_str(), -1, &text,
            (object.Kind == "Label" ? DT_LEFT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ObjectProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  StageObject* object = ObjectOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_PAINT:
      if (object != nullptr) {
        PaintObject(window, *object);
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (object != nullptr) {
        const WINDOWPOS& pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
        object->Trace.push_back({GetTickCount64(), pos.x, pos.y});
      }
      break;
    case kOpacityMessage:
    case kRotationMessage:
      if (object != nullptr) {
        (message == kOpacityMessage ? object->Opacity : object->RotationTenths) = static_cast<int>(wParam);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hbrBackground = CreateSolidBrush(kStageColor);
  windowClass.lpszClassName = kStageClass;
  RegisterClassExW(&windowClass);
  windowClass.lpfnWndProc = ObjectProc;
  windowClass.hbrBackground = nullptr;
  windowClass.lpszClassName = kObjectClass;
  RegisterClassExW(&windowClass);
}

COLORREF ParseColor(const std::string& text) {
  if (text.size() != 7 || text[0] != '#') return RGB(80, 110, 170);
  const unsigned long value = std::strtoul(text.c_str() + 1, nullptr, 16);
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

}  // namespace

HWND CreateStageWindow(bool headless) {
  RegisterClasses();
  // Headless: a popup, whose client area is the whole window, at the screen's corner.
  const DWORD style = headless ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kStageWidth, kStageHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  return CreateWindowExW(0, kStageClass, L"Zelmora Zozarevo - demo stage", style | WS_VISIBLE | WS_CLIPCHILDREN,
                         headless ? 0 : CW_USEDEFAULT, headless ? 0 : CW_USEDEFAULT, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

StageObject* AddObject(HWND stage, const std::string& name, const std::string& kind, RECT placement,
                       const std::string& text) {
  auto object = std::make_unique<StageObject>();
  object->Name = name;
  object->Kind = kind;
  object->Color = ParseColor(text);
  object->Text = kind == "Panel" ? std::wstring(name.begin(), name.end()) : std::wstring(text.begin(), text.end());
  object->Window =
      CreateWindowExW(0, kObjectClass, object->Text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, placement.left,
                      placement.top, placement.right - placement.left, placement.bottom - placement.top, stage, nullptr,
                      GetModuleHandleW(nullptr), object.get());
  object->Trace.push_back({GetTickCount64(), static_cast<int>(placement.left), static_cast<int>(placement.top)});
  ObjectList.push_back(object.get());
  OwnedObjects.push_back(std::move(object));
  return ObjectList.back();
}

const std::vector<StageObject*>& Objects() { return ObjectList; }

}  // namespace demo
