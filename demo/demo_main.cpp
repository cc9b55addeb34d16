// The demo host: loads the plug-in, opens a stage with named objects and
// runs a script on it. With --out FOLDER it runs headless and writes the
// stage as PNG frames, a contact sheet and a trace plot of every path.
//
//   zelmora-demo [SCRIPT] [--out FOLDER]
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo/stage.h"
#include "demo/trace_plot.h"
#include "host/png_image.h"
#include "host/reference_host.h"
#include "host/script_runner.h"

namespace {

constexpr UINT kFrameMs = 100;
constexpr int kSheetColumns = 4, kSheetRows = 4, kSheetShrink = 4;

struct Options {
  std::wstring Script;
  std::wstring OutFolder;  // empty: interactive
};

struct Capture {
  std::wstring Folder;
  HWND Stage = nullptr;
  int Frames = 0;
  std::vector<host::Image> Thumbnails;
};
Capture Recording;

std::wstring Beside(const std::wstring& file) {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program);
  return path.erase(path.find_last_of(L"\\/") + 1) + file;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool ReadFile(const std::wstring& path, std::string& text) {
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

void CaptureFrame() {
  RECT client{};
  GetClientRect(Recording.Stage, &client);
  MapWindowPoints(Recording.Stage, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const host::Image frame = host::CaptureScreen(client);
  wchar_t name[32];
  swprintf(name, 32, L"frame-%03d.png", Recording.Frames++);
  host::WritePng(frame, Recording.Folder + name);
  Recording.Thumbnails.push_back(host::Shrink(frame, kSheetShrink));
}

void CALLBACK CaptureOnTimer(HWND, UINT, UINT_PTR, DWORD) { CaptureFrame(); }

// Evenly spaced frames, the last one included, in a grid.
void WriteContactSheet(const std::wstring& path) {
  const std::vector<host::Image>& frames = Recording.Thumbnails;
  if (frames.empty()) return;
  const int cells = kSheetColumns * kSheetRows, width = frames[0].Width, height = frames[0].Height;
  host::Image sheet{kSheetColumns * (width + 4), kSheetRows * (height + 4), {}};
  sheet.Bgra.assign(static_cast<size_t>(sheet.Width) * sheet.Height * 4, 255);
  for (int cell = 0; cell < cells; ++cell) {
    const size_t frame = (frames.size() - 1) * static_cast<size_t>(cell) / (cells - 1);
    host::Paste(sheet, frames[frame], (cell % kSheetColumns) * (width + 4), (cell / kSheetColumns) * (height + 4));
  }
  host::WritePng(sheet, path);
}

void PumpMessagesFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void RunUntilClosed(HWND stage) {
  MSG message;
  while (IsWindow(stage) && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  options.Script = Beside(L"showcase.txt");
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--out" && i + 1 < argc)
      options.OutFolder = argv[++i];
    else if (!arg.empty() && arg[0] != L'-')
      options.Script = arg;
    else
      return false;
  }
  if (!options.OutFolder.empty() && options.OutFolder.back() != L'\\') options.OutFolder += L'\\';
  return true;
}

int Run(const Options& options) {
  std::string text;
  host::Script script;
  host::ScriptError error;
  if (!ReadFile(options.Script, text)) {
    std::fprintf(stderr, "cannot read the script %s\n", Narrow(options.Script).c_str());
    return 2;
  }
  if (!host::ParseScript(text, script, error)) {
    std::fprintf(stderr, "%s: %s\n", Narrow(options.Script).c_str(), error.Text().c_str());
    return 2;
  }
  host::PluginModule plugin(Beside(L"Zelmora Zozarevo.dll"));
  if (!plugin.Error().empty()) {
    std::fprintf(stderr, "%s\n", plugin.Error().c_str());
    return 2;
  }
  host::ConnectPlugin(plugin.Exports());
  const bool headless = !options.OutFolder.empty();
  HWND stage = demo::CreateStageWindow(headless);
  std::vector<host::ScriptLine> motions;
  host::ScriptStage hooks;
  hooks.CreateObject = [stage](const std::string& name, const std::string& kind, RECT placement,
                               const std::string& caption) {
    host::Host().Objects[name] = demo::AddObject(stage, name, kind, placement, caption)->Window;
  };
  hooks.Print = [](const std::string& line) { std::printf("%s\n", line.c_str()), std::fflush(stdout); };
  hooks.Wait = PumpMessagesFor;
  hooks.ActionRun = [&motions](const host::ScriptLine& action) {
    if (action.Command == "zelAnimate") motions.push_back(action);
  };
  if (headless) {
    CreateDirectoryW(options.OutFolder.c_str(), nullptr);
    Recording = {options.OutFolder, stage, 0, {}};
    PumpMessagesFor(50);
    SetTimer(nullptr, 0, kFrameMs, CaptureOnTimer);
  }
  if (!host::RunScript(script, plugin.Exports(), hooks, error)) {
    std::fprintf(stderr, "%s: %s\n", Narrow(options.Script).c_str(), error.Text().c_str());
    return 3;
  }
  if (headless) {
    CaptureFrame();
    WriteContactSheet(options.OutFolder + L"contact-sheet.png");
    demo::WriteTracePlot(options.OutFolder + L"trace.svg", demo::Objects(), motions);
    std::printf("%d frames, contact-sheet.png and trace.svg written\n", Recording.Frames);
  } else {
    RunUntilClosed(stage);
  }
  plugin.Exports().Message(2, 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: zelmora-demo [SCRIPT] [--out FOLDER]\n");
    return 2;
  }
  return Run(options);
}
