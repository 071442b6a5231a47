// Conformance of the registry: keys, string and DWORD values, defaults, types, deletion.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;
constexpr RootKey kCu = RootKey::kCurrentUser;

TEST(Registry, MissingKeysAndValuesAreNoErrors) {
  TestWorld w;
  const std::string key = w.RegistryKey() + "\\Missing";
  EXPECT_FALSE(w.registry().KeyExists(kCu, key));
  EXPECT_FALSE(w.registry().ValueExists(kCu, key, "v"));
  EXPECT_EQ(w.registry().ReadString(kCu, key, "v"), std::nullopt);
  EXPECT_EQ(w.registry().ReadDword(kCu, key, "v"), std::nullopt);
  EXPECT_NO_THROW(w.registry().DeleteKey(kCu, key));
  EXPECT_NO_THROW(w.registry().DeleteValue(kCu, key, "v"));
  EXPECT_FALSE(w.registry().KeyExists(kCu, key));
}

TEST(Registry, KeysAndValuesRoundTripWithoutRegardToCase) {
  TestWorld w;
  const std::string key = w.RegistryKey() + "\\Veltoria 4";
  w.registry().CreateKey(kCu, key + "\\Sub\\Deeper");
  EXPECT_TRUE(w.registry().KeyExists(kCu, "\\" + key + "\\SUB"));
  EXPECT_TRUE(w.registry().KeyExists(kCu, key + "\\sub\\deeper"));

  w.registry().WriteString(kCu, key, "Install Directory", "C:\\VL4\\");
  w.registry().WriteString(kCu, key, "", "default value");
  w.registry().WriteDword(kCu, key, "Count", 0xFFFFFFFEu);
  w.registry().WriteString(kCu, key + "\\New", "Text", "\xC0\xE1\xE2 \"quoted\" \\");
  EXPECT_EQ(w.registry().ReadString(kCu, key, "INSTALL DIRECTORY"), "C:\\VL4\\");
  EXPECT_EQ(w.registry().ReadString(kCu, key, ""), "default value");
  EXPECT_EQ(w.registry().ReadDword(kCu, key, "count"), 0xFFFFFFFEu);
  EXPECT_EQ(w.registry().ReadString(kCu, key + "\\new", "text"), "\xC0\xE1\xE2 \"quoted\" \\");
  EXPECT_TRUE(w.registry().ValueExists(kCu, key, "Count"));

  w.registry().WriteString(kCu, key, "install directory", "D:\\");
  EXPECT_EQ(w.registry().ReadString(kCu, key, "Install Directory"), "D:\\");
  w.registry().WriteDword(kCu, key, "Count", 7);  // a value changes its type when rewritten
  EXPECT_EQ(w.registry().ReadDword(kCu, key, "Count"), 7u);
}

TEST(Registry, AValueOfAnotherTypeIsAnError) {
  TestWorld w;
  const std::string key = w.RegistryKey();
  w.registry().WriteString(kCu, key, "Text", "12");
  w.registry().WriteDword(kCu, key, "Number", 12);
  EXPECT_THROW(w.registry().ReadDword(kCu, key, "Text"), ERegistryException);
  EXPECT_THROW(w.registry().ReadString(kCu, key, "Number"), ERegistryException);
}

TEST(Registry, DeletingValuesAndWholeKeys) {
  TestWorld w;
  const std::string key = w.RegistryKey() + "\\Tree";
  w.registry().WriteString(kCu, key + "\\A\\B", "v", "x");
  w.registry().WriteString(kCu, key, "keep", "y");
  w.registry().DeleteValue(kCu, key, "KEEP");
  EXPECT_FALSE(w.registry().ValueExists(kCu, key, "keep"));
  EXPECT_TRUE(w.registry().KeyExists(kCu, key));
  w.registry().DeleteKey(kCu, key + "\\a");
  EXPECT_FALSE(w.registry().KeyExists(kCu, key + "\\A\\B"));
  EXPECT_FALSE(w.registry().KeyExists(kCu, key + "\\A"));
  EXPECT_TRUE(w.registry().KeyExists(kCu, key));
}

TEST(Registry, ClassesRootIsTheMachinesSoftwareClasses) {
  TestWorld w;
  const std::string ext = ".vl4test" + std::to_string(reinterpret_cast<uintptr_t>(&w) % 100000);
  w.registry().WriteString(RootKey::kClassesRoot, ext, "", "VL4.Test");
  EXPECT_EQ(w.registry().ReadString(RootKey::kClassesRoot, ext, ""), "VL4.Test");
  EXPECT_EQ(w.registry().ReadString(RootKey::kLocalMachine, "Software\\Classes\\" + ext, ""),
            "VL4.Test");
  w.registry().DeleteKey(RootKey::kClassesRoot, ext);
  EXPECT_FALSE(w.registry().KeyExists(RootKey::kClassesRoot, ext));
}

}  // namespace
}  // namespace vl4::platform
