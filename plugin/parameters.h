// Reading and writing the parameter texts of an action call.
#pragma once

#include <string>
#include <string_view>

#include "plugin/host_contract.h"

namespace zel {

constexpr int kMaxParamIndex = 31;
constexpr size_t kMaxTextLength = 500;

// Keeps the printable ASCII characters (32 to 126); a text of more than 500
// characters gives the empty text.
std::wstring SanitiseText(std::wstring_view text);

// False for a null address or a count below 1; otherwise whether the whole
// range can be read (written).
bool IsReadablePointer(const void* address, int count);
bool IsWritablePointer(void* address, int count);

// The sanitised UTF-16 form of an ANSI text from the host. Reads no further
// than readable memory and no further than a text that could still convert
// to 500 characters: a text that runs into unreadable memory, or is longer,
// reads as empty.
std::wstring ReadHostText(const char* text);

// Parameter `index` (0 to 31) of the array, sanitised; empty on any failure.
std::wstring ReadParam(ParamArray params, int index);
// Stores a new HostText of the text in entry `index`; the block belongs to the
// host from then on, and the entry's old block is neither read nor freed.
void WriteParam(ParamArray params, int index, std::wstring_view text);

}  // namespace zel
