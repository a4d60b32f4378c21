#include "foundation/message_box.h"

#include <atomic>

namespace {

std::atomic<MessageBoxHandler> g_handler{nullptr};

}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  MessageBoxHandler handler = g_handler.load();
  if (handler) return handler(owner, text, caption, type);
  return MessageBoxW(owner, text, caption, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return g_handler.exchange(handler);
}
