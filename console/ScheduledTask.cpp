#include "console/ScheduledTask.h"

#include <oleauto.h>
#include <taskschd.h>
#include <wrl/client.h>

#include "console/ScheduledTaskXml.h"
#include "framework/ComApartment.h"

using Microsoft::WRL::ComPtr;

namespace {
// A BSTR that is freed when it goes.
class Bstr {
public:
  explicit Bstr(const std::wstring& text) : m_text(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(m_text); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  operator BSTR() const { return m_text; }

private:
  BSTR m_text;
};

// A VARIANT holding a string, or nothing.
class Variant {
public:
  Variant() { ::VariantInit(&m_value); }
  explicit Variant(const std::wstring& text) : Variant() {
    m_value.vt = VT_BSTR;
    m_value.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~Variant() { ::VariantClear(&m_value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  operator VARIANT() const { return m_value; }

private:
  VARIANT m_value;
};

// The Task Scheduler's root folder, through a connection to this
// computer's service.
HRESULT OpenRootFolder(ComPtr<ITaskFolder>& root) {
  ComPtr<ITaskService> service;
  HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service));
  if (SUCCEEDED(hr)) hr = service->Connect(Variant(), Variant(), Variant(), Variant());
  if (SUCCEEDED(hr)) hr = service->GetFolder(Bstr(L"\\"), &root);
  return hr;
}
}  // namespace

// The whole definition in one XML document: one call, which the Task
// Scheduler checks against its schema before it replaces anything.
HRESULT CScheduledTask::Register(const std::wstring& programPath, int hours) {
  const CComApartment com(COINIT_MULTITHREADED);
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  ComPtr<ITaskFolder> root;
  ComPtr<IRegisteredTask> registered;
  HRESULT hr = com.Status();
  if (SUCCEEDED(hr)) hr = OpenRootFolder(root);
  if (SUCCEEDED(hr))
    hr = root->RegisterTask(Bstr(kName), Bstr(ScheduledTaskXml(programPath, hours, now)), TASK_CREATE_OR_UPDATE,
                            Variant(kLocalSystem), Variant(), TASK_LOGON_SERVICE_ACCOUNT, Variant(), &registered);
  return hr;
}

HRESULT CScheduledTask::Remove() {
  const CComApartment com(COINIT_MULTITHREADED);
  ComPtr<ITaskFolder> root;
  HRESULT hr = com.Status();
  if (SUCCEEDED(hr)) hr = OpenRootFolder(root);
  if (SUCCEEDED(hr)) hr = root->DeleteTask(Bstr(kName), 0);
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_FALSE : hr;
}
