// proto::base: the frame of every web-API reply ("status", "err", "more"), which the detail
// replies extend.
#pragma once

#include <cstdint>
#include <string>

#include "webdata/serialize.h"

namespace proto {

class base : public ISerialize {
 public:
  // Load: ok when "status" (default "ok") is exactly "ok"; more when "more" (default "false") is
  // exactly "true"; err from "err" when not ok. Save writes status "ok", more and err. True.
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;

  bool IsOk() const { return m_bOk; }
  bool HasMore() const { return m_bMore; }
  std::wstring GetErr() const { return m_strErr; }

  // A number, a text and a bit set that travel with a reply; the program reads none of them.
  int GetValue() const { return m_nValue; }
  void SetValue(int value) { m_nValue = value; }
  std::string GetNote() const { return m_strNote; }
  void SetNote(const char* note) { m_strNote = note ? note : ""; }
  // Bit indexes are taken modulo 32.
  void SetBit(unsigned index) { m_nFlagBits |= Bit(index); }
  void ClearBit(unsigned index) { m_nFlagBits &= ~Bit(index); }
  bool TestBit(unsigned index) const { return (m_nFlagBits & Bit(index)) != 0; }
  uint32_t GetBits() const { return m_nFlagBits; }

 private:
  static uint32_t Bit(unsigned index) { return uint32_t(1) << (index % 32); }

  bool m_bOk = true;
  std::wstring m_strErr;
  bool m_bMore = false;
  int m_nValue = 0;
  std::string m_strNote;
  uint32_t m_nFlagBits = 0;
};

}  // namespace proto
