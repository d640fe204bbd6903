#pragma once
#include "controls/HyperLink.h"
#include "framework/Dialog.h"

// The modal "About..." box: the program's version, read from its own
// executable, and links to the author's page, the author's mail address
// and the code library the controls are based on.
class CAboutBox : public CDialog {
public:
  explicit CAboutBox(CWnd* pParent);

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

private:
  void ShowFileVersion();

  CHyperLink m_linkEmail;
  CHyperLink m_linkCredit;
  CHyperLink m_linkAuthorPage;
};
