// Message dispatch through the window layer (table lookup, message map, default processing)
// against plain window procedures, as ratios. Same-thread SendMessage loops.
#include <windows.h>
#include <commctrl.h>

#include "harness.h"
#include "winlayer/window_impl.h"

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr int kMessages = 20000;

LRESULT CALLBACK PlainProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == kPing) return static_cast<LRESULT>(wParam + 1);
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// A map of typical length with the measured message last.
class LayerWindow : public CWindowImpl<LayerWindow, CWindow, CWinTraits<WS_POPUP>> {
 public:
  BEGIN_MSG_MAP(LayerWindow)
  MESSAGE_HANDLER(WM_CREATE, OnOther)
  MESSAGE_HANDLER(WM_DESTROY, OnPassOn)
  MESSAGE_HANDLER(WM_SIZE, OnOther)
  MESSAGE_HANDLER(WM_PAINT, OnPassOn)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnOther)
  MESSAGE_HANDLER(WM_TIMER, OnOther)
  COMMAND_ID_HANDLER(1022, OnCommand)
  COMMAND_ID_HANDLER(1024, OnCommand)
  NOTIFY_CODE_HANDLER(NM_CLICK, OnNotify)
  MESSAGE_HANDLER(kPing, OnPing)
  END_MSG_MAP()
  LRESULT OnOther(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnCommand(WORD, WORD, HWND, BOOL&) { return 0; }
  LRESULT OnNotify(int, LPNMHDR, BOOL&) { return 0; }
  LRESULT OnPing(UINT, WPARAM wParam, LPARAM, BOOL&) { return static_cast<LRESULT>(wParam + 1); }
};

class LayerList : public CWindowImpl<LayerList, CWindow, CWinTraits<WS_POPUP>> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_LISTVIEWW)
  BEGIN_MSG_MAP(LayerList)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
};

double SendLoop(HWND hWnd, UINT message) {
  return bench::MedianSeconds([&] {
    LRESULT sum = 0;
    for (int i = 0; i < kMessages; ++i) sum += SendMessageW(hWnd, message, i, 0);
    bench::KeepAlive(sum);
  });
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchPlain";
  RegisterClassExW(&wc);
  HWND plain = CreateWindowExW(0, L"BenchPlain", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
  LayerWindow layer;
  layer.Create(nullptr);
  HWND plainList = CreateWindowExW(0, WC_LISTVIEWW, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, wc.hInstance, nullptr);
  LayerList layerList;
  layerList.Create(nullptr);
  if (!plain || !layer.m_hWnd || !plainList || !layerList.m_hWnd) {
    std::printf("could not create the windows\n");
    return 1;
  }

  std::printf("%d same-thread SendMessage calls per run, median of 9 runs\n", kMessages);
  bench::PrintRatio("layer: handled at the end of a map", SendLoop(layer, kPing), "plain procedure",
                    SendLoop(plain, kPing));
  bench::PrintRatio("layer: unhandled, to DefWindowProc", SendLoop(layer, WM_NULL),
                    "plain procedure", SendLoop(plain, WM_NULL));
  bench::PrintRatio("layer: superclassed list view", SendLoop(layerList, LVM_GETITEMCOUNT),
                    "plain list view", SendLoop(plainList, LVM_GETITEMCOUNT));

  layerList.DestroyWindow();
  layer.DestroyWindow();
  DestroyWindow(plainList);
  DestroyWindow(plain);
  return 0;
}
