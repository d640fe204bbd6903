#include "about/AboutBox.h"

#include <cwchar>

#include "about/FileVersionInfo.h"
#include "framework/ProgramPath.h"
#include "res/resource.h"

namespace {
const wchar_t kCopyright[] = L"Copyright (C) 2006-2007 Movrane developers";
const wchar_t kMailTo[] = L"mailto:movrane@example.org";
const wchar_t kAuthorPage[] = L"https://example.org/movrane/";
const wchar_t kCodeLibrarySite[] = L"https://code.example.org/";
const wchar_t kVersionFormat[] = L"ver. %d.%d.%d.%d";
constexpr size_t kVersionTextChars = 64;
}  // namespace

CAboutBox::CAboutBox(CWnd* pParent) : CDialog(IDD_ABOUT, pParent) {}

void CAboutBox::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LINK_EMAIL, m_linkEmail);
  DDX_Control(pDX, IDC_LINK_CREDIT, m_linkCredit);
  DDX_Control(pDX, IDC_LINK_AUTHOR_PAGE, m_linkAuthorPage);
}

BOOL CAboutBox::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextW(m_hWnd, IDC_LINK_AUTHOR_PAGE, kCopyright);
  ::SetDlgItemTextW(m_hWnd, IDC_LINK_EMAIL, kMailTo);
  m_linkAuthorPage.SetLinkTarget(kAuthorPage);
  m_linkEmail.SetLinkTarget(kMailTo);
  m_linkEmail.SetUnderlineMode(CHyperLink::UnderlineAlways);
  m_linkCredit.SetLinkTarget(kCodeLibrarySite);
  ShowFileVersion();
  return TRUE;
}

// The file version of the program's own executable; the label keeps its
// template text when the version cannot be read.
void CAboutBox::ShowFileVersion() {
  CFileVersionInfo versionInfo;
  if (!versionInfo.ReadFromFile(ProgramPath().c_str())) return;

  const VS_FIXEDFILEINFO& fixed = versionInfo.FixedInfo();
  wchar_t text[kVersionTextChars];
  std::swprintf(text, kVersionTextChars, kVersionFormat, HIWORD(fixed.dwFileVersionMS),
                LOWORD(fixed.dwFileVersionMS), HIWORD(fixed.dwFileVersionLS),
                LOWORD(fixed.dwFileVersionLS));
  ::SetDlgItemTextW(m_hWnd, IDC_VERSION, text);
}
