#include "core/xml_machine_charsets.h"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/Transcoders/Win32/Win32TransService.hpp>

#include <cstring>
#include <utility>

#include "platform/registry_key.h"
#include "platform/registry_value.h"
#include "platform/text_conversion.h"

namespace {

constexpr char kMachineCharsets[] = "SOFTWARE\\Classes\\MIME\\Database\\Charset";
constexpr char kMachineClasses[] = "SOFTWARE\\Classes";
constexpr char kCodePage[] = "Codepage";
constexpr char kInternetEncoding[] = "InternetEncoding";
constexpr char kAliasFor[] = "AliasForCharset";
// The longest charset name the library itself would read.
constexpr std::size_t kLongestName = 1024;

RegistryKey OpenEntry(HKEY charsets, const std::wstring& name) {
    // A name is one key of the list, never a path below one.
    if (name.empty() || name.size() > kLongestName || name.find(L'\\') != std::wstring::npos) {
        return {};
    }
    HKEY entry = nullptr;
    if (RegOpenKeyExW(charsets, name.c_str(), 0, KEY_QUERY_VALUE, &entry) != ERROR_SUCCESS) {
        return {};
    }
    return RegistryKey(entry);
}

bool HasValue(HKEY key, const char* name) {
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<UINT> ReadCodePage(HKEY key, const char* name) {
    const auto bytes = ReadRegistryBytes(key, name, sizeof(DWORD));
    if (!bytes || bytes->size() != sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, bytes->data(), sizeof(value));
    return value;
}

std::optional<UINT> EntryCodePage(HKEY entry) {
    const auto codePage = ReadCodePage(entry, kCodePage);
    if (!codePage || !IsValidCodePage(*codePage)) return std::nullopt;
    return ReadCodePage(entry, kInternetEncoding);
}

std::wstring WideName(const XMLCh* name) {
    static_assert(sizeof(XMLCh) == sizeof(wchar_t), "XMLCh is UTF-16 on Windows");
    return name == nullptr ? std::wstring() : std::wstring(reinterpret_cast<const wchar_t*>(name));
}

// The library's own service for Windows, but with declared encodings looked
// up one by one in the machine's list.
class MachineCharsetService : public xercesc::Win32TransService {
public:
    explicit MachineCharsetService(RegistryKey charsets)
        : Win32TransService(xercesc::XMLPlatformUtils::fgMemoryManager),
          charsets_(std::move(charsets)) {}

protected:
    xercesc::XMLTranscoder* makeNewXMLTranscoder(const XMLCh* const name,
                                                 xercesc::XMLTransService::Codes& result,
                                                 const XMLSize_t blockSize,
                                                 xercesc::MemoryManager* const manager) override {
        const auto codePage =
            charsets_ ? CharsetCodePage(charsets_.Get(), WideName(name)) : std::nullopt;
        if (!codePage) {
            result = xercesc::XMLTransService::UnsupportedEncoding;
            return nullptr;
        }
        return new (manager) xercesc::Win32Transcoder(name, *codePage, blockSize, manager);
    }

private:
    RegistryKey charsets_;
};

// Points HKEY_CLASSES_ROOT of this process at another key while it lives.
class ClassesRootOverride {
public:
    explicit ClassesRootOverride(HKEY key)
        : active_(key != nullptr && RegOverridePredefKey(HKEY_CLASSES_ROOT, key) == ERROR_SUCCESS) {}
    ~ClassesRootOverride() {
        if (active_) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    }
    ClassesRootOverride(const ClassesRootOverride&) = delete;
    ClassesRootOverride& operator=(const ClassesRootOverride&) = delete;

private:
    bool active_;
};

}  // namespace

std::optional<UINT> CharsetCodePage(HKEY charsets, const std::wstring& name) {
    const RegistryKey entry = OpenEntry(charsets, name);
    if (!entry) return std::nullopt;
    if (!HasValue(entry.Get(), kAliasFor)) return EntryCodePage(entry.Get());
    const auto aliased = ReadRegistryText(entry.Get(), kAliasFor, kLongestName);
    std::wstring aliasedName;
    if (!aliased || !AnsiToWide(*aliased, aliasedName)) return std::nullopt;
    const RegistryKey target = OpenEntry(charsets, aliasedName);
    if (!target || HasValue(target.Get(), kAliasFor)) return std::nullopt;
    return EntryCodePage(target.Get());
}

void StartXmlLibraryWithMachineCharsets() {
    using xercesc::XMLPlatformUtils;
    if (XMLPlatformUtils::fgTransService != nullptr) {
        XMLPlatformUtils::Initialize();
        return;
    }
    RegistryKey charsets = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kMachineCharsets);
    const RegistryKey classes = charsets ? RegistryKey()
                                         : OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE,
                                                                     kMachineClasses);
    // While the library starts, HKEY_CLASSES_ROOT is, for every thread of the
    // process, a key with no charset list below it, so the library reads
    // none: the machine's list itself (its keys are charset names), or, on a
    // machine without one, the machine's classes.
    const ClassesRootOverride withoutList(charsets ? charsets.Get() : classes.Get());
    XMLPlatformUtils::Initialize();
    xercesc::XMLTransService* const listless = XMLPlatformUtils::fgTransService;
    XMLPlatformUtils::fgTransService = new MachineCharsetService(std::move(charsets));
    delete listless;
}
