// The control answers web pages only from the origins in the allow-list,
// and local code that gives it no site as before. Pages are named the way a
// browser names them to the control: by its client site's container moniker,
// here a real URL moniker.

#include <windows.h>

#include <objsafe.h>
#include <ocidl.h>
#include <urlmon.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/dispatch_call.h"
#include "control/ocx_registration.h"
#include "control/scoped_installer_records.h"
#include "control/window_creation_block.h"
#include "platform/com_apartment.h"
#include "ruvictrl_h.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kInstallFolder[] = "C:\\Program Files\\Tarvano\\RUVI";
const std::vector<std::string> kAllowedSites = {"https://www.example.com", "http://localhost:8080"};
constexpr DWORD kUntrustedCaller = INTERFACESAFE_FOR_UNTRUSTED_CALLER;

// A container's site. A browser's client site names the page by its
// container moniker; a native container's names none; a script engine's is
// no client site at all. The test owns it and outlives the controls.
class TestSite final : public IOleClientSite {
public:
    TestSite(ComPtr<IMoniker> page, bool isClientSite)
        : page_(std::move(page)), isClientSite_(isClientSite) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        *object = nullptr;
        if (riid == IID_IUnknown || (isClientSite_ && riid == IID_IOleClientSite)) {
            *object = static_cast<IOleClientSite*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD which, IMoniker** moniker) override {
        *moniker = nullptr;
        if (which != OLEWHICHMK_CONTAINER || !page_) {
            return E_NOTIMPL;
        }
        return page_.CopyTo(moniker);
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

private:
    ComPtr<IMoniker> page_;
    bool isClientSite_;
};

ComPtr<IMoniker> UrlMoniker(const wchar_t* address) {
    ComPtr<IMoniker> moniker;
    EXPECT_EQ(CreateURLMoniker(nullptr, address, &moniker), S_OK);
    return moniker;
}

enum class Siting { kClientSite, kObjectWithSite };

void Place(IUnknown* control, IUnknown* site, Siting siting) {
    if (siting == Siting::kClientSite) {
        ComPtr<IOleObject> object;
        ComPtr<IOleClientSite> clientSite;
        ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&object)), S_OK);
        if (site) {
            ASSERT_EQ(site->QueryInterface(IID_PPV_ARGS(&clientSite)), S_OK);
        }
        EXPECT_EQ(object->SetClientSite(clientSite.Get()), S_OK);
        return;
    }
    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
    EXPECT_EQ(withSite->SetSite(site), S_OK);
    ComPtr<IUnknown> given;
    EXPECT_EQ(withSite->GetSite(IID_PPV_ARGS(&given)), site ? S_OK : E_FAIL);
    EXPECT_EQ(given.Get(), site);
}

ComPtr<IObjectSafety> Safety(IUnknown* control) {
    ComPtr<IObjectSafety> safety;
    EXPECT_EQ(control->QueryInterface(IID_IObjectSafety, &safety), S_OK);
    return safety;
}

// What a browser asks before it lets a page script the control.
HRESULT AskSafety(IUnknown* control) {
    return Safety(control)->SetInterfaceSafetyOptions(IID_IDispatch, kUntrustedCaller,
                                                      kUntrustedCaller);
}

// The three methods either all answer or are all refused; a refused
// AboutBox does not even try to open its box.
void ExpectAnswers(IUnknown* control, bool answered) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&dispatch)), S_OK);
    const HRESULT expected = answered ? S_OK : E_ACCESSDENIED;
    ScopedVariant path;
    EXPECT_EQ(CallByName(dispatch.Get(), L"GetInstallPath", path.get()), expected);
    if (answered) {
        EXPECT_STREQ(path.text(), L"C:\\Program Files\\Tarvano\\RUVI\\");
    } else {
        EXPECT_EQ(path.type(), VT_EMPTY) << "a refused call answers nothing";
    }
    ScopedVariant integrity;
    EXPECT_EQ(CallByName(dispatch.Get(), L"CheckIntegrity", integrity.get()), expected);
    const WindowCreationBlock block;
    ScopedVariant none;
    EXPECT_EQ(CallByName(dispatch.Get(), L"AboutBox", none.get()), expected);
    EXPECT_EQ(block.Attempts() > 0, answered);
}

class SiteLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(apartment_.Result(), S_OK);
        records_.SetInstallPath(kInstallFolder);
        records_.SetAllowedSites(kAllowedSites);
    }

    IUnknown* Site(ComPtr<IMoniker> page, bool isClientSite = true) {
        sites_.push_back(std::make_unique<TestSite>(std::move(page), isClientSite));
        return sites_.back().get();
    }
    IUnknown* PageSite(const wchar_t* address) { return Site(UrlMoniker(address)); }

    // Every case starts from a control that has seen no container yet.
    ComPtr<IUnknown> NewControl() {
        ComPtr<IUnknown> control;
        EXPECT_EQ(
            CoCreateInstance(CLSID_RUVICtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &control),
            S_OK);
        return control;
    }

    OcxRegistration registration_;
    OleApartment apartment_;
    ScopedInstallerRecords records_;
    std::vector<std::unique_ptr<TestSite>> sites_;  // released before the apartment ends
};

TEST_F(SiteLockTest, PagesAreAnsweredOnlyFromAllowedOrigins) {
    using List = std::optional<std::vector<std::string>>;
    const List allowed = kAllowedSites;
    const struct {
        const char* name;
        const wchar_t* page;
        List list;
        bool allowed;
    } cases[] = {
        {"allowed origin", L"https://www.example.com/shop/index.html", allowed, true},
        {"allowed origin, spelt otherwise", L"HTTP://LocalHost:8080/a?b", allowed, true},
        {"other origin", L"https://www.example.org/", allowed, false},
        {"allowed host, other scheme", L"http://www.example.com/", allowed, false},
        {"allowed host, other port", L"https://www.example.com:8443/", allowed, false},
        {"allowed name as user information", L"https://www.example.com@evil.example/", allowed,
         false},
        {"local file", L"file:///C:/pages/index.html", allowed, false},
        {"no list", L"https://www.example.com/", std::nullopt, false},
        {"list of no origins", L"https://www.example.com/",
         List({"https://www.example.com/", "www.example.com"}), false},
    };
    for (const auto& test : cases) {
        if (test.list) {
            records_.SetAllowedSites(*test.list);
        } else {
            records_.RemoveAllowedSites();
        }
        for (Siting siting : {Siting::kClientSite, Siting::kObjectWithSite}) {
            SCOPED_TRACE(std::string(test.name) +
                         (siting == Siting::kClientSite ? " (client site)" : " (object site)"));
            ComPtr<IUnknown> control = NewControl();
            Place(control.Get(), PageSite(test.page), siting);
            EXPECT_EQ(AskSafety(control.Get()), test.allowed ? S_OK : E_FAIL);
            DWORD supported = 0;
            DWORD enabled = 0;
            EXPECT_EQ(Safety(control.Get())
                          ->GetInterfaceSafetyOptions(DIID__DRUVICtrl, &supported, &enabled),
                      S_OK);
            EXPECT_EQ(supported != 0, test.allowed);
            ExpectAnswers(control.Get(), test.allowed);
        }
    }
}

// In an allowed page the control is safe for scripts and for initialisation
// from the page's data, on the interfaces that serve them, and keeps what the
// browser enables.
TEST_F(SiteLockTest, AnAllowedPageMayEnableTheSafetyOptions) {
    ComPtr<IUnknown> control = NewControl();
    Place(control.Get(), PageSite(L"https://www.example.com/"), Siting::kClientSite);
    const ComPtr<IObjectSafety> safety = Safety(control.Get());
    const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    for (const IID* iid : {&IID_IDispatch, &DIID__DRUVICtrl, &IID_IPersistPropertyBag}) {
        DWORD supported = 0;
        DWORD enabled = 0;
        ASSERT_EQ(safety->GetInterfaceSafetyOptions(*iid, &supported, &enabled), S_OK);
        EXPECT_EQ(supported, both);
    }
    EXPECT_EQ(AskSafety(control.Get()), S_OK);
    DWORD supported = 0;
    DWORD enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, kUntrustedCaller);

    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACE_USES_DISPEX,
                                                INTERFACE_USES_DISPEX),
              E_FAIL);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled),
              E_NOINTERFACE);
}

// Hosts that name no page are local code, unless they show themselves to be
// a browser: by asking whether the control is safe for untrusted scripts
// (sited or not), or by having named a page before.
TEST_F(SiteLockTest, HostsThatNameNoPageAreLocalCodeUnlessABrowserShows) {
    const auto nativeContainer = [this] { return Site(nullptr); };
    const auto scriptEngineSite = [this] { return Site(nullptr, false); };
    const struct {
        const char* name;
        std::function<void(IUnknown*)> host;
        bool answered;
    } cases[] = {
        {"no site: a program or a script host", [](IUnknown*) {}, true},
        {"no site, but asks for safety as browsers do",
         [](IUnknown* control) { EXPECT_EQ(AskSafety(control), E_FAIL); }, false},
        {"native container without a document",
         [&](IUnknown* control) { Place(control, nativeContainer(), Siting::kClientSite); }, true},
        {"native container that asks for safety",
         [&](IUnknown* control) {
             Place(control, nativeContainer(), Siting::kClientSite);
             EXPECT_EQ(AskSafety(control), E_FAIL);
         },
         false},
        {"script host's engine",
         [&](IUnknown* control) { Place(control, scriptEngineSite(), Siting::kObjectWithSite); },
         true},
        {"browser's script engine, which asks before it sites",
         [&](IUnknown* control) {
             EXPECT_EQ(AskSafety(control), E_FAIL);
             Place(control, scriptEngineSite(), Siting::kObjectWithSite);
         },
         false},
        {"asks, then an allowed page sites it",
         [this](IUnknown* control) {
             EXPECT_EQ(AskSafety(control), E_FAIL);
             Place(control, PageSite(L"https://www.example.com/"), Siting::kClientSite);
         },
         true},
        {"allowed page that dropped its site",
         [this](IUnknown* control) {
             Place(control, PageSite(L"https://www.example.com/"), Siting::kClientSite);
             ExpectAnswers(control, true);
             Place(control, nullptr, Siting::kClientSite);
         },
         false},
        {"document whose name cannot be read",
         [this](IUnknown* control) {
             ComPtr<IBindCtx> anything;
             ComPtr<IMoniker> nameless;
             ASSERT_EQ(CreateBindCtx(0, &anything), S_OK);
             ASSERT_EQ(CreatePointerMoniker(anything.Get(), &nameless), S_OK);
             Place(control, Site(nameless), Siting::kClientSite);
         },
         false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ComPtr<IUnknown> control = NewControl();
        test.host(control.Get());
        ExpectAnswers(control.Get(), test.answered);
    }
}

}  // namespace
