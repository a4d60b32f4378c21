#include "winlayer/app_module.h"

CAppModule _Module;

HRESULT CAppModule::Init(void* objectMap, HINSTANCE hInstance, const GUID* libId) {
  (void)objectMap;
  (void)libId;
  std::lock_guard<std::mutex> lock(m_lock);
  m_hInstance = hInstance;
  m_hResourceInstance = hInstance;
  return S_OK;
}

void CAppModule::Term() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_loops.clear();
  m_hInstance = nullptr;
  m_hResourceInstance = nullptr;
}

HINSTANCE CAppModule::GetModuleInstance() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_hInstance ? m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE CAppModule::GetResourceInstance() const {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_hResourceInstance) return m_hResourceInstance;
  return m_hInstance ? m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE CAppModule::SetResourceInstance(HINSTANCE hInstance) {
  std::lock_guard<std::mutex> lock(m_lock);
  HINSTANCE previous = m_hResourceInstance;
  m_hResourceInstance = hInstance;
  return previous;
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) {
  if (!loop) return FALSE;
  std::lock_guard<std::mutex> lock(m_lock);
  return m_loops.emplace(::GetCurrentThreadId(), loop).second;
}

BOOL CAppModule::RemoveMessageLoop() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_loops.erase(::GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_loops.find(threadId);
  return it == m_loops.end() ? nullptr : it->second;
}
