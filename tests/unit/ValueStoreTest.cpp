// The value store: the roots it accepts, what each type letter stores and
// reads back, the result codes, deletions, and the INI branch.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "settings/ValueStore.h"

namespace tamberlinox::settings {
namespace {

using namespace std::string_literals;
using platform::Hive;
using Bytes = std::vector<std::uint8_t>;

constexpr char kKey[] = "Software\\Zemrik Software\\Tamberlinox";
constexpr char kIni[] = "C:\\Data\\app.ini";

class ValueStoreTest : public ::testing::Test {
 protected:
  std::pair<std::int32_t, std::string> Read(const std::string& root, const std::string& name, const std::string& type,
                                            const std::string& key = kKey) {
    std::string text = "left over";
    const std::int32_t code = store.Read(root, key, name, type, "dflt", text);
    return {code, text};
  }
  std::optional<Bytes> Stored(const std::string& name) const {
    return os.registry.Bytes(Hive::CurrentUser, kKey, name);
  }
  void Set(const std::string& name, std::uint32_t type, Bytes bytes) {
    os.registry.SetBytes(Hive::CurrentUser, kKey, name, type, std::move(bytes));
  }

  platform::FakePlatform os;
  ValueStore store{os};
};

TEST_F(ValueStoreTest, RootsAreHiveAbbreviationsInAnyCaseOrExistingPlainFiles) {
  os.iniFiles[kIni];
  os.Folder("C:\\Data").push_back({"hidden.ini", platform::kFileAttributeHidden});
  os.Folder("C:\\Data").push_back({"folder.ini", platform::kFileAttributeDirectory});
  EXPECT_EQ(store.ResolveRoot("HKCU"), 0x80000001u);
  EXPECT_EQ(store.ResolveRoot("hkcu"), 0x80000001u);
  EXPECT_EQ(store.ResolveRoot("HKLM"), 0x80000002u);
  EXPECT_EQ(store.ResolveRoot("hku"), 0x80000003u);
  EXPECT_EQ(store.ResolveRoot("HKDD"), 0x80000006u);
  EXPECT_EQ(store.ResolveRoot("hkcc"), 0x80000005u);
  EXPECT_EQ(store.ResolveRoot("HKCR"), 0x80000000u);
  EXPECT_EQ(store.ResolveRoot(kIni), kRootIniFile);
  EXPECT_EQ(store.ResolveRoot("c:\\data\\APP.INI"), kRootIniFile);
  for (const char* root : {"HKEY_CURRENT_USER", "HKCU ", "", "C:\\Data\\*.ini", "C:\\Data\\hidden.ini",
                           "C:\\Data\\folder.ini", "C:\\Data\\no.ini"})
    EXPECT_EQ(store.ResolveRoot(root), kRootNotRecognised) << '"' << root << '"';

  EXPECT_EQ(Read("HKEY_CURRENT_USER", "Key", "S"), std::pair(99, "dflt"s));
  EXPECT_EQ(store.Write("no.ini", kKey, "Key", "S", "121"s), 99);
  EXPECT_EQ(store.Delete("no.ini", kKey, "Key"), 99);
  store.DeleteKey("no.ini", kKey);
  EXPECT_TRUE(os.registry.hives.empty());
}

TEST_F(ValueStoreTest, TextsAreStoredWithTheirNulAndReadBackUnchanged) {
  const std::pair<Value, std::string> cases[] = {
      {"121"s, "121"}, {"日本語 😀"s, "日本語 😀"},      {121.0, "121"},
      {-0.5, "-0.5"},  {1.0 / 3, "0.333333333333333"}, {1e20, "100000000000000000000"},
      {true, "True"}};
  for (const auto& [written, text] : cases) {
    ASSERT_EQ(store.Write("HKCU", kKey, "Value", "s", written), 0) << text;
    Bytes withNul(text.begin(), text.end());
    withNul.push_back(0);
    EXPECT_EQ(Stored("Value"), withNul);
    EXPECT_EQ(Read("HKCU", "Value", "S"), std::pair(0, text));
  }
  // The empty text is zero bytes and reads as the default.
  ASSERT_EQ(store.Write("HKCU", kKey, "Value", "S", ""s), 0);
  EXPECT_EQ(Stored("Value"), Bytes{});
  EXPECT_EQ(Read("HKCU", "Value", "S"), std::pair(0, "dflt"s));
  // Only a final NUL is dropped.
  Set("NoNul", platform::kRegSz, {'a', 'b', 'c'});
  EXPECT_EQ(Read("HKCU", "NoNul", "S").second, "abc");
}

TEST_F(ValueStoreTest, TruthValuesAndNumbersAreConvertedStoredAndReadBackAsText) {
  struct Case {
    const char* type;
    Value written;
    Bytes stored;
    const char* readBack;
  };
  const Case cases[] = {{"B", true, {0xFF, 0xFF}, "True"},
                        {"b", " FALSE "s, {0, 0}, "False"},
                        {"B", 2.5, {0xFF, 0xFF}, "True"},
                        {"D", "-1"s, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
                        {"d", 32767.0, {0xFF, 0x7F, 0, 0}, "32767"},
                        {"D", "2.5"s, {2, 0, 0, 0}, "2"},  // half to even
                        {"D", "3.5"s, {4, 0, 0, 0}, "4"},
                        {"D", -2.5, {0xFE, 0xFF, 0xFF, 0xFF}, "-2"},
                        {"D", "True"s, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + ValueText(c.written));
    ASSERT_EQ(store.Write("HKCU", kKey, "Value", c.type, c.written), 0);
    EXPECT_EQ(Stored("Value"), c.stored);
    EXPECT_EQ(Read("HKCU", "Value", c.type), std::pair(0, std::string(c.readBack)));
  }
}

TEST_F(ValueStoreTest, AValueThatCannotBeConvertedReports13AndWritesNothing) {
  const std::pair<const char*, Value> cases[] = {{"D", 40000.0}, {"D", "32767.5"s},   {"D", -32769.0}, {"D", "12abc"s},
                                                 {"D", ""s},     {"D", std::nan("")}, {"B", "yes"s},   {"B", ""s}};
  for (const auto& [type, value] : cases) {
    EXPECT_EQ(store.Write("HKCU", kKey, "Value", type, value), platform::kErrorInvalidData) << ValueText(value);
    EXPECT_FALSE(Stored("Value")) << ValueText(value);
  }
}

TEST_F(ValueStoreTest, ReadsReportWhatIsMissingOrTooLargeAndKeepTheDefault) {
  os.registry.SetText(Hive::CurrentUser, kKey, "Key", "121");
  EXPECT_EQ(Read("HKCU", "Missing", "S"), std::pair(2, "dflt"s));
  EXPECT_EQ(Read("HKCU", "Key", "D", "Software\\Nowhere"), std::pair(2, "dflt"s));
  EXPECT_EQ(Read("HKCU", "KEY", "S", "software\\zemrik software\\tamberlinox").second, "121");
  EXPECT_EQ(Read("HKCU", "Key", "X"), std::pair(0, "dflt"s));  // other letters read nothing

  Set("Three", platform::kRegBinary, {1, 2, 3});
  Set("Five", platform::kRegDword, {1, 2, 3, 4, 5});
  EXPECT_EQ(Read("HKCU", "Three", "B"), std::pair(234, "dflt"s));
  EXPECT_EQ(Read("HKCU", "Five", "D"), std::pair(234, "dflt"s));
  // Shorter values read as if filled up with zeros.
  Set("High", platform::kRegBinary, {0, 1});
  Set("Word", platform::kRegDword, {2, 1});
  EXPECT_EQ(Read("HKCU", "High", "B").second, "True");
  EXPECT_EQ(Read("HKCU", "Word", "D").second, "258");
}

TEST_F(ValueStoreTest, WritesCreateEveryMissingKeyOrReportWhyTheyCannot) {
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  ASSERT_EQ(store.Write("HKLM", run, "T", "S", "x"s), 0);
  EXPECT_TRUE(os.registry.KeyExists(Hive::LocalMachine, "Software\\Microsoft\\Windows"));
  EXPECT_EQ(store.Write("HKLM", run, "Other", "Q", "1"s), 0);  // other letters write nothing
  EXPECT_FALSE(os.registry.ValueExists(Hive::LocalMachine, run, "Other"));

  os.registry.DenyWrites(Hive::LocalMachine);
  EXPECT_EQ(store.Write("HKLM", "Software\\Other", "T", "D", 1.0), platform::kErrorAccessDenied);
  EXPECT_EQ(store.Delete("HKLM", run, "T"), platform::kErrorAccessDenied);
  EXPECT_FALSE(os.registry.KeyExists(Hive::LocalMachine, "Software\\Other"));
  EXPECT_TRUE(os.registry.ValueExists(Hive::LocalMachine, run, "T"));
}

TEST_F(ValueStoreTest, DeletingWhatIsNotThereCountsAsDoneAndDeleteKeyKeepsTheParent) {
  os.registry.SetText(Hive::CurrentUser, kKey, "Key", "121");
  os.registry.SetText(Hive::CurrentUser, "Software\\Zemrik Software", "Other", "x");
  EXPECT_EQ(store.Delete("HKCU", kKey, "Key"), 0);
  EXPECT_FALSE(os.registry.ValueExists(Hive::CurrentUser, kKey, "Key"));
  EXPECT_EQ(store.Delete("HKCU", kKey, "Key"), 0);
  EXPECT_EQ(store.Delete("HKCU", "Software\\Nowhere", "Key"), 0);

  store.DeleteKey("HKCU", kKey);
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kKey));
  EXPECT_TRUE(os.registry.ValueExists(Hive::CurrentUser, "Software\\Zemrik Software", "Other"));
}

TEST_F(ValueStoreTest, AnIniFileKeepsTextsOnly) {
  auto& section = os.iniFiles[kIni]["Section"];
  section["Entry"] = "text";
  EXPECT_EQ(Read(kIni, "Entry", "S", "Section"), std::pair(0, "text"s));
  EXPECT_EQ(Read(kIni, "Entry", "D", "Section"), std::pair(0, "dflt"s));
  EXPECT_EQ(store.Write(kIni, "Section", "Number", "S", 2.5), 0);
  EXPECT_EQ(section["Number"], "2.5");
  EXPECT_EQ(store.Write(kIni, "Section", "Truth", "B", true), 99);
  EXPECT_FALSE(section.contains("Truth"));
  EXPECT_EQ(store.Delete(kIni, "Section", "Entry"), 0);
  EXPECT_EQ(section["Entry"], "");  // the entry stays, empty
  os.iniWriteFailure = platform::kErrorAccessDenied;
  EXPECT_EQ(store.Write(kIni, "Section", "Entry", "S", "x"s), platform::kErrorAccessDenied);
}

}  // namespace
}  // namespace tamberlinox::settings
