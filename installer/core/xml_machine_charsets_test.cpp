#include "core/xml_machine_charsets.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/xml_document.h"
#include "platform/registry_key.h"
#include "platform/registry_value.h"
#include "scoped_registry_value.h"

namespace {

constexpr char kTestClasses[] = "Software\\Tarvano\\RUVI-tests\\Classes";
const std::string kTestCharsets = std::string(kTestClasses) + "\\MIME\\Database\\Charset";

// One value of an entry of the test's own charset list, for the test's length.
class CharsetValues {
public:
    CharsetValues() = default;
    CharsetValues(const CharsetValues&) = delete;
    CharsetValues& operator=(const CharsetValues&) = delete;
    // Put back in the reverse order: the first value made the keys.
    ~CharsetValues() {
        while (!values_.empty()) values_.pop_back();
    }

    void Dword(const std::string& entry, const char* name, DWORD value) {
        Add(entry, name).SetDword(value);
    }
    void Text(const std::string& entry, const char* name, const std::string& text) {
        Add(entry, name).SetText(text);
    }
    void Bytes(const std::string& entry, const char* name, const std::string& bytes) {
        Add(entry, name).SetBytes(REG_BINARY, bytes);
    }

private:
    ScopedRegistryValue& Add(const std::string& entry, const char* name) {
        values_.push_back(std::make_unique<ScopedRegistryValue>(HKEY_CURRENT_USER,
                                                                kTestCharsets + "\\" + entry, name));
        return *values_.back();
    }
    std::vector<std::unique_ptr<ScopedRegistryValue>> values_;
};

// Points HKEY_CLASSES_ROOT of this process at the test's classes while it
// lives, as the merged view of a user's own classes would on Windows (Wine
// does not merge them in).
class UserClassesAsClassesRoot {
public:
    UserClassesAsClassesRoot()
        : key_(OpenRegistryKeyForReading(HKEY_CURRENT_USER, kTestClasses)) {
        EXPECT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, key_.Get()), ERROR_SUCCESS);
    }
    ~UserClassesAsClassesRoot() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }

private:
    RegistryKey key_;
};

TEST(CharsetCodePage, FollowsTheRulesOfTheXmlLibrarysOwnList) {
    CharsetValues list;
    list.Dword("plain", "Codepage", 936);
    list.Dword("plain", "InternetEncoding", 936);
    list.Dword("internet", "Codepage", 1252);
    list.Dword("internet", "InternetEncoding", 28591);
    list.Text("alias", "AliasForCharset", "PLAIN");
    list.Text("chain", "AliasForCharset", "alias");
    list.Text("dangling", "AliasForCharset", "nowhere");
    list.Dword("uninstalled", "Codepage", 4242);
    list.Dword("uninstalled", "InternetEncoding", 936);
    list.Dword("no-internet", "Codepage", 936);
    list.Bytes("short", "Codepage", std::string("\xa8\x03", 2));
    list.Dword("short", "InternetEncoding", 936);
    const RegistryKey charsets = OpenRegistryKeyForReading(HKEY_CURRENT_USER, kTestCharsets);
    ASSERT_TRUE(charsets);

    const struct {
        const wchar_t* name;
        std::optional<UINT> codePage;
    } cases[] = {
        {L"plain", 936},           {L"PLAIN", 936},           {L"internet", 28591},
        {L"alias", 936},           {L"chain", std::nullopt},  {L"dangling", std::nullopt},
        {L"uninstalled", std::nullopt}, {L"no-internet", std::nullopt},
        {L"short", std::nullopt},  {L"absent", std::nullopt}, {L"", std::nullopt},
        {L"plain\\..", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CharsetCodePage(charsets.Get(), c.name), c.codePage)
            << std::string(c.name, c.name + wcslen(c.name));
    }
}

std::string ParseText(const std::string& encoding, const std::string& text) {
    CXmlDocument holder;
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><r>" + text + "</r>";
    const std::string failure =
        ParseXmlBuffer("charset test", holder, document.data(), document.size());
    std::string result;
    if (!failure.empty() || !GetElementText(result, holder.root)) return "<failed>";
    return result;
}

TEST(XmlRuntimeTest, DeclaredEncodingsComeFromTheMachinesCharsetListAlone) {
    CharsetValues user;
    user.Dword("user-charset", "Codepage", 1251);
    user.Dword("user-charset", "InternetEncoding", 1251);
    user.Dword("GBK", "Codepage", 1251);
    user.Dword("GBK", "InternetEncoding", 1251);
    const UserClassesAsClassesRoot userClasses;

    const CXmlRuntime runtime;
    EXPECT_EQ(ParseText("user-charset", "a"), "<failed>");
    EXPECT_EQ(ParseText("GBK", "\xd6\xd0\xce\xc4"), "\xd6\xd0\xce\xc4");  // 中文
    EXPECT_EQ(ParseText("windows-1251", "\xc0"), "\xa7\xa1");           // А, in GBK
}

}  // namespace
