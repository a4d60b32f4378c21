// Where the results of the site's requests land: the dispatch by request kind to the panes, and
// the update check (by hand from the menu, and on a thread of its own every hour).
#include <algorithm>
#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "app/update_dlg.h"
#include "lyric/lrcedit_dlg.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "webdata/http_download.h"
#include "webdata/web_request_kind.h"
#include "winlayer/window_thread.h"

namespace {

constexpr DWORD kUpdateCheckInterval = 3600000;
const wchar_t kUpdateCaption[] = L"检查更新";
const wchar_t kNetworkBusy[] = L"网络忙，请稍后重试！";
const wchar_t kRequestFailedCaption[] = L"请求失败";
// What the user asked for did not come (the site failed, or answered with what is not the
// record): without a word the click or the pasted address would seem to do nothing.
const wchar_t kPageFailed[] = L"请求专辑列表失败，请检查网络连接后重试！";
const wchar_t kSongFailed[] = L"获取歌曲信息失败，请检查歌曲地址和网络连接后重试！";
const wchar_t kAlbumFailed[] = L"获取专辑信息失败，请检查专辑地址和网络连接后重试！";

}  // namespace

std::string ReadUpdateFile(const wchar_t* path) {
  std::ifstream file(path);
  std::string text;
  // Lines of at most 1023 characters, joined without their breaks; a longer line ends the
  // reading, as the stream then fails.
  char line[1024];
  while (file.getline(line, sizeof line)) text += line;
  return text;
}

// The parameter record goes on to the dispatch, which frees it; without a dispatch (no window
// yet or any more), or when the parse throws, it is freed here.
void CMainFrame::OnWebServiceReply(const std::string& reply, int kind, int param) {
  ScopedRequestParam record(kind, param);
  m_webDataManager.ParseWebServiceXml(reply, kind, param);
  if (param != kNoDispatch && IsWindow()) OnWebServiceData(kind, record.Release());
}

void CMainFrame::OnApiReply(boost::shared_ptr<proto::base> result, int kind, int param) {
  ScopedRequestParam record(kind, param);
  m_webDataManager.StoreApiResult(result, kind);
  if (param != kNoDispatch && IsWindow()) OnApiData(kind, record.Release());
}

void CMainFrame::OnWebServiceData(int kind, int param) {
  ScopedRequestParam record(kind, param);
  GetLogger()->log(em_utility::log_level::normal, "OnWebServiceData: kind = %d, param = %d", kind,
                   param);
  NotifyDataObserver(false, kind, param);
  // Without its window the frame has no panes to show anything in.
  if (IsWindow()) {
    switch (kind) {
      case WebRequestKind::RadioTypes:
        OnRadioTypes();
        break;
      case WebRequestKind::RadioSongs:
        OnRadioSongs(RequestParamRecord<WebRequestParam>(param));
        break;
      case WebRequestKind::AlbumPromotions:
        // The request worker delivers pages: weighed and listed there, a page could land after
        // the user had chosen another node or page in the meantime.
        RunOnWindowThread(m_wndList, [&] {
          OnAlbumPromotions(RequestParamRecord<AlbumPromotionParam>(param));
        });
        break;
      case WebRequestKind::SongDetail: {
        if (!m_pLrceditDlg->IsWindow()) break;
        CSongItem song = m_webDataManager.GetSongDetail(param);
        m_pLrceditDlg->AddSongItem(&song, false);
        break;
      }
      case WebRequestKind::UpdateFile:
        OnUpdateDescription(param != 0);
        break;
      default:
        break;
    }
  }
}

void CMainFrame::OnApiData(int kind, int param) {
  ScopedRequestParam record(kind, param);
  GetLogger()->log(em_utility::log_level::normal, "OnApiData: kind = %d, param = %d", kind, param);
  NotifyDataObserver(true, kind, param);
  // Songs go to the lyric workspace only while it is on the screen to list them.
  if (!IsWindow() || !m_pLrceditDlg->IsWindow()) return;
  if (kind == WebRequestKind::TrackDetail) {
    bool found = false;
    boost::shared_ptr<proto::songdetail> detail = m_webDataManager.GetTrackDetail(param, found);
    if (found && detail) {
      m_pLrceditDlg->AddSong(detail->GetSong(), false);
    } else {
      ShowMessageBox(m_hWnd, kSongFailed, kRequestFailedCaption, MB_ICONHAND);
    }
  } else if (kind == WebRequestKind::AlbumDetail) {
    const WebRequestParam* request = RequestParamRecord<WebRequestParam>(param);
    if (!request || request->fields[0] != 0) return;
    boost::shared_ptr<proto::albumdetail> album;
    // Field 3 is the album the request asked the site for.
    if (m_webDataManager.GetAlbumDetail(request->fields[3], album) && album) {
      GetLogger()->log(em_utility::log_level::important, "add song begin...");
      m_pLrceditDlg->AddAlbumSongs(*album);
      GetLogger()->log(em_utility::log_level::important, "add song end...");
    } else {
      ShowMessageBox(m_hWnd, kAlbumFailed, kRequestFailedCaption, MB_ICONHAND);
    }
  }
}

void CMainFrame::SetDataObserverForTesting(DataObserver observer) {
  std::lock_guard<std::mutex> lock(m_observerMutex);
  m_dataObserver = std::move(observer);
}

void CMainFrame::NotifyDataObserver(bool api, int kind, int param) {
  DataObserver observer;
  {
    std::lock_guard<std::mutex> lock(m_observerMutex);
    observer = m_dataObserver;
  }
  if (observer) observer(api, kind, param);
}

// ---- the music station

void CMainFrame::OnRadioTypes() {
  std::vector<RadioList> lists = m_webDataManager.GetRadioLists();
  RadioTypeTable types = m_webDataManager.GetRadioTypes();
  std::stable_sort(lists.begin(), lists.end(), &RadioList::IsNewerThan);
  // The tree's items point into the type table: they go before the table does.
  m_wndTree.Clear();
  {
    CLockGuard guard(m_radioLock);
    m_radioLists = std::move(lists);
    m_radioTypes = std::move(types);
  }
  if (m_radioTypes.types.empty()) {
    if (ShowMessageBox(m_hWnd, L"当前网络忙，是否重新请求？", kRequestFailedCaption,
                       MB_YESNO | MB_ICONQUESTION) == IDYES) {
      m_webDataManager.RequestRadioTypes();
    } else {
      ShowMessageBox(m_hWnd, L"请求音乐库列表失败，请检查网络连接后重试！", kRequestFailedCaption,
                     MB_ICONHAND);
    }
    return;
  }
  // Only the request worker replaces the table, so it may be read here without the lock.
  m_wndTree.Fill(m_radioTypes.types);
  // The library list changes on its own thread only, and for the node selected there.
  RunOnWindowThread(m_wndList, [this] { OnTreeSelChanged(m_wndTree.GetSelectedItem()); });
}

void CMainFrame::OnRadioSongs(const WebRequestParam* request) {
  if (!request || request->fields[0] != 0 || !m_pLrceditDlg->IsWindow()) return;
  RadioSongEntry entry = m_webDataManager.GetRadioSongs(*request);
  GetLogger()->log(em_utility::log_level::important, "add song begin...");
  m_pLrceditDlg->AddSongItems(entry.songs);
  GetLogger()->log(em_utility::log_level::important, "add song end...");
}

void CMainFrame::OnAlbumPromotions(const AlbumPromotionParam* page) {
  if (!page) return;
  const RadioSort* sort = m_wndTree.GetSelectedSort();
  // A page for another node, or one the user has paged away from, is dropped.
  if (!sort || sort->sort_id != page->sort_id || m_wndPager.GetCurPage() != page->page ||
      sort->type_id != 2) {
    return;
  }
  std::vector<RadioList> lists;
  bool arrived = m_webDataManager.FindAlbumPromotions(page->sort_id, page->page,
                                                      static_cast<int>(page->key1),
                                                      static_cast<int>(page->key2), lists);
  // The pager shows the new page already: a page that did not come leaves the list empty.
  m_wndList.Refill(lists, -1, -1);
  if (!arrived) ShowMessageBox(m_hWnd, kPageFailed, kRequestFailedCaption, MB_ICONHAND);
}

void CMainFrame::ChangeRadioListFlags(int typeId, int listId, unsigned set, unsigned clear) {
  RadioList changed;
  bool found = false;
  {
    CLockGuard guard(m_radioLock);
    for (RadioList& list : m_radioLists) {
      if (list.type_id != typeId || list.list_id != listId) continue;
      list.flags = (list.flags & ~clear) | set;
      changed = list;
      found = true;
      break;
    }
  }
  if (!found) return;
  m_wndList.UpdateRecord(changed);
  const std::vector<RadioList>& shown = m_wndList.GetRecords();
  for (size_t row = 0; row < shown.size(); ++row) {
    if (shown[row].IsSameList(changed)) m_wndList.InvalidateItem(static_cast<int>(row));
  }
}

void CMainFrame::ClearRadioListMarks(int typeId, int listId) {
  ChangeRadioListFlags(typeId, listId, 0, 1 | 2 | 4);
}

void CMainFrame::MarkRadioListWaiting(int typeId, int listId) {
  if (typeId < 0 || listId < 0) return;
  ChangeRadioListFlags(typeId, listId, 2, 4);
}

void CMainFrame::MarkRadioListDone(int typeId, int listId) {
  if (typeId < 0 || listId < 0) return;
  ChangeRadioListFlags(typeId, listId, 1, 2 | 4 | 8);
}

std::vector<RadioList> CMainFrame::RadioListsOf(int typeId, int sortId) const {
  CLockGuard guard(m_radioLock);
  std::vector<RadioList> lists;
  for (const RadioList& list : m_radioLists) {
    if (list.type_id == typeId && list.sort_id == sortId) lists.push_back(list);
  }
  return lists;
}

int CMainFrame::GetRememberedPage(int nodeId) const {
  CLockGuard guard(m_radioLock);
  auto found = m_pageByNode.find(nodeId);
  return found == m_pageByNode.end() ? 0 : found->second;
}

void CMainFrame::OnTreeSelChanged(HTREEITEM item) {
  // A tree being emptied reports items without records: nothing is selected then.
  const RadioSort* sort = CRadioTypeTreeCtrl::RecordOf(m_wndTree, item);
  if (!sort) return;
  if (sort->type_id == 2) {
    int page = GetRememberedPage(sort->sort_id);
    m_wndPager.SetCurPage(page);
    m_wndPager.ShowWindow(m_nPane == 0 ? SW_SHOW : SW_HIDE);
    if (page > 0) {
      m_webDataManager.RequestAlbumPromotions(sort->sort_id, page, page, sort->sort_id);
      return;
    }
  } else {
    m_wndPager.ShowWindow(SW_HIDE);
  }
  m_wndList.Refill(RadioListsOf(sort->type_id, sort->sort_id), -1, -1);
}

void CMainFrame::OnPagerStep() {
  const RadioSort* sort = m_wndTree.GetSelectedSort();
  if (!sort) return;
  int page = m_wndPager.GetCurPage();
  {
    CLockGuard guard(m_radioLock);
    m_pageByNode[sort->sort_id] = page;
  }
  if (page == 0) {
    OnTreeSelChanged(m_wndTree.GetSelectedItem());
  } else {
    m_webDataManager.RequestAlbumPromotions(sort->sort_id, page, page, sort->sort_id);
  }
}

// ---- the update check

void CMainFrame::OnUpdateDescription(bool manual) {
  UpdateInfo info = m_webDataManager.GetUpdateInfo();
  em_utility::file_version published;
  published.major = info.major;
  published.minor = info.minor;
  published.build = info.build;
  published.revision = info.revision;
  if (em_utility::compare_version(published, m_version) == 1) {
    m_bKeepChecking = false;
    CUpdateDlg dialog;
    dialog.SetInfo(info, manual);
    if (dialog.DoModal(::GetActiveWindow()) == IDOK && !manual) GetConfig()->Save();
  } else if (manual) {
    ShowMessageBox(m_hWnd, L"您当前使用的为最新版本！", kUpdateCaption, MB_ICONEXCLAMATION);
  }
}

void CMainFrame::CheckUpdate(bool manual) {
  if (!manual && GetConfig()->auto_check_update == 0) return;
  CString url = em_utility::utf8_to_wide("http://" + site::StaticFileHost()) +
                L"/daruruvidev/update.xml";
  CString path = GetConfig()->GetUpdateXmlPath();
  int param = manual ? 1 : 0;
  // A failed download is not read (the file there may be an old one), and a description that
  // cannot be read tells nothing of the version: neither may pass for "the newest version".
  if (HttpDownloadFile(url, path, 0, 0) != kDownloadDone ||
      m_webDataManager.ParseWebServiceXml(ReadUpdateFile(path), WebRequestKind::UpdateFile,
                                          param) == 0) {
    if (manual) ShowMessageBox(m_hWnd, kNetworkBusy, kUpdateCaption, MB_ICONEXCLAMATION);
    return;
  }
  if (IsWindow()) OnWebServiceData(WebRequestKind::UpdateFile, param);
}

DWORD WINAPI CMainFrame::UpdateCheckThreadProc(LPVOID frame) {
  CMainFrame* self = static_cast<CMainFrame*>(frame);
  if (!self) return 1;
  try {
    while (self->m_bKeepChecking) {
      self->CheckUpdate(false);
      if (self->m_stopChecking.Wait(kUpdateCheckInterval)) break;
    }
  } catch (...) {
    GetLogger()->log(em_utility::log_level::error, L"检查更新线程异常退出");
  }
  return 0;
}
