// ISerialize: a record that moves its fields to or from a wide property tree, the form in which
// the web API's JSON replies are read.
//
// FromJsonString is the entry the program uses; the other text and file forms complete the
// interface. Every entry turns an exception on the way (text that is not UTF-8, a syntax error, a
// child a record requires and does not find) into false.
#pragma once

#include <iosfwd>
#include <string>

#include <boost/property_tree/ptree.hpp>

class ISerialize {
 public:
  // No record has a raw form: false.
  virtual bool SerializeRaw(void* target, bool direction);
  // load = true reads the record from the tree, false writes it into the tree.
  virtual bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) = 0;
  virtual ~ISerialize() = default;

  // Forwarders with option 0, and to the raw form in either direction.
  bool Serialize(boost::property_tree::wiptree& tree, bool load) {
    return Serialize(tree, load, 0);
  }
  bool LoadRaw(void* source) { return SerializeRaw(source, true); }
  bool SaveRaw(void* target) { return SerializeRaw(target, false); }

  // A reply body in UTF-8. Characters beyond the basic plane arrive as surrogate pairs; bytes
  // that are not UTF-8 fail the load.
  bool FromJsonString(const std::string& text);
  bool FromJsonText(const wchar_t* text);
  bool LoadJsonFile(const wchar_t* path);
  bool FromXmlString(const std::string& text);
  bool LoadXmlFile(const wchar_t* path);

  // Saves other into a tree and loads this from it; false for a null other or a failed save.
  bool CopyFrom(const ISerialize* other);
  // Compact JSON; the stream is given a UTF-8 conversion for when it writes to a file.
  bool WriteJson(std::wostream& stream);
  bool ToJsonString(std::string& out);
  // Indented JSON in UTF-8.
  bool SaveJsonFile(const wchar_t* path);
  // XML declaring the encoding "utf-8", in UTF-8.
  bool ToXmlString(std::string& out);
  bool SaveXmlFile(const wchar_t* path);

 private:
  using TreeReader = void (*)(const std::wstring& text, boost::property_tree::wiptree& tree);
  using TreeWriter = void (*)(std::wostream& stream, const boost::property_tree::wiptree& tree);
  // Parses text into a tree and loads this record from it; false on any exception.
  bool LoadText(const std::wstring& text, TreeReader read);
  // Saves this record into a tree and prints it into text; false when the record refuses or
  // anything throws.
  bool SaveText(std::wstring& text, TreeWriter write);
};
