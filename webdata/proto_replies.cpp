#include "webdata/proto_replies.h"

#include "webdata/tree_fields.h"

using boost::property_tree::wiptree;

namespace proto {

namespace {

// The detail replies: the frame, then the record in "data" or at the sub-path inside it. A
// missing "data" or sub-path throws (the entry points turn that into false); an empty one, or
// one holding a plain value, fails the load.
template <class Record, class Make>
bool SerializeDetail(base& frame, wiptree& tree, bool load, const std::wstring& subPath,
                     boost::shared_ptr<Record>& record, Make make) {
  frame.base::Serialize(tree, load, 0);
  if (!load) return true;
  wiptree data = tree.get_child(L"data");
  if (data.empty()) return false;
  wiptree& taken = subPath.empty() ? data : data.get_child(subPath);
  if (taken.empty()) return false;
  if (!record) record = make();
  return record->Serialize(taken, load, 0);
}

}  // namespace

bool timestamp::Serialize(wiptree& tree, bool, int) {
  using namespace tree_fields;
  m_nData = ReadInt(tree, L"data");
  return ReadText(tree, L"status", L"err") == L"ok" && m_nData > 0;
}

bool uploadResult::Serialize(wiptree& tree, bool, int) {
  using namespace tree_fields;
  m_strStatus = ReadText(tree, L"status");
  m_strErr = ReadText(tree, L"err");
  m_strLyric = ReadText(tree.get_child(L"data"), L"lyric");
  return true;
}

bool accesstoken::Serialize(wiptree& tree, bool load, int) {
  using namespace tree_fields;
  if (!load) return true;
  m_strAccessToken = ReadText(tree, L"access_token");
  m_strRefreshToken = ReadText(tree, L"refresh_token");
  m_strScope = ReadText(tree, L"scope");
  m_strTokenType = ReadText(tree, L"token_type");
  m_nExpiresIn = ReadInt(tree, L"expires_in");
  return true;
}

bool albumdetail::Serialize(wiptree& tree, bool load, int) {
  return SerializeDetail(*this, tree, load, m_strSubPath, m_album,
                         [] { return boost::shared_ptr<Album>(new Album()); });
}

bool songdetail::Serialize(wiptree& tree, bool load, int) {
  return SerializeDetail(*this, tree, load, m_strSubPath, m_song, &MakeSongPtr);
}

}  // namespace proto
