#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "skin/dlg_ex.h"

// The proxy settings dialog: switches the use of an HTTP proxy on or off,
// takes its address, port, user name and password, and can test it with one
// GET of testUrl through it (the owner names the page: see ProxyProbeUrl).
// With the proxy switched on, OK closes the dialog only after a test that
// succeeded. Results: IDOK, IDCANCEL (close button) or 8 (the second action
// button).
class CSetProxySvrDlg : public CDlgEx {
public:
    CSetProxySvrDlg(HWND parent, std::string testUrl, bool useProxy, std::string address,
                    std::string port, std::string userName, std::string password);

    // After IDOK: the entered values; a field still showing its hint is empty.
    bool UseProxy() const { return useProxy_ != 0; }
    std::string ProxyAddress() const { return Entered(kAddress); }
    std::string ProxyPort() const { return Entered(kPort); }
    std::string UserName() const { return Entered(kUserName); }
    std::string Password() const { return Entered(kPassword); }

    // The dialog's result for the second action button.
    static constexpr INT_PTR kSecondActionResult = 8;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void LayoutControls() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    enum Field { kAddress, kPort, kUserName, kPassword, kFieldCount };

    std::string Entered(Field field) const;
    void UpdateUseProxy();
    void RestorePlaceholder(Field field);
    void ClearPlaceholder(Field field);
    bool ValidateProxyFields();
    bool CheckFields();
    bool TestConnection();
    void ShowResult(const std::string& success, const std::string& error);
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    static int FieldId(Field field);

    std::string testUrl_;
    std::string skinRoot_;
    std::array<COLORREF, kFieldCount> colours_{};
    std::array<std::string, kFieldCount> values_;
    int useProxy_ = 0;
};
