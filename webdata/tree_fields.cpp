#include "webdata/tree_fields.h"

namespace tree_fields {

int ReadInt(const Tree& tree, const wchar_t* key, int defaultValue) {
  return tree.get_optional<int>(key).value_or(defaultValue);
}

std::wstring ReadText(const Tree& tree, const wchar_t* key, const wchar_t* defaultText) {
  return tree.get<std::wstring>(key, defaultText);
}

bool ReadBool(const Tree& tree, const wchar_t* key) {
  return tree.get_optional<bool>(key).value_or(false);
}

void WriteUnsigned(Tree& tree, const wchar_t* key, int value) {
  tree.put(key, static_cast<unsigned>(value));
}

void WriteInt(Tree& tree, const wchar_t* key, int value) {
  tree.put(key, value);
}

void WriteText(Tree& tree, const wchar_t* key, const std::wstring& text) {
  tree.put(key, text);
}

void WriteBoolText(Tree& tree, const wchar_t* key, bool value) {
  tree.put(key, std::wstring(value ? L"true" : L"false"));
}

}  // namespace tree_fields
