// Reading and writing parameter texts: sanitising, limits, and memory that
// cannot be read or written.
#include "plugin/parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/block_watch.h"
#include "tests/support/fault_watch.h"
#include "tests/support/guarded_pages.h"

namespace zel {
namespace {

std::wstring ReadText(const std::string& text) {
  std::string copy = text;
  char* params[] = {copy.data()};
  return ReadParam(params, 0);
}

TEST(ReadParam, ReadsOnlyIndicesZeroToThirtyOne) {
  std::vector<std::string> texts;
  for (int i = 0; i <= 32; ++i) texts.push_back("p" + std::to_string(i));
  std::vector<char*> params;
  for (std::string& text : texts) params.push_back(text.data());
  EXPECT_EQ(ReadParam(params.data(), 0), L"p0");
  EXPECT_EQ(ReadParam(params.data(), 31), L"p31");
  EXPECT_EQ(ReadParam(params.data(), 32), L"");
  EXPECT_EQ(ReadParam(params.data(), -1), L"");
}

TEST(ReadParam, KeepsPrintableAsciiAndDropsTextsOverFiveHundredCharacters) {
  const struct {
    const char* Name;
    std::string Text;
    std::wstring Expected;
  } cases[] = {
      {"tab removed", "a\tb", L"ab"},
      {"line breaks and controls removed", "\x01x\r\ny\x7f", L"xy"},
      {"only controls", "\x01\x02\x1f", L""},
      {"spaces kept", "  10 , 20  ", L"  10 , 20  "},
      {"non-ASCII letter removed (Western code page)", "Z\xFCrich", L"Zrich"},
      {"500 characters pass", std::string(500, 'x'), std::wstring(500, L'x')},
      {"500 characters are filtered", std::string(499, 'x') + "\t", std::wstring(499, L'x')},
      {"501 characters read empty", std::string(501, 'x'), L""},
      {"the length counts before filtering", std::string(500, 'x') + "\t", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadText(c.Text), c.Expected) << c.Name;
}

TEST(ReadParam, MissingOrUnreadableTextsReadEmpty) {
  char* nullEntry[] = {nullptr};
  EXPECT_EQ(ReadParam(nullptr, 0), L"");
  EXPECT_EQ(ReadParam(nullEntry, 0), L"");
  GuardedPages pages;
  ExpectedAccessViolations probing;
  char* unreadable[] = {pages.Inaccessible()};
  EXPECT_EQ(ReadParam(unreadable, 0), L"");
  EXPECT_EQ(ReadParam(reinterpret_cast<ParamArray>(pages.Inaccessible()), 0), L"") << "an unreadable array";
}

TEST(ReadParam, TextRunningIntoUnreadableMemoryReadsEmptyWithoutACrash) {
  GuardedPages pages;
  ExpectedAccessViolations probing;
  char* ending[] = {pages.AtPageEnd(std::string("ab") + '\0')};
  EXPECT_EQ(ReadParam(ending, 0), L"ab") << "a NUL in the last readable byte";
  char* unterminated[] = {pages.AtPageEnd("abc")};
  EXPECT_EQ(ReadParam(unterminated, 0), L"");
}

TEST(ReadParam, StopsReadingWhereATextCanNoLongerBeShortEnough) {
  GuardedPages pages;
  ExpectedAccessViolations probing;
  char* longText[] = {pages.AtPageEnd(std::string(2000, 'a'))};
  EXPECT_EQ(ReadParam(longText, 0), L"");
  EXPECT_EQ(probing.Seen(), 0) << "the inaccessible page past 2000 unterminated bytes is never touched";
}

TEST(WriteParam, StoresANewHostBlockThatReadsBackSanitised) {
  BlockWatch blocks(GetModuleHandleW(nullptr));
  std::string original = "same";
  char* params[] = {original.data(), nullptr};
  WriteParam(params, 0, L"same");
  EXPECT_NE(params[0], original.data()) << "the entry is replaced even for an unchanged text";
  EXPECT_EQ(ReadParam(params, 0), L"same");
  WriteParam(params, 1, L"a\tb\x00FC");
  EXPECT_EQ(ReadParam(params, 1), L"ab");
  EXPECT_TRUE(blocks.Freed().empty()) << "the old blocks are the host's";
  EXPECT_EQ(blocks.Live(), (std::set<HGLOBAL>{params[0], params[1]})) << "the new blocks belong to the host";
  WriteParam(params, 1, std::wstring(501, L'y'));
  EXPECT_EQ(ReadParam(params, 1), L"");
  blocks.FailAllocationsAfter(0);
  WriteParam(params, 1, L"lost");
  EXPECT_EQ(params[1], nullptr) << "a failed allocation leaves a null entry";
  EXPECT_EQ(ReadParam(params, 1), L"");
  const std::set<HGLOBAL> hostBlocks = blocks.Live();
  for (HGLOBAL block : hostBlocks) GlobalFree(block);
}

TEST(WriteParam, LeavesBadIndicesNullArraysAndReadOnlyArraysAlone) {
  std::vector<char*> params(33, nullptr);
  WriteParam(params.data(), 32, L"x");
  WriteParam(params.data(), -1, L"x");
  WriteParam(nullptr, 0, L"x");
  EXPECT_EQ(params, std::vector<char*>(33, nullptr));

  GuardedPages pages;
  auto** readOnly = reinterpret_cast<ParamArray>(pages.Readable());
  char text[] = "kept";
  readOnly[0] = text;
  pages.MakeReadOnly();
  ExpectedAccessViolations probing;
  WriteParam(readOnly, 0, L"new");
  EXPECT_EQ(readOnly[0], text);
}

}  // namespace
}  // namespace zel
