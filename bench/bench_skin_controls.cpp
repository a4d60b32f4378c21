// The skinned controls against the system's own, as ratios: painting a 200-row skinned list
// (every cell by custom draw) against the plain list view painting the same rows, and a skinned
// popup menu (owner-drawn items) shown and closed against the same menu left plain.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/skin_list_ctrl.h"
#include "controls/skin_menu.h"
#include "harness.h"
#include "resources/skin_controls.h"
#include "tests/controls/skin_test_windows.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

namespace {

constexpr int kRows = 200;
constexpr int kWidth = 560;

// The tests' hidden host (it reflects notifications), which also hands menu items to a
// skinned menu and closes a tracked menu as soon as it has been painted and waits for input.
class Host : public ReflectingHost {
 public:
  BEGIN_MSG_MAP(Host)
  MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMenuItem)
  MESSAGE_HANDLER(WM_DRAWITEM, OnMenuItem)
  CHAIN_MSG_MAP(ReflectingHost)
  END_MSG_MAP()

  CSkinMenu* menu = nullptr;

 private:
  LRESULT OnEnterIdle(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == MSGF_MENU) ::EndMenu();
    return 0;
  }
  LRESULT OnMenuItem(UINT uMsg, WPARAM, LPARAM lParam, BOOL& bHandled) {
    if (!menu) {
      bHandled = FALSE;
      return 0;
    }
    if (uMsg == WM_MEASUREITEM) {
      menu->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    } else {
      menu->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    return TRUE;
  }
};

// The song list's columns, drawn by the base list from the stored texts.
class SongList : public CSkinListCtrlEx {
 public:
  void InitColumns() override {
    const wchar_t* titles[] = {L"", L"歌曲名", L"专辑", L"艺人", L"进度"};
    const int widths[] = {30, 150, 180, 100, 60};
    for (int i = 0; i < 5; ++i) InsertColumn(i, titles[i], LVCFMT_CENTER, widths[i]);
  }
  int HitTestItemButton(POINT*) override { return -1; }
};

void Fill(CListViewCtrl list, HFONT font) {
  list.SetFont(font);
  for (int i = 0; i < kRows; ++i) {
    list.InsertItem(i, std::to_wstring(i + 1).c_str());
    list.SetItemText(i, 1, L"夜空中最亮的星");
    list.SetItemText(i, 2, L"世界");
    list.SetItemText(i, 3, L"逃跑计划");
    list.SetItemText(i, 4, L"100%");
  }
}

// Seconds to paint the whole list into a DIB of its size.
double PaintSeconds(CListViewCtrl list) {
  CRect client;
  list.GetClientRect(&client);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = client.Width();
  info.bmiHeader.biHeight = -client.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  CBitmap bitmap;
  bitmap.CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits);
  HBITMAP old = dc.SelectBitmap(bitmap);
  double seconds = bench::MedianSeconds(
      [&] { list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.m_hDC), PRF_CLIENT); });
  dc.SelectBitmap(old);
  return seconds;
}

HMENU MakeMenu() {
  HMENU menu = ::CreatePopupMenu();
  const wchar_t* items[] = {L"播放",           L"编辑歌词",     L"上传歌词", L"删除歌曲",
                            L"打开所在文件夹", L"复制歌曲地址", L"总在最前", L"关于"};
  for (int i = 0; i < 8; ++i) {
    if (i == 4) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, 32800 + i, items[i]);
  }
  return menu;
}

double Median(std::vector<double> times) {
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

// Seconds to show, paint and close each menu, measured in turns so that a busy machine weighs
// on both alike.
void TrackSeconds(Host& host, CSkinMenu& skin, HMENU skinned, HMENU plain, double* skinnedSeconds,
                  double* plainSeconds) {
  std::vector<double> skinnedTimes, plainTimes;
  for (int round = 0; round < 41; ++round) {
    for (bool skinnedTurn : {true, false}) {
      host.menu = skinnedTurn ? &skin : nullptr;
      const double start = bench::NowSeconds();
      ::TrackPopupMenu(skinnedTurn ? skinned : plain, TPM_RETURNCMD, 100, 100, 0, host, nullptr);
      (skinnedTurn ? skinnedTimes : plainTimes).push_back(bench::NowSeconds() - start);
    }
  }
  host.menu = nullptr;
  *skinnedSeconds = Median(skinnedTimes);
  *plainSeconds = Median(plainTimes);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&init);
  Host host;
  host.Create(nullptr, CRect(0, 0, kWidth, 200), L"bench");
  CFont font;
  font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS, L"宋体");

  // The song list's rows: a 12 px font as the lyric workspace gives it, all 200 rows in view.
  SongList skinned;
  skinned.Create(host, CRect(0, 0, kWidth, 100), nullptr,
                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS);
  skinned.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT);
  skinned.InitColumns();
  Fill(skinned, font);
  CListViewCtrl plain;
  plain.Create(host, CRect(0, 0, kWidth, 100), nullptr,
               WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS);
  plain.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT);
  for (int i = 0; i < 5; ++i) plain.InsertColumn(i, L"", LVCFMT_CENTER, skinned.GetColumnWidth(i));
  Fill(plain, font);
  CRect row;
  skinned.GetItemRect(0, &row, LVIR_BOUNDS);
  const int height = 27 + kRows * row.Height() + 10;
  skinned.SetWindowPos(nullptr, 0, 0, kWidth, height, SWP_NOMOVE | SWP_NOZORDER);
  plain.SetWindowPos(nullptr, 0, 0, kWidth, height, SWP_NOMOVE | SWP_NOZORDER);
  bench::PrintRatio("skinned list, 200 rows painted", PaintSeconds(skinned), "plain list view",
                    PaintSeconds(plain));

  // The popup menus: shown, painted and closed as soon as they wait for input.
  HMENU plainMenu = MakeMenu();
  HMENU skinnedMenu = MakeMenu();
  CSkinMenu skin;
  skin.AttachMenu(skinnedMenu, FALSE, IDB_MENU_IMAGES, 10, 24);
  skin.SetItemImage(32800, 0);
  skin.SetItemImage(32803, 3);
  double skinnedSeconds = 0, plainSeconds = 0;
  TrackSeconds(host, skin, skinnedMenu, plainMenu, &skinnedSeconds, &plainSeconds);
  bench::PrintRatio("skinned popup menu, 9 items", skinnedSeconds, "plain popup menu",
                    plainSeconds);
  ::DestroyMenu(plainMenu);
  host.DestroyWindow();
  return 0;
}
