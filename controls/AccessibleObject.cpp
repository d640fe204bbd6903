#include "controls/AccessibleObject.h"

#include <utility>

CAccessibleObject* CAccessibleObject::Create(const CAccessibilityLibrary& library, HWND window,
                                             AccessibleTexts texts) {
  IAccessible* standard = nullptr;
  if (FAILED(library.CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&standard)))) {
    return nullptr;
  }
  return new CAccessibleObject(standard, std::move(texts));
}

CAccessibleObject::CAccessibleObject(IAccessible* standard, AccessibleTexts texts)
    : m_pStandard(standard), m_texts(std::move(texts)) {}

CAccessibleObject::~CAccessibleObject() {
  m_pStandard->Release();
}

void CAccessibleObject::Disconnect() {
  m_bConnected = false;
}

HRESULT CAccessibleObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible)) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IAccessible*>(this);
  AddRef();
  return S_OK;
}

ULONG CAccessibleObject::AddRef() {
  return static_cast<ULONG>(++m_nReferences);
}

ULONG CAccessibleObject::Release() {
  const LONG left = --m_nReferences;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// Screen readers call the accessible methods themselves, not through
// IDispatch.
HRESULT CAccessibleObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo**) {
  return E_NOTIMPL;
}

HRESULT CAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT CAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

bool CAccessibleObject::IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT CAccessibleObject::Answer(const std::function<CString()>& text, BSTR* answer) const {
  if (!answer) return E_POINTER;
  *answer = nullptr;
  if (!m_bConnected) return CO_E_OBJNOTCONNECTED;
  *answer = ::SysAllocString(text().c_str());
  return *answer ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleObject::get_accName(VARIANT child, BSTR* name) {
  if (!IsSelf(child)) return m_pStandard->get_accName(child, name);
  return Answer(m_texts.name, name);
}

HRESULT CAccessibleObject::get_accValue(VARIANT child, BSTR* value) {
  if (!IsSelf(child) || !m_texts.value) return m_pStandard->get_accValue(child, value);
  return Answer(m_texts.value, value);
}

HRESULT CAccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
  if (!IsSelf(child) || m_texts.role == 0) return m_pStandard->get_accRole(child, role);
  if (!role) return E_POINTER;
  role->vt = VT_I4;
  role->lVal = m_texts.role;
  return S_OK;
}

HRESULT CAccessibleObject::get_accParent(IDispatch** parent) {
  return m_pStandard->get_accParent(parent);
}

HRESULT CAccessibleObject::get_accChildCount(long* count) {
  return m_pStandard->get_accChildCount(count);
}

HRESULT CAccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
  return m_pStandard->get_accChild(child, object);
}

HRESULT CAccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
  return m_pStandard->get_accDescription(child, description);
}

HRESULT CAccessibleObject::get_accState(VARIANT child, VARIANT* state) {
  return m_pStandard->get_accState(child, state);
}

HRESULT CAccessibleObject::get_accHelp(VARIANT child, BSTR* help) {
  return m_pStandard->get_accHelp(child, help);
}

HRESULT CAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  return m_pStandard->get_accHelpTopic(file, child, topic);
}

HRESULT CAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return m_pStandard->get_accKeyboardShortcut(child, shortcut);
}

HRESULT CAccessibleObject::get_accFocus(VARIANT* child) {
  return m_pStandard->get_accFocus(child);
}

HRESULT CAccessibleObject::get_accSelection(VARIANT* children) {
  return m_pStandard->get_accSelection(children);
}

HRESULT CAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
  return m_pStandard->get_accDefaultAction(child, action);
}

HRESULT CAccessibleObject::accSelect(long flags, VARIANT child) {
  return m_pStandard->accSelect(flags, child);
}

HRESULT CAccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  return m_pStandard->accLocation(left, top, width, height, child);
}

HRESULT CAccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
  return m_pStandard->accNavigate(direction, start, end);
}

HRESULT CAccessibleObject::accHitTest(long x, long y, VARIANT* child) {
  return m_pStandard->accHitTest(x, y, child);
}

HRESULT CAccessibleObject::accDoDefaultAction(VARIANT child) {
  return m_pStandard->accDoDefaultAction(child);
}

HRESULT CAccessibleObject::put_accName(VARIANT child, BSTR name) {
  return m_pStandard->put_accName(child, name);
}

HRESULT CAccessibleObject::put_accValue(VARIANT child, BSTR value) {
  return m_pStandard->put_accValue(child, value);
}
