#pragma once
#include <functional>

#include "controls/AccessibilityLibrary.h"
#include "framework/String.h"

// What a window's owner tells screen readers in place of what the system
// finds in the window itself.
struct AccessibleTexts {
  std::function<CString()> name;
  std::function<CString()> value;  // none: the system's value
  LONG role = 0;                   // 0: the system's role
};

// The accessible object of a window's client area: the system's own object
// for it, with its owner's texts. Reference-counted; called on the thread
// that owns the window.
class CAccessibleObject final : public IAccessible {
public:
  // With one reference; null when the system's object cannot be made.
  static CAccessibleObject* Create(const CAccessibilityLibrary& library, HWND window,
                                   AccessibleTexts texts);
  // The owner goes: from now on its texts are not asked for, and a screen
  // reader that still holds the object is told that it is gone.
  void Disconnect();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;

  // The rest is the system's object's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
  CAccessibleObject(IAccessible* standard, AccessibleTexts texts);
  ~CAccessibleObject();

  // Whether a request is about the object itself rather than a child of it.
  static bool IsSelf(const VARIANT& child);
  HRESULT Answer(const std::function<CString()>& text, BSTR* answer) const;

  LONG m_nReferences = 1;
  IAccessible* m_pStandard;
  AccessibleTexts m_texts;
  bool m_bConnected = true;
};
