// CDialog: a dialog created from a template resource of the program, run modally (DoModal) or
// created modeless and run by its own modal loop (Create + RunModalLoop). Handlers are found in a
// table of message -> member function (GetMessageMap). Main thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CDialog
{
public:
    explicit CDialog(UINT nIDTemplate, HWND hParent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the dialog modally (shown) and returns the value passed to EndDialog, or -1.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; it is visible only when its template says so.
    BOOL Create(HWND hParent);
    // Serves messages until EndDialog is called (for a dialog made by Create); never shows it.
    INT_PTR RunModalLoop();
    void EndDialog(INT_PTR nResult);
    void DestroyWindow();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    HWND GetSafeHwnd() const { return m_hWnd; }
    void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    void SetDlgItemText(int nID, const std::wstring& text)
    {
        ::SetDlgItemTextW(m_hWnd, nID, text.c_str());
    }

    HWND m_hWnd = nullptr;
    UINT m_nIDTemplate;
    HWND m_hParent;

protected:
    using Handler = LRESULT (CDialog::*)(WPARAM, LPARAM);
    struct MessageMapEntry
    {
        UINT nMessage;
        Handler pfn;
    };
    // A map lists its own entries (ended by one with pfn null) and points at its base's map.
    struct MessageMap
    {
        const MessageMap* pBaseMap;
        const MessageMapEntry* pEntries;
    };
    virtual const MessageMap* GetMessageMap() const;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool LoadTemplate(std::vector<BYTE>& bytes) const;

    bool m_bModeless = false;
    bool m_bEndLoop = false;
    bool m_bIsMainWindow = false;
    INT_PTR m_nResult = -1;
};
