#pragma once

#include <windows.h>

#include <ocidl.h>

#include "com_object.h"
#include "platform/unique_window.h"

inline constexpr CLSID CLSID_RUVICtrlPropPage = {
    0xF8067013, 0xD12C, 0x4400, {0xA9, 0xD8, 0xAE, 0x3C, 0xC1, 0x6A, 0x19, 0x12}};

// The control's property page ("常规"). The control has no properties, so
// the page only shows a note and never becomes dirty.
class CRUVICtrlPropPage final : public ComObject<IPropertyPage> {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDirectory) override;
    STDMETHODIMP TranslateAccelerator(MSG* message) override;

private:
    UniqueWindow dialog_;
};
