// The module's interface is exported by name from the executable that links it whole: every
// member of the key classes, of Des_control (with its three constants) and of vlong, with the
// names g++ gives them, and nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The executable's own export table.
std::set<std::string> ExportedNames() {
  const unsigned char* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  std::set<std::string> names;
  if (dir.VirtualAddress == 0) return names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* name_table = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    names.insert(reinterpret_cast<const char*>(base + name_table[i]));
  }
  return names;
}

// The exported names, by class: each is the class's prefix followed by one member's rest.
const std::pair<const char*, std::vector<const char*>> kInterface[] = {
    {"_ZN14encrypt_module10public_key",
     {"10delete_bufEPc", "11PK_to_vlongENS_2PKE", "12set_requiresEi", "7encryptEPKciRi",
      "7encryptEPm", "7encryptERK5vlong", "C1ERKS0_", "C1Ev", "C2ERKS0_", "C2Ev", "D1Ev", "D2Ev",
      "aSERKS0_"}},
    {"_ZN14encrypt_module11Des_control",
     {"11Des_get_keyEv", "11Des_set_keyEPKc", "12binary_2_hexEPKhj", "12hex_2_binaryEPKc",
      "13ReleaseBufferEPc", "14Des_create_keyEv", "15MAX_ENCRYPT_LENE", "16ENCRYPT_SPLITTERE",
      "7DES_ONEE", "7DecryptEPKcS2_", "7EncryptEPKcS2_", "C1ERKS0_", "C1Ev", "C2ERKS0_", "C2Ev",
      "D1Ev", "D2Ev", "aSERKS0_"}},
    {"_ZN14encrypt_module11private_key",
     {"10delete_bufEPc", "11SK_to_vlongENS_2SKE", "5set_eEv", "5set_mEv", "5set_pEv", "5set_qEv",
      "6createEv", "7decryptEPKciRi", "7decryptEPm", "7decryptERK5vlong", "C1ERKS0_", "C1Ev",
      "C2ERKS0_", "C2Ev", "D1Ev", "D2Ev", "aSERKS0_"}},
    {"_ZN5vlong",
     {"11rotate_leftEj", "12power_of_twoEj", "12rotate_rightEj", "3setEj", "4loadEPKjj", "5clearEj",
      "C1ERKS_", "C1Ej", "C2ERKS_", "C2Ej", "D1Ev", "D2Ev", "aNERKS_", "aSERKS_", "eOERKS_",
      "mIERKS_", "pLERKS_", "rSEj"}},
    {"_ZNK14encrypt_module10public_key", {"11vlong_to_PKERNS_2PKE", "12get_requiresEv"}},
    {"_ZNK14encrypt_module11private_key", {"11vlong_to_SKERNS_2SKE"}},
    {"_ZNK5vlong",
     {"10and_parityERKS_", "4bitsEv", "4testEj", "5storeEPjj", "anERKS_", "cvjEv", "dvERKS_",
      "eoERKS_", "eqERKS_", "geERKS_", "gtERKS_", "leERKS_", "ltERKS_", "miERKS_", "mlERKS_",
      "neERKS_", "plERKS_", "rmERKS_"}},
};

TEST(Exports, TheExecutableExportsExactlyTheModulesInterface) {
  std::set<std::string> expected;
  for (const auto& [prefix, members] : kInterface) {
    for (const char* member : members) expected.insert(std::string(prefix) + member);
  }
  ASSERT_EQ(87u, expected.size());
  const std::set<std::string> exported = ExportedNames();
  for (const std::string& name : expected)
    EXPECT_EQ(1u, exported.count(name)) << "missing " << name;
  for (const std::string& name : exported) EXPECT_EQ(1u, expected.count(name)) << "extra " << name;
}

}  // namespace
