#include "CString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TransformCase {
    const char* input;
    const char* expected;
};

TEST(CStringTest, TrimRemovesExactlyTheSixWhiteSpaceBytes)
{
    const TransformCase cases[] = {
        {"  abc ", "abc"},
        {" \t\n\v\f\rX\r\f\v\n\t ", "X"},
        {"", ""},
        {" \t ", ""},
        {"a b", "a b"},
        // NBSP (C2 A0) and a lone 0x85/0xA0 byte are not white space: trimming
        // must never cut a multi-byte character in half.
        {"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"},
        {"\xA0 x \x85", "\xA0 x \x85"},
    };
    for (const auto& c : cases) {
        CString s(c.input);
        s.TrimLeft();
        s.TrimRight();
        EXPECT_EQ(s.str(), c.expected) << "input: " << c.input;
    }
    CString left("  a  ");
    EXPECT_EQ(left.TrimLeft().str(), "a  ");
    CString right("  a  ");
    EXPECT_EQ(right.TrimRight().str(), "  a");
}

TEST(CStringTest, MakeUpperCoversAsciiAndLatin1InUtf8)
{
    const TransformCase cases[] = {
        {"abc xyz 09_-", "ABC XYZ 09_-"},
        {"Abc Corp", "ABC CORP"},
        {"\xC3\xA0\xC3\xA9\xC3\xBE", "\xC3\x80\xC3\x89\xC3\x9E"},  // àéþ -> ÀÉÞ
        {"\xC3\xB7", "\xC3\xB7"},                                  // ÷ stays
        {"\xC3\xBF", "\xC3\xBF"},                                  // ÿ stays
        {"\xC3\x9F", "\xC3\x9F"},                                  // ß stays
        {"\xC3\x80", "\xC3\x80"},                                  // À already upper
        {"&amp;", "&AMP;"},
        // Only a C3 lead byte pairs with its follower; a stray A0 byte or a
        // C3 at the very end must come through untouched.
        {"\xA0\xA9", "\xA0\xA9"},
        {"a\xC3", "A\xC3"},
        // 3-byte characters whose continuation bytes look like Latin-1 pairs
        // (U+20AC euro sign E2 82 AC) stay as they are.
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        // Bytes of the pair after C3 are never read as a new lead byte.
        {"\xC3\xC3\xA1", "\xC3\xC3\xA1"},
    };
    for (const auto& c : cases) {
        CString s(c.input);
        const int before = s.GetLength();
        s.MakeUpper();
        EXPECT_EQ(s.str(), c.expected) << "input: " << c.input;
        EXPECT_EQ(s.GetLength(), before);
    }
}

TEST(CStringTest, MakeLowerMirrorsMakeUpper)
{
    const TransformCase cases[] = {
        {"ABC Corp", "abc corp"},
        {"\xC3\x80\xC3\x89\xC3\x9E", "\xC3\xA0\xC3\xA9\xC3\xBE"},
        {"\xC3\x97", "\xC3\x97"},  // × stays
        {"\xC3\x9F", "\xC3\x9F"},  // ß stays
    };
    for (const auto& c : cases) {
        CString s(c.input);
        s.MakeLower();
        EXPECT_EQ(s.str(), c.expected) << "input: " << c.input;
    }
}

TEST(CStringTest, FindReturnsBytePositionOrMinusOne)
{
    const CString s("<TR><TD>ABC</TD></TR>");
    EXPECT_EQ(s.Find("<TD"), 4);
    EXPECT_EQ(s.Find("<TD", 5), -1);  // "</TD" is not "<TD"
    EXPECT_EQ(s.Find(">"), 3);
    EXPECT_EQ(s.Find(">", 4), 7);
    EXPECT_EQ(s.Find("</TABLE"), -1);
    EXPECT_EQ(s.Find('A'), 8);
    EXPECT_EQ(s.Find('A', 9), -1);
    EXPECT_EQ(s.Find("<TR", -5), 0);
    EXPECT_EQ(s.Find("<", 1000), -1);
    EXPECT_EQ(s.Find('<', 1000), -1);
    // An empty needle is found where the search starts, at most at the end.
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.Find("", 3), 3);
    EXPECT_EQ(s.Find("", s.GetLength()), s.GetLength());
    EXPECT_EQ(s.Find("", s.GetLength() + 1), -1);
    EXPECT_EQ(s.Find(nullptr), 0);
}

TEST(CStringTest, MidLeftRightClampOutOfRangeArguments)
{
    const CString s("ABCDEF");
    EXPECT_EQ(s.Mid(2).str(), "CDEF");
    EXPECT_EQ(s.Mid(0).str(), "ABCDEF");
    EXPECT_EQ(s.Mid(6).str(), "");
    EXPECT_EQ(s.Mid(99).str(), "");
    EXPECT_EQ(s.Mid(-3).str(), "ABCDEF");
    EXPECT_EQ(s.Mid(1, 2).str(), "BC");
    EXPECT_EQ(s.Mid(4, 99).str(), "EF");
    EXPECT_EQ(s.Mid(2, -1).str(), "");
    EXPECT_EQ(s.Mid(1, 2147483647).str(), "BCDEF");  // nFirst + nCount overflows int
    EXPECT_EQ(s.Left(2).str(), "AB");
    EXPECT_EQ(s.Left(-1).str(), "");
    EXPECT_EQ(s.Left(99).str(), "ABCDEF");
    EXPECT_EQ(s.Right(2).str(), "EF");
    EXPECT_EQ(s.Right(-1).str(), "");
    EXPECT_EQ(s.Right(99).str(), "ABCDEF");
}

TEST(CStringTest, ConstructionKeepsEveryByte)
{
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    const char raw[] = {'a', '\0', 'b'};
    const CString withNul(raw, 3);
    EXPECT_EQ(withNul.GetLength(), 3);
    EXPECT_EQ(withNul.GetAt(1), '\0');
    EXPECT_EQ(CString('x', 3).str(), "xxx");
    EXPECT_EQ(CString('x', -2).str(), "");
    EXPECT_EQ(CString(std::string("std")).str(), "std");

    CString moved("text");
    CString target(std::move(moved));
    EXPECT_EQ(target.str(), "text");
}

TEST(CStringTest, CompareIsByteWiseAndUnsigned)
{
    const CString s("ABC");
    EXPECT_EQ(s.Compare("ABC"), 0);
    EXPECT_LT(s.Compare("ABD"), 0);
    EXPECT_GT(s.Compare("AB"), 0);
    EXPECT_NE(s.Compare("abc"), 0);
    EXPECT_LT(s.Compare("\xC3\x80"), 0);  // bytes >= 0x80 sort after ASCII
    EXPECT_EQ(s.CompareNoCase("abc"), 0);
    EXPECT_LT(s.CompareNoCase("abd"), 0);
    EXPECT_NE(CString("\xC3\xA0").CompareNoCase("\xC3\x80"), 0);  // ASCII only

    EXPECT_TRUE(s == "ABC");
    EXPECT_TRUE("ABC" == s);
    EXPECT_TRUE(s != "abc");
    EXPECT_TRUE(s < CString("ABD"));
    EXPECT_TRUE("ABD" > s);
    // Equality of two CStrings includes bytes past an embedded NUL.
    EXPECT_FALSE(CString("a\0b", 3) == CString("a\0c", 3));
}

TEST(CStringTest, AppendAndConcatenate)
{
    CString s;
    s += 'A';
    s += "BC";
    s += CString("D");
    EXPECT_EQ(s.str(), "ABCD");
    EXPECT_EQ((s + "E").str(), "ABCDE");
    EXPECT_EQ(("<" + s + '>').str(), "<ABCD>");
    EXPECT_EQ(('x' + CString("y")).str(), "xy");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, FormatAndConversions)
{
    CString s;
    s.Format("%s=%d;%05.1f", "n", 42, 3.14159);
    EXPECT_EQ(s.str(), "n=42;003.1");
    s.Format("%s", std::string(5000, 'z').c_str());
    EXPECT_EQ(s.GetLength(), 5000);
    const char* p = s;
    EXPECT_EQ(p, s.GetString());
    s.SetAt(0, 'Q');
    EXPECT_EQ(s[0], 'Q');
}

} // namespace
