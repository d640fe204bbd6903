#include "app/ZephalDlg.h"

#include "app/DesktopPlacement.h"
#include "app/SettingsFile.h"
#include "app/ZephalApp.h"
#include "framework/PaintDC.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR TICK_TIMER_ID = 1;
constexpr UINT kTickPeriodMs = 1000;
constexpr DWORD kLabelBufferSize = 100;
constexpr DWORD kMessageBufferSize = 1024;

struct LabelSetting {
  int controlId;
  LPCWSTR section;
  LPCWSTR key;
  LPCWSTR defaultText;
};

const LabelSetting kLabels[] = {
    {IDC_COMPARE, L"button", L"comp", L"Compare"},
    {IDC_SYNCHRONIZE, L"button", L"sync", L"Synchronize"},
    {IDC_ABOUT, L"button", L"about", L"About..."},
    {IDC_LOCAL_LABEL, L"static", L"localtime", L"Local time"},
    {IDC_SERVER_LABEL, L"static", L"servertime", L"Server time"},
};

struct MessageSetting {
  LPCWSTR key;
  LPCWSTR builtInText;
};

const MessageSetting kMessages[] = {
    {L"1", L"Time server"},
    {L"2", L"Local time is faster than Server time"},
    {L"3", L"Local time is slower than Server time"},
    {L"4", L"Local time"},
    {L"5", L"Reserved"},
    {L"6", L"Failed to set the local time"},
};

// The local time of the latest tick, shared by both clocks' messages.
SYSTEMTIME tickTime;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }
}  // namespace

CZephalDlg::CZephalDlg(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {}

BEGIN_MESSAGE_MAP(CZephalDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CZephalDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LOCAL_CLOCK, m_clockLocal);
  DDX_Control(pDX, IDC_SERVER_CLOCK, m_clockServer);
}

BOOL CZephalDlg::OnInitDialog() {
  m_strServer = static_cast<CZephalApp*>(AfxGetApp())->m_strServer;
  CDialog::OnInitDialog();
  LoadControlLabels();
  LoadMessages();

  m_clockLocal.m_bServerClock = FALSE;
  m_clockLocal.LoadClockImages(IDB_LOCAL_FACE, IDB_LOCAL_LARGE_DIGITS, IDB_LOCAL_SMALL_DIGITS, 0);
  m_clockServer.m_bServerClock = TRUE;
  m_clockServer.LoadClockImages(IDB_SERVER_FACE, IDB_SERVER_LARGE_DIGITS, IDB_SERVER_SMALL_DIGITS, 0);

  StartSecondTick();
  CenterOnDesktop();
  return TRUE;
}

void CZephalDlg::LoadControlLabels() {
  for (const LabelSetting& label : kLabels) {
    const CString text = ReadSetting(label.section, label.key, label.defaultText, kLabelBufferSize);
    ::SetDlgItemTextW(m_hWnd, label.controlId, text.c_str());
  }
}

void CZephalDlg::LoadMessages() {
  for (const MessageSetting& message : kMessages) {
    const CString text = ReadMessage(message.key);
    m_arrMessages.push_back(text.empty() ? message.builtInText : text);
  }
}

CString CZephalDlg::ReadMessage(LPCWSTR key) const {
  return ReadSetting(L"msg", key, L"", kMessageBufferSize);
}

// Starts the tick timer on the next whole second of local time.
void CZephalDlg::StartSecondTick() {
  if (m_nTickTimer) ::KillTimer(m_hWnd, m_nTickTimer);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  ::Sleep(kTickPeriodMs - now.wMilliseconds);
  m_nTickTimer = ::SetTimer(m_hWnd, TICK_TIMER_ID, kTickPeriodMs, nullptr);
}

void CZephalDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == TICK_TIMER_ID) {
    ::GetLocalTime(&tickTime);
    const auto time = reinterpret_cast<WPARAM>(&tickTime);
    if (m_clockLocal.m_hWnd && ::IsWindow(m_clockLocal.m_hWnd)) {
      ::PostMessageW(m_clockLocal.m_hWnd, WM_CLOCK_TICK, time, 0);
    }
    if (m_clockServer.m_hWnd && ::IsWindow(m_clockServer.m_hWnd) && m_bServerTimeKnown) {
      ::PostMessageW(m_clockServer.m_hWnd, WM_CLOCK_TICK, time, 0);
    }
  }
  CDialog::OnTimer(nIDEvent);
}

void CZephalDlg::CenterOnDesktop() {
  RECT desktop;
  RECT window;
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  ::GetWindowRect(m_hWnd, &window);
  ::MoveWindow(m_hWnd, CenteredOffset(Width(desktop), Width(window)),
               CenteredOffset(Height(desktop), Height(window)), Width(window), Height(window), TRUE);
}

void CZephalDlg::OnPaint() {
  CPaintDC dc(this);
}

void CZephalDlg::OnDestroy() {
  ::KillTimer(m_hWnd, m_nTickTimer);
  m_nTickTimer = 0;
  m_arrMessages.clear();
  m_arrMessages.shrink_to_fit();
  CDialog::OnDestroy();
}
