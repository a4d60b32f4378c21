// The module's interface is exported by name from the executable that links it whole: every
// member of the key classes, of Des_control (with its three constants) and of vlong, with the
// names g++ gives them, and nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "cipher/des_control.h"

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

const char* const kInterface[] = {
    "_ZN14encrypt_module10public_key10delete_bufEPc",
    "_ZN14encrypt_module10public_key11PK_to_vlongENS_2PKE",
    "_ZN14encrypt_module10public_key12set_requiresEi",
    "_ZN14encrypt_module10public_key7encryptEPKciRi",
    "_ZN14encrypt_module10public_key7encryptEPm",
    "_ZN14encrypt_module10public_key7encryptERK5vlong",
    "_ZN14encrypt_module10public_keyC1ERKS0_",
    "_ZN14encrypt_module10public_keyC1Ev",
    "_ZN14encrypt_module10public_keyC2ERKS0_",
    "_ZN14encrypt_module10public_keyC2Ev",
    "_ZN14encrypt_module10public_keyD1Ev",
    "_ZN14encrypt_module10public_keyD2Ev",
    "_ZN14encrypt_module10public_keyaSERKS0_",
    "_ZN14encrypt_module11Des_control11Des_get_keyEv",
    "_ZN14encrypt_module11Des_control11Des_set_keyEPKc",
    "_ZN14encrypt_module11Des_control12binary_2_hexEPKhj",
    "_ZN14encrypt_module11Des_control12hex_2_binaryEPKc",
    "_ZN14encrypt_module11Des_control13ReleaseBufferEPc",
    "_ZN14encrypt_module11Des_control14Des_create_keyEv",
    "_ZN14encrypt_module11Des_control15MAX_ENCRYPT_LENE",
    "_ZN14encrypt_module11Des_control16ENCRYPT_SPLITTERE",
    "_ZN14encrypt_module11Des_control7DES_ONEE",
    "_ZN14encrypt_module11Des_control7DecryptEPKcS2_",
    "_ZN14encrypt_module11Des_control7EncryptEPKcS2_",
    "_ZN14encrypt_module11Des_controlC1ERKS0_",
    "_ZN14encrypt_module11Des_controlC1Ev",
    "_ZN14encrypt_module11Des_controlC2ERKS0_",
    "_ZN14encrypt_module11Des_controlC2Ev",
    "_ZN14encrypt_module11Des_controlD1Ev",
    "_ZN14encrypt_module11Des_controlD2Ev",
    "_ZN14encrypt_module11Des_controlaSERKS0_",
    "_ZN14encrypt_module11private_key10delete_bufEPc",
    "_ZN14encrypt_module11private_key11SK_to_vlongENS_2SKE",
    "_ZN14encrypt_module11private_key5set_eEv",
    "_ZN14encrypt_module11private_key5set_mEv",
    "_ZN14encrypt_module11private_key5set_pEv",
    "_ZN14encrypt_module11private_key5set_qEv",
    "_ZN14encrypt_module11private_key6createEv",
    "_ZN14encrypt_module11private_key7decryptEPKciRi",
    "_ZN14encrypt_module11private_key7decryptEPm",
    "_ZN14encrypt_module11private_key7decryptERK5vlong",
    "_ZN14encrypt_module11private_keyC1ERKS0_",
    "_ZN14encrypt_module11private_keyC1Ev",
    "_ZN14encrypt_module11private_keyC2ERKS0_",
    "_ZN14encrypt_module11private_keyC2Ev",
    "_ZN14encrypt_module11private_keyD1Ev",
    "_ZN14encrypt_module11private_keyD2Ev",
    "_ZN14encrypt_module11private_keyaSERKS0_",
    "_ZN5vlong11rotate_leftEj",
    "_ZN5vlong12power_of_twoEj",
    "_ZN5vlong12rotate_rightEj",
    "_ZN5vlong3setEj",
    "_ZN5vlong4loadEPKjj",
    "_ZN5vlong5clearEj",
    "_ZN5vlongC1ERKS_",
    "_ZN5vlongC1Ej",
    "_ZN5vlongC2ERKS_",
    "_ZN5vlongC2Ej",
    "_ZN5vlongD1Ev",
    "_ZN5vlongD2Ev",
    "_ZN5vlongaNERKS_",
    "_ZN5vlongaSERKS_",
    "_ZN5vlongeOERKS_",
    "_ZN5vlongmIERKS_",
    "_ZN5vlongpLERKS_",
    "_ZN5vlongrSEj",
    "_ZNK14encrypt_module10public_key11vlong_to_PKERNS_2PKE",
    "_ZNK14encrypt_module10public_key12get_requiresEv",
    "_ZNK14encrypt_module11private_key11vlong_to_SKERNS_2SKE",
    "_ZNK5vlong10and_parityERKS_",
    "_ZNK5vlong4bitsEv",
    "_ZNK5vlong4testEj",
    "_ZNK5vlong5storeEPjj",
    "_ZNK5vlonganERKS_",
    "_ZNK5vlongcvjEv",
    "_ZNK5vlongdvERKS_",
    "_ZNK5vlongeoERKS_",
    "_ZNK5vlongeqERKS_",
    "_ZNK5vlonggeERKS_",
    "_ZNK5vlonggtERKS_",
    "_ZNK5vlongleERKS_",
    "_ZNK5vlongltERKS_",
    "_ZNK5vlongmiERKS_",
    "_ZNK5vlongmlERKS_",
    "_ZNK5vlongneERKS_",
    "_ZNK5vlongplERKS_",
    "_ZNK5vlongrmERKS_",
};

TEST(Exports, TheExecutableExportsExactlyTheModulesInterface) {
  const std::set<std::string> expected(std::begin(kInterface), std::end(kInterface));
  const std::set<std::string> exported = ExportedNames();
  for (const std::string& name : expected)
    EXPECT_EQ(1u, exported.count(name)) << "missing " << name;
  for (const std::string& name : exported) EXPECT_EQ(1u, expected.count(name)) << "extra " << name;
}

TEST(Exports, TheConstantsReadThroughTheExportTable) {
  HMODULE self = GetModuleHandleW(nullptr);
  const auto* des_one = reinterpret_cast<const int*>(
      GetProcAddress(self, "_ZN14encrypt_module11Des_control7DES_ONEE"));
  const auto* max_len = reinterpret_cast<const int*>(
      GetProcAddress(self, "_ZN14encrypt_module11Des_control15MAX_ENCRYPT_LENE"));
  const auto* splitter = reinterpret_cast<const char*>(
      GetProcAddress(self, "_ZN14encrypt_module11Des_control16ENCRYPT_SPLITTERE"));
  ASSERT_NE(nullptr, des_one);
  ASSERT_NE(nullptr, max_len);
  ASSERT_NE(nullptr, splitter);
  EXPECT_EQ(8, *des_one);
  EXPECT_EQ(10, *max_len);
  EXPECT_STREQ("Z", splitter);
  EXPECT_EQ(&encrypt_module::Des_control::DES_ONE, des_one);
}

}  // namespace
