#include "framework/Dialog.h"

#include "framework/OccManager.h"
#include "framework/WinApp.h"

#include <vector>

CDialog::CDialog(UINT nIDTemplate, HWND hParent) : m_nIDTemplate(nIDTemplate), m_hParent(hParent) {}

CDialog::~CDialog()
{
    DestroyWindow();
}

const CDialog::MessageMap* CDialog::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {{0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

bool CDialog::LoadTemplate(std::vector<BYTE>& bytes) const
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    HRSRC hRes = FindResourceW(hInst, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5));
    if (hRes == nullptr)
        return false;
    HGLOBAL hGlobal = LoadResource(hInst, hRes);
    const void* p = hGlobal != nullptr ? LockResource(hGlobal) : nullptr;
    DWORD cb = SizeofResource(hInst, hRes);
    if (p == nullptr || cb == 0)
        return false;
    const BYTE* first = static_cast<const BYTE*>(p);
    bytes.assign(first, first + cb);
    // The control-container hook may substitute the template (the dialog font, for example).
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pOccManager != nullptr)
    {
        std::vector<BYTE> substitute;
        if (pApp->m_pOccManager->PreCreateDialog(reinterpret_cast<const DLGTEMPLATE*>(first), cb,
                                                 false, substitute))
            bytes.swap(substitute);
    }
    return true;
}

INT_PTR CDialog::DoModal()
{
    std::vector<BYTE> bytes;
    if (!LoadTemplate(bytes))
        return -1;
    m_bModeless = false;
    return DialogBoxIndirectParamW(AfxGetInstanceHandle(),
                                   reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), m_hParent,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(HWND hParent)
{
    std::vector<BYTE> bytes;
    if (!LoadTemplate(bytes))
        return FALSE;
    m_bModeless = true;
    m_hParent = hParent;
    HWND hWnd = CreateDialogIndirectParamW(AfxGetInstanceHandle(),
                                           reinterpret_cast<const DLGTEMPLATE*>(bytes.data()),
                                           hParent, DialogProc, reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

INT_PTR CDialog::RunModalLoop()
{
    m_bEndLoop = false;
    MSG msg;
    while (!m_bEndLoop && m_hWnd != nullptr)
    {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!IsDialogMessageW(m_hWnd, &msg))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return m_nResult;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    m_nResult = nResult;
    if (m_bModeless)
    {
        m_bEndLoop = true;
        PostMessageW(m_hWnd, WM_NULL, 0, 0); // wake the loop
    }
    else if (m_hWnd != nullptr)
    {
        ::EndDialog(m_hWnd, nResult);
    }
}

void CDialog::DestroyWindow()
{
    if (m_bModeless && m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg;
    if (message == WM_INITDIALOG)
    {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        pDlg->m_hWnd = hWnd;
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr && pApp->m_hMainWnd == nullptr)
        {
            pApp->m_hMainWnd = hWnd;
            pDlg->m_bIsMainWindow = true;
        }
        return pDlg->OnInitDialog();
    }
    pDlg = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (pDlg == nullptr)
        return FALSE;
    INT_PTR handled = pDlg->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        if (pDlg->m_bIsMainWindow && AfxGetApp() != nullptr)
            AfxGetApp()->m_hMainWnd = nullptr;
        pDlg->m_bIsMainWindow = false;
        pDlg->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageMap* pMap = GetMessageMap(); pMap != nullptr; pMap = pMap->pBaseMap)
    {
        for (const MessageMapEntry* p = pMap->pEntries; p->pfn != nullptr; ++p)
        {
            if (p->nMessage == message)
            {
                LRESULT result = (this->*(p->pfn))(wParam, lParam);
                SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
                return TRUE;
            }
        }
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        if (LOWORD(wParam) == IDOK)
        {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            return TRUE;
        }
    }
    if (message == WM_CLOSE && m_bModeless)
    {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}
