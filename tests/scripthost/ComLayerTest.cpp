// The COM layer that hosts link: text conversions, strings, identifiers, the registry
// file's text form and the memory stream.
#include <gtest/gtest.h>

#include "com/QvBstr.h"
#include "com/QvComObject.h"
#include "com/QvGuid.h"
#include "com/QvMemoryStream.h"
#include "com/QvRegistryKeys.h"
#include "com/QvUtf.h"

TEST(ComText, Utf16RoundTripsKeepNonAsciiTextAndSurrogatePairs) {
    const std::string text = "plain, Grüße, 日本語, 😀 and 𝄞";
    std::u16string wide = QvUtf8ToUtf16(text);
    EXPECT_EQ(wide, u"plain, Grüße, 日本語, 😀 and 𝄞");
    EXPECT_EQ(QvUtf16ToUtf8(wide), text);

    BSTR string = QvBstrFromUtf8(text);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(SysStringLen(string), wide.size());
    EXPECT_EQ(SysStringByteLen(string), 2 * wide.size());
    EXPECT_EQ(string[wide.size()], u'\0');
    EXPECT_EQ(QvUtf8FromOleString(string), text);
    SysFreeString(string);

    BSTR empty = SysAllocString(u"");
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    BSTR withNul = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(SysStringLen(withNul), 3u);
    SysFreeString(withNul);
}

TEST(ComText, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        std::string utf8;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},              // stray continuation byte
        {"a\xC3", u"a\uFFFD"},                // truncated at the end
        {"\xE2\x82z", u"\uFFFDz"},            // truncated inside
        {"\xC0\xAF", u"\uFFFD\uFFFD"},        // overlong form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xFF", u"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(QvUtf8ToUtf16(c.utf8), c.expected) << c.utf8;

    EXPECT_EQ(QvUtf16ToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(QvUtf16ToUtf8(u"\xDC00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(QvUtf8FromOleString(nullptr), "");
}

TEST(ComGuid, FormatsAndParsesThePublishedForm) {
    EXPECT_EQ(QvGuidToString(IID_IActiveScript), "{BB1A2AE1-A4F9-11CF-8F20-00805F2CD064}");
    EXPECT_EQ(QvGuidToString(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(QvGuidFromString("{bb1a2ae1-a4f9-11cf-8f20-00805f2cd064}"), IID_IActiveScript);
    EXPECT_EQ(QvGuidFromString("7FD52380-4E07-101B-AE2D-08002B2EC713"), IID_IPersistStreamInit);
    for (const char* bad : {"", "{BB1A2AE1-A4F9-11CF-8F20-00805F2CD064", "{BB1A2AE1-A4F9-11CF-8F20-00805F2CD06G}",
                            "{BB1A2AE1+A4F9-11CF-8F20-00805F2CD064}", "{BB1A2AE1-A4F9-11CF-8F2000-805F2CD064}"})
        EXPECT_FALSE(QvGuidFromString(bad).has_value()) << bad;
    EXPECT_NE(IID_IActiveScript, IID_IActiveScriptParse32);
    EXPECT_TRUE(IID_IUnknown < IID_IClassFactory);
}

TEST(ComRegistryKeys, TextFormRoundTripsAndMalformedTextIsRefused) {
    QvRegistryKeys keys;
    keys.setValue("A\\B", "", "path with \"quotes\" and \\ back\nslash");
    keys.setValue("A\\B", "name=with=equals", "");
    keys.createKey("A B");
    keys.setValue("A\\B\\C", "x", "1");
    QvRegistryKeys read;
    ASSERT_TRUE(read.parse(keys.text()));
    EXPECT_TRUE(read == keys);
    EXPECT_TRUE(read.hasKey("A"));

    // Deleting a key takes the keys below it, not its siblings that share its prefix.
    EXPECT_TRUE(read.deleteKey("A"));
    EXPECT_FALSE(read.hasKey("A\\B\\C"));
    EXPECT_TRUE(read.hasKey("A B"));
    EXPECT_FALSE(read.deleteKey("A"));

    for (const char* bad : {"@=\"no key\"\n", "[A]\nvalue\n", "[A]\n@=\"unterminated\n", "[A]\n@=\"x\" junk\n",
                            "[A]\n\"n\"=\"\\q\"\n", "[]\n", "[A\\\\B]\n", "[A]\n[A]\n", "[A]\n@=\"1\"\n@=\"2\"\n"}) {
        EXPECT_FALSE(read.parse(bad)) << bad;
        EXPECT_TRUE(read.hasKey("A B")) << "a refused text changed the keys";
    }
}

TEST(ComMemoryStream, ReadsWritesSeeksAndRespectsItsCapacity) {
    QvComPtr<IStream> stream;
    ASSERT_EQ(QvCreateMemoryStream("abc", 3, stream.put(), 5), S_OK);
    char buffer[8] = {};
    ULONG count = 0;
    EXPECT_EQ(stream->Read(buffer, 8, &count), S_OK);
    EXPECT_EQ(std::string(buffer, count), "abc");
    EXPECT_EQ(stream->Write("de", 2, &count), S_OK);
    EXPECT_EQ(stream->Write("f", 1, &count), STG_E_MEDIUMFULL);
    EXPECT_EQ(count, 0u);
    LARGE_INTEGER back;
    back.QuadPart = -2;
    ULARGE_INTEGER position;
    EXPECT_EQ(stream->Seek(back, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 3u);
    back.QuadPart = -4;
    EXPECT_EQ(stream->Seek(back, STREAM_SEEK_CUR, &position), E_INVALIDARG);
    EXPECT_EQ(stream->Read(buffer, 8, &count), S_OK);
    EXPECT_EQ(std::string(buffer, count), "de");
    EXPECT_EQ(QvCreateMemoryStream(nullptr, 1, stream.put()), E_POINTER);
}
