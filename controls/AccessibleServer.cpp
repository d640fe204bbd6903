#include "controls/AccessibleServer.h"

#include <utility>

CAccessibleServer::CAccessibleServer(AccessibleTexts texts) : m_texts(std::move(texts)) {}

CAccessibleServer::~CAccessibleServer() {
  if (!m_pObject) return;
  m_pObject->Disconnect();
  m_pObject->Release();
}

bool CAccessibleServer::Serve(HWND window, WPARAM flags, LPARAM objectId, LRESULT& result) {
  // The id is a 32-bit value, sign-extended in a 64-bit message.
  if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return false;
  const CAccessibilityLibrary* library = CAccessibilityLibrary::Get();
  if (!library) return false;
  if (!m_pObject) m_pObject = CAccessibleObject::Create(*library, window, m_texts);
  if (!m_pObject) return false;
  result = library->LresultFromObject(__uuidof(IAccessible), flags, m_pObject);
  return true;
}
