#include "ruvictrlproppage.h"

#include <cstring>
#include <string>

#include "resource.h"
#include "ruvictrl_app.h"

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

HWND CreatePageDialog(HWND parent) {
    return CreateDialogParamW(theApp.Instance(), MAKEINTRESOURCEW(IDD_PROPPAGE_RUVICTRL), parent,
                              PageProc, 0);
}

// The template's size in pixels, as the dialog manager lays it out for its
// font: measured on a hidden copy of the page.
SIZE PageSize() {
    SIZE size{};
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      theApp.Instance(), nullptr));
    if (!host) {
        return size;
    }
    UniqueWindow page(CreatePageDialog(host.Get()));
    RECT rect;
    if (page && GetWindowRect(page.Get(), &rect)) {
        size = {rect.right - rect.left, rect.bottom - rect.top};
    }
    return size;
}

LPOLESTR CoTaskCopy(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) {
        std::memcpy(copy, text.c_str(), bytes);
    }
    return copy;
}

}  // namespace

STDMETHODIMP CRUVICtrlPropPage::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (Offer<IUnknown>(riid, this, object) || Offer<IPropertyPage>(riid, this, object)) {
        return S_OK;
    }
    return E_NOINTERFACE;
}

// The page never changes, so it has nothing to tell its site.
STDMETHODIMP CRUVICtrlPropPage::SetPageSite(IPropertyPageSite*) { return S_OK; }

STDMETHODIMP CRUVICtrlPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) {
        return E_POINTER;
    }
    dialog_.Reset(CreatePageDialog(parent));
    if (!dialog_) {
        return E_FAIL;
    }
    return Move(rect);
}

STDMETHODIMP CRUVICtrlPropPage::Deactivate() {
    dialog_.Reset();
    return S_OK;
}

STDMETHODIMP CRUVICtrlPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) {
        return E_POINTER;
    }
    *info = PROPPAGEINFO{};
    info->cb = sizeof *info;
    info->pszTitle = CoTaskCopy(theApp.ResourceString(IDS_RUVICTRL_PPG_CAPTION));
    if (!info->pszTitle) {
        return E_OUTOFMEMORY;
    }
    info->size = PageSize();
    return S_OK;
}

// There is nothing to edit, so the objects are not needed.
STDMETHODIMP CRUVICtrlPropPage::SetObjects(ULONG count, IUnknown** objects) {
    return count > 0 && !objects ? E_POINTER : S_OK;
}

STDMETHODIMP CRUVICtrlPropPage::Show(UINT command) {
    if (!dialog_) {
        return E_UNEXPECTED;
    }
    ShowWindow(dialog_.Get(), int(command));
    return S_OK;
}

STDMETHODIMP CRUVICtrlPropPage::Move(LPCRECT rect) {
    if (!rect) {
        return E_POINTER;
    }
    if (!dialog_) {
        return E_UNEXPECTED;
    }
    MoveWindow(dialog_.Get(), rect->left, rect->top, rect->right - rect->left,
               rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP CRUVICtrlPropPage::IsPageDirty() { return S_FALSE; }

STDMETHODIMP CRUVICtrlPropPage::Apply() { return S_OK; }

STDMETHODIMP CRUVICtrlPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP CRUVICtrlPropPage::TranslateAccelerator(MSG*) { return S_FALSE; }
