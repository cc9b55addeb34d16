#include "plugin/parameters.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "plugin/host_texts.h"

namespace zel {
namespace {

size_t PageSize() {
  static const size_t pageSize = [] {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
  }();
  return pageSize;
}

// The most bytes a text of 500 characters can take in the ANSI code page.
size_t LongestConvertibleText() {
  CPINFO info{};
  const size_t bytesPerCharacter = GetCPInfo(CP_ACP, &info) ? std::max<UINT>(info.MaxCharSize, 1) : 4;
  return kMaxTextLength * bytesPerCharacter;
}

// The length of the NUL-terminated text, probing memory a page at a time
// before reading it; false when memory ends or the text exceeds `limit`
// bytes before a NUL.
bool MeasureText(const char* text, size_t limit, size_t& length) {
  size_t scanned = 0;
  while (scanned <= limit) {
    const char* chunk = text + scanned;
    const size_t toPageEnd = PageSize() - reinterpret_cast<uintptr_t>(chunk) % PageSize();
    const size_t chunkLength = std::min(toPageEnd, limit + 1 - scanned);
    if (!IsReadablePointer(chunk, static_cast<int>(chunkLength))) return false;
    if (const void* nul = std::memchr(chunk, 0, chunkLength)) {
      length = scanned + static_cast<size_t>(static_cast<const char*>(nul) - chunk);
      return true;
    }
    scanned += chunkLength;
  }
  return false;
}

std::wstring FromAnsi(const char* text, size_t length) {
  if (length == 0) return {};
  const int size = static_cast<int>(length);
  std::wstring converted(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, size, converted.data(), static_cast<int>(converted.size()));
  return converted;
}

// The array itself is probed too: a bad array from the host must not crash.
bool IsUsableEntry(ParamArray params, int index, bool forWriting) {
  if (params == nullptr || index < 0 || index > kMaxParamIndex) return false;
  char** entry = params + index;
  return forWriting ? IsWritablePointer(entry, sizeof(*entry)) : IsReadablePointer(entry, sizeof(*entry));
}

}  // namespace

std::wstring SanitiseText(std::wstring_view text) {
  if (text.size() > kMaxTextLength) return {};
  std::wstring kept;
  std::copy_if(text.begin(), text.end(), std::back_inserter(kept), [](wchar_t c) { return c >= 32 && c <= 126; });
  return kept;
}

bool IsReadablePointer(const void* address, int count) {
  return address != nullptr && count > 0 && !IsBadReadPtr(address, static_cast<UINT_PTR>(count));
}

bool IsWritablePointer(void* address, int count) {
  return address != nullptr && count > 0 && !IsBadWritePtr(address, static_cast<UINT_PTR>(count));
}

std::wstring ReadHostText(const char* text) {
  size_t length = 0;
  if (!MeasureText(text, LongestConvertibleText(), length)) return {};
  return SanitiseText(FromAnsi(text, length));
}

std::wstring ReadParam(ParamArray params, int index) {
  if (!IsUsableEntry(params, index, false)) return {};
  return ReadHostText(params[index]);
}

void WriteParam(ParamArray params, int index, std::wstring_view text) {
  if (!IsUsableEntry(params, index, true)) return;
  params[index] = ToHostText(text);
}

}  // namespace zel
