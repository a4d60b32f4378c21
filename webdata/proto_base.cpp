#include "webdata/proto_base.h"

#include "webdata/tree_fields.h"

namespace proto {

bool base::Serialize(boost::property_tree::wiptree& tree, bool load, int) {
  using namespace tree_fields;
  if (load) {
    m_bOk = ReadText(tree, L"status", L"ok") == L"ok";
    m_bMore = ReadText(tree, L"more", L"false") == L"true";
    if (!m_bOk) m_strErr = ReadText(tree, L"err");
  } else {
    WriteText(tree, L"status", L"ok");
    WriteBoolText(tree, L"more", m_bMore);
    WriteText(tree, L"err", m_strErr);
  }
  return true;
}

}  // namespace proto
