#include "webdata/serialize.h"

#include <windows.h>

#include <codecvt>
#include <fstream>
#include <iterator>
#include <locale>
#include <new>
#include <sstream>
#include <stdexcept>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "foundation/text_convert.h"
#include "webdata/reply_shape.h"

using boost::property_tree::wiptree;

namespace {

// The reply's bytes as UTF-16, with surrogate pairs for characters beyond the basic plane. False
// for bytes that are not UTF-8: a damaged reply is refused rather than read with replacement
// characters. False as well when there is no memory for the wide text.
bool Utf8ToWide(const std::string& text, std::wstring& wide) {
  try {
    CString converted = em_utility::detail::to_wide(
        CP_UTF8, text.data(), static_cast<int>(text.size()), MB_ERR_INVALID_CHARS);
    if (converted.IsEmpty() && !text.empty()) return false;
    wide.assign(converted.GetString(), converted.GetLength());
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ReadFileBytes(const wchar_t* path, std::string& bytes) {
  if (!path) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

bool WriteFileBytes(const wchar_t* path, const std::string& bytes) {
  if (!path) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

// The reader has no limits of its own: the text's shape is measured first.
void ReadJson(const std::wstring& text, wiptree& tree) {
  if (!JsonShapeWithinLimits(text)) throw std::runtime_error("JSON past its limits");
  std::wistringstream stream(text);
  boost::property_tree::read_json(stream, tree);
}

void ReadXml(const std::wstring& text, wiptree& tree) {
  std::wistringstream stream(text);
  boost::property_tree::read_xml(stream, tree, 0);
}

void WriteCompactJson(std::wostream& stream, const wiptree& tree) {
  boost::property_tree::write_json(stream, tree, false);
}

void WriteIndentedJson(std::wostream& stream, const wiptree& tree) {
  boost::property_tree::write_json(stream, tree, true);
}

void WriteXml(std::wostream& stream, const wiptree& tree) {
  boost::property_tree::write_xml(
      stream, tree,
      boost::property_tree::xml_writer_make_settings<std::wstring>(L' ', 0, L"utf-8"));
}

}  // namespace

bool ISerialize::SerializeRaw(void*, bool) {
  return false;
}

bool ISerialize::LoadText(const std::wstring& text, TreeReader read) {
  try {
    wiptree tree;
    read(text, tree);
    return Serialize(tree, true, 0);
  } catch (...) {
    return false;
  }
}

bool ISerialize::SaveText(std::wstring& text, TreeWriter write) {
  try {
    wiptree tree;
    if (!Serialize(tree, false, 0)) return false;
    std::wostringstream stream;
    write(stream, tree);
    text = stream.str();
    return true;
  } catch (...) {
    return false;
  }
}

bool ISerialize::FromJsonString(const std::string& text) {
  std::wstring wide;
  return Utf8ToWide(text, wide) && LoadText(wide, ReadJson);
}

bool ISerialize::FromJsonText(const wchar_t* text) {
  return text && LoadText(text, ReadJson);
}

bool ISerialize::LoadJsonFile(const wchar_t* path) {
  std::string bytes;
  return ReadFileBytes(path, bytes) && FromJsonString(bytes);
}

bool ISerialize::FromXmlString(const std::string& text) {
  std::wstring wide;
  return Utf8ToWide(text, wide) && LoadText(wide, ReadXml);
}

bool ISerialize::LoadXmlFile(const wchar_t* path) {
  std::string bytes;
  return ReadFileBytes(path, bytes) && FromXmlString(bytes);
}

bool ISerialize::CopyFrom(const ISerialize* other) {
  if (!other) return false;
  try {
    wiptree tree;
    // Saving only reads the other record; the interface has no const form of Serialize.
    if (!const_cast<ISerialize*>(other)->Serialize(tree, false, 0)) return false;
    return Serialize(tree, true, 0);
  } catch (...) {
    return false;
  }
}

bool ISerialize::WriteJson(std::wostream& stream) {
  std::wstring text;
  if (!SaveText(text, WriteCompactJson)) return false;
  try {
    // UTF-16 to UTF-8 with surrogate pairs, so that a file stream writes every character.
    stream.imbue(std::locale(stream.getloc(), new std::codecvt_utf8_utf16<wchar_t>));
    stream << text;
    return !stream.fail();
  } catch (...) {
    return false;
  }
}

bool ISerialize::ToJsonString(std::string& out) {
  std::wostringstream stream;
  if (!WriteJson(stream)) return false;
  out = em_utility::wide_to_utf8(stream.str());
  return true;
}

bool ISerialize::SaveJsonFile(const wchar_t* path) {
  std::wstring text;
  return SaveText(text, WriteIndentedJson) && WriteFileBytes(path, em_utility::wide_to_utf8(text));
}

bool ISerialize::ToXmlString(std::string& out) {
  std::wstring text;
  if (!SaveText(text, WriteXml)) return false;
  out = em_utility::wide_to_utf8(text);
  return true;
}

bool ISerialize::SaveXmlFile(const wchar_t* path) {
  std::string text;
  return ToXmlString(text) && WriteFileBytes(path, text);
}
