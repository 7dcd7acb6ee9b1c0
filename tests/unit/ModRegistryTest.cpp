// The value store against the fake system: result codes, the bytes that reach
// the registry, the texts that come back, and the INI path.
#include "settings/modRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using namespace std::string_literals;
using platform::FakePlatform;
using platform::RegistryData;

constexpr std::uint32_t kHkcu = platform::kHkeyCurrentUser;
constexpr std::uint32_t kHklm = platform::kHkeyLocalMachine;
const std::string kKeyPath = "Software\\Zemrik Software\\Tamberlinox";
const std::string kIniFile = "C:\\Data\\app.ini";

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// How a written value shows in a test's name.
std::string Describe(const modRegistry::Variant& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return *truth ? "true" : "false";
  if (const double* number = std::get_if<double>(&value)) return std::to_string(*number);
  return "\"" + std::get<std::string>(value) + "\"";
}

struct ReadResult {
  std::int32_t code;
  std::string text;
};

class ModRegistryTest : public ::testing::Test {
 protected:
  ReadResult Read(const std::string& root, const std::string& name, const std::string& type,
                  const std::string& defaultText = "dflt", const std::string& keyPath = kKeyPath) {
    ReadResult result{0, "left over"};
    result.code = modRegistry::ReadValue(os, root, keyPath, name, type, defaultText, result.text);
    return result;
  }
  std::int32_t Write(const std::string& root, const std::string& name, const std::string& type,
                     const modRegistry::Variant& value, const std::string& keyPath = kKeyPath) {
    return modRegistry::WriteValue(os, root, keyPath, name, type, value);
  }
  std::optional<RegistryData> Stored(const std::string& name) const { return os.RegistryValue(kHkcu, kKeyPath, name); }

  void TearDown() override {
    EXPECT_EQ(os.OpenRegistryKeys(), 0u) << "a key was left open";
    EXPECT_TRUE(os.Faults().empty()) << os.Faults().front();
  }

  FakePlatform os;
};

// ---------------------------------------------------------------- roots

struct RootCase {
  std::string root;
  std::uint32_t expected;
};

void PrintTo(const RootCase& c, std::ostream* out) { *out << "\"" << c.root << "\""; }

class ResolveRootTest : public ModRegistryTest, public ::testing::WithParamInterface<RootCase> {};

TEST_P(ResolveRootTest, ResolvesHiveAbbreviationsInAnyCaseAndExistingPlainFiles) {
  os.AddFile(kIniFile);
  os.AddFile("C:\\Data\\hidden.ini", platform::kFileAttributeHidden);
  os.AddFile("C:\\Data\\system.ini", platform::kFileAttributeSystem);
  os.AddFolder("C:\\Data\\folder.ini");
  os.AddFile(os.ProgramFolder() + "\\HKCU");  // a file of that name does not beat the hive
  os.AddFile(os.ProgramFolder() + "\\local.ini");
  EXPECT_EQ(modRegistry::ResolveRoot(os, GetParam().root), GetParam().expected) << GetParam().root;
}

INSTANTIATE_TEST_SUITE_P(
    Roots, ResolveRootTest,
    ::testing::Values(RootCase{"HKCU", kHkcu}, RootCase{"hkcu", kHkcu}, RootCase{"Hkcu", kHkcu},
                      RootCase{"HKLM", kHklm}, RootCase{"hku", platform::kHkeyUsers},
                      RootCase{"HKDD", platform::kHkeyDynData}, RootCase{"hkcc", platform::kHkeyCurrentConfig},
                      RootCase{"HKCR", platform::kHkeyClassesRoot},
                      RootCase{"HKEY_CURRENT_USER", modRegistry::kRootNotRecognised},
                      RootCase{"HKCU ", modRegistry::kRootNotRecognised},
                      RootCase{"", modRegistry::kRootNotRecognised},
                      RootCase{kIniFile, modRegistry::kRootIniFile},
                      RootCase{"c:\\data\\APP.INI", modRegistry::kRootIniFile},
                      RootCase{"local.ini", modRegistry::kRootIniFile},
                      RootCase{"C:\\Data\\*.ini", modRegistry::kRootNotRecognised},
                      RootCase{"C:\\Data\\hidden.ini", modRegistry::kRootNotRecognised},
                      RootCase{"C:\\Data\\system.ini", modRegistry::kRootNotRecognised},
                      RootCase{"C:\\Data\\folder.ini", modRegistry::kRootNotRecognised},
                      RootCase{"C:\\Data\\missing.ini", modRegistry::kRootNotRecognised}));

TEST_F(ModRegistryTest, UnrecognisedRootReports99AndTouchesNothing) {
  EXPECT_EQ(Read("HKEY_CURRENT_USER", "Key", "S").code, 99);
  EXPECT_EQ(Read("HKEY_CURRENT_USER", "Key", "S").text, "dflt");
  EXPECT_EQ(Write("nowhere.ini", "Key", "S", "121"s), 99);
  EXPECT_EQ(modRegistry::DeleteValue(os, "nowhere.ini", kKeyPath, "Key"), 99);
  modRegistry::DeleteKey(os, "nowhere.ini", kKeyPath);
  EXPECT_TRUE(os.RegistryCalls().empty());
  EXPECT_EQ(os.DumpRegistry(), "");
}

// ----------------------------------------------------- registry: "S" texts

struct TextCase {
  modRegistry::Variant written;
  std::string stored;    // the bytes, NUL included
  std::string readBack;  // with default "dflt"
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << Describe(c.written); }

class TextRoundTripTest : public ModRegistryTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextRoundTripTest, StoresTheTextWithItsNulAndReadsItBack) {
  ASSERT_EQ(Write("HKCU", "Value", "S", GetParam().written), 0);
  EXPECT_EQ(Stored("Value"), (RegistryData{platform::kRegSz, Bytes(GetParam().stored)}));
  ReadResult read = Read("HKCU", "Value", "S");
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(read.text, GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextRoundTripTest,
                         ::testing::Values(TextCase{"121"s, "121\0"s, "121"}, TextCase{"65536"s, "65536\0"s, "65536"},
                                           TextCase{"C:\\Tamberlinox.exe"s, "C:\\Tamberlinox.exe\0"s,
                                                    "C:\\Tamberlinox.exe"},
                                           TextCase{" two  blanks "s, " two  blanks \0"s, " two  blanks "},
                                           // The empty text is no bytes at all, which reads as the default.
                                           TextCase{""s, ""s, "dflt"},
                                           // Numbers and truth values are written as their texts.
                                           TextCase{121.0, "121\0"s, "121"}, TextCase{-2.5, "-2.5\0"s, "-2.5"},
                                           TextCase{true, "True\0"s, "True"}));

TEST_F(ModRegistryTest, TextReadAsksForTheSizeWithAnEmptyBufferFirst) {
  os.SetRegistryString(kHkcu, kKeyPath, "Key", "121");
  ASSERT_EQ(Read("HKCU", "Key", "S").text, "121");
  std::vector<std::int32_t> queries;
  for (const platform::RegistryCall& call : os.RegistryCalls())
    if (call.function == "RegQueryValueExA") queries.push_back(call.result);
  EXPECT_EQ(queries, (std::vector<std::int32_t>{platform::kErrorMoreData, 0}));
}

TEST_F(ModRegistryTest, TextReadDropsTheFinalByteOnlyWhenItIsNul) {
  os.SetRegistryValue(kHkcu, kKeyPath, "Bare", platform::kRegSz, Bytes("abc"));  // written without a NUL
  os.SetRegistryValue(kHkcu, kKeyPath, "Inner", platform::kRegSz, Bytes("ab\0cd\0"s));
  EXPECT_EQ(Read("HKCU", "Bare", "S").text, "abc");
  EXPECT_EQ(Read("HKCU", "Inner", "S").text, "ab\0cd"s);
}

TEST_F(ModRegistryTest, TextReadIgnoresTheTypeTheRegistryReports) {
  os.SetRegistryValue(kHkcu, kKeyPath, "Binary", platform::kRegBinary, Bytes("hi\0"s));
  EXPECT_EQ(Read("HKCU", "Binary", "S").text, "hi");
}

TEST_F(ModRegistryTest, MissingKeyOrValueReports2AndLeavesTheDefault) {
  for (const char* type : {"S", "B", "D", "X"}) {
    ReadResult noKey = Read("HKCU", "Key", type);
    EXPECT_EQ(noKey.code, platform::kErrorFileNotFound) << type;
    EXPECT_EQ(noKey.text, "dflt") << type;
  }
  os.AddRegistryKey(kHkcu, kKeyPath);
  for (const char* type : {"S", "B", "D"}) {
    ReadResult noValue = Read("HKCU", "Key", type, "");
    EXPECT_EQ(noValue.code, platform::kErrorFileNotFound) << type;
    EXPECT_EQ(noValue.text, "") << type;
  }
}

TEST_F(ModRegistryTest, KeyPathAndValueNamesAreCaseInsensitive) {
  ASSERT_EQ(Write("hkcu", "KEY", "s", "121"s, "software\\zemrik software\\TAMBERLINOX"), 0);
  EXPECT_EQ(Read("HKCU", "key", "S").text, "121");
}

// ------------------------------------------------- registry: "B" and "D"

struct NumberCase {
  std::string type;
  modRegistry::Variant written;
  std::uint32_t registryType;
  std::string stored;
  std::string readBack;
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << c.type << " " << Describe(c.written); }

class NumberRoundTripTest : public ModRegistryTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberRoundTripTest, StoresTheConvertedValueAndReadsItBackAsText) {
  const NumberCase& c = GetParam();
  ASSERT_EQ(Write("HKCU", "Value", c.type, c.written), 0);
  EXPECT_EQ(Stored("Value"), (RegistryData{c.registryType, Bytes(c.stored)}));
  ReadResult read = Read("HKCU", "Value", c.type);
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(read.text, c.readBack);
}

constexpr std::uint32_t kBin = platform::kRegBinary, kDw = platform::kRegDword;

INSTANTIATE_TEST_SUITE_P(
    TruthValues, NumberRoundTripTest,
    ::testing::Values(NumberCase{"B", true, kBin, "\xFF\xFF", "True"}, NumberCase{"B", false, kBin, "\0\0"s, "False"},
                      NumberCase{"b", "true"s, kBin, "\xFF\xFF", "True"},
                      NumberCase{"B", " FALSE "s, kBin, "\0\0"s, "False"},
                      NumberCase{"B", "-1"s, kBin, "\xFF\xFF", "True"}, NumberCase{"B", "0.0"s, kBin, "\0\0"s, "False"},
                      NumberCase{"B", 2.5, kBin, "\xFF\xFF", "True"}, NumberCase{"B", 0.0, kBin, "\0\0"s, "False"}));

INSTANTIATE_TEST_SUITE_P(
    Integers, NumberRoundTripTest,
    ::testing::Values(NumberCase{"D", "-1"s, kDw, "\xFF\xFF\xFF\xFF", "-1"},
                      NumberCase{"D", "121"s, kDw, "\x79\0\0\0"s, "121"},
                      NumberCase{"d", 32767.0, kDw, "\xFF\x7F\0\0"s, "32767"},
                      NumberCase{"D", "-32768"s, kDw, "\0\x80\xFF\xFF"s, "-32768"},
                      NumberCase{"D", " +12 "s, kDw, "\x0C\0\0\0"s, "12"},
                      // Rounding half to even, for texts and numbers alike.
                      NumberCase{"D", "2.5"s, kDw, "\x02\0\0\0"s, "2"}, NumberCase{"D", "3.5"s, kDw, "\x04\0\0\0"s, "4"},
                      NumberCase{"D", "2.51"s, kDw, "\x03\0\0\0"s, "3"},
                      NumberCase{"D", "-2.5"s, kDw, "\xFE\xFF\xFF\xFF", "-2"},
                      NumberCase{"D", -32768.5, kDw, "\0\x80\xFF\xFF"s, "-32768"},
                      NumberCase{"D", 0.5, kDw, "\0\0\0\0"s, "0"}, NumberCase{"D", 1.5, kDw, "\x02\0\0\0"s, "2"},
                      NumberCase{"D", "True"s, kDw, "\xFF\xFF\xFF\xFF", "-1"},
                      NumberCase{"D", true, kDw, "\xFF\xFF\xFF\xFF", "-1"}));

TEST_F(ModRegistryTest, UnconvertibleOrOutOfRangeValueWritesNothingAndReports13) {
  struct Case {
    const char* type;
    modRegistry::Variant value;
  };
  for (const Case& c : {Case{"D", 40000.0}, Case{"D", "40000"s}, Case{"D", "32767.5"s}, Case{"D", -32769.0},
                        Case{"D", "abc"s}, Case{"D", ""s}, Case{"D", "12abc"s}, Case{"B", "yes"s}, Case{"B", ""s}}) {
    EXPECT_EQ(Write("HKCU", "Value", c.type, c.value), platform::kErrorInvalidData) << c.type;
    EXPECT_FALSE(Stored("Value").has_value()) << c.type;
  }
  // The key was created before the value was converted.
  EXPECT_TRUE(os.KeyExists(kHkcu, kKeyPath));
}

TEST_F(ModRegistryTest, ValueLargerThanItsTypeAllowsReports234AndLeavesTheDefault) {
  os.SetRegistryValue(kHkcu, kKeyPath, "Three", kBin, {1, 2, 3});
  os.SetRegistryValue(kHkcu, kKeyPath, "Five", kDw, {1, 2, 3, 4, 5});
  EXPECT_EQ(Read("HKCU", "Three", "B").code, platform::kErrorMoreData);
  EXPECT_EQ(Read("HKCU", "Three", "B").text, "dflt");
  EXPECT_EQ(Read("HKCU", "Five", "D").code, platform::kErrorMoreData);
  EXPECT_EQ(Read("HKCU", "Five", "D").text, "dflt");
}

TEST_F(ModRegistryTest, ShortValuesReadIntoZeroedBuffers) {
  os.SetRegistryValue(kHkcu, kKeyPath, "HighByte", kBin, {0, 1});
  os.SetRegistryValue(kHkcu, kKeyPath, "Word", kDw, {0x02, 0x01});
  os.SetRegistryValue(kHkcu, kKeyPath, "Lowest", kDw, {0, 0, 0, 0x80});
  EXPECT_EQ(Read("HKCU", "HighByte", "B").text, "True");
  EXPECT_EQ(Read("HKCU", "Word", "D").text, "258");
  EXPECT_EQ(Read("HKCU", "Lowest", "D").text, "-2147483648");
}

TEST_F(ModRegistryTest, OtherTypeLettersReadAndWriteNothingButSucceed) {
  os.SetRegistryString(kHkcu, kKeyPath, "Key", "121");
  ReadResult read = Read("HKCU", "Key", "X");
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(read.text, "dflt");
  EXPECT_EQ(Write("HKCU", "Other", "Q", "1"s), 0);
  EXPECT_FALSE(Stored("Other").has_value());
}

// ----------------------------------------------- registry: write failures

TEST_F(ModRegistryTest, WriteCreatesEveryMissingKeyAlongThePath) {
  ASSERT_EQ(Write("HKLM", "Tamberlinox", "S", "C:\\T\\Tamberlinox.exe"s,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
            0);
  EXPECT_EQ(os.DumpRegistry(),
            "HKEY_LOCAL_MACHINE\\Software\n"
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\n"
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\n"
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\n"
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n"
            "  \"Tamberlinox\" = REG_SZ \"C:\\T\\Tamberlinox.exe\"\n");
}

TEST_F(ModRegistryTest, WriteWhereTheUserMayNotReportsAccessDenied) {
  os.DenyRegistryWrites(kHklm);
  EXPECT_EQ(Write("HKLM", "Tamberlinox", "S", "x"s, "Software\\Run"), platform::kErrorAccessDenied);
  os.AddRegistryKey(kHklm, "Software\\Run");
  EXPECT_EQ(Write("HKLM", "Tamberlinox", "S", "x"s, "Software\\Run"), platform::kErrorAccessDenied);
  EXPECT_EQ(os.RegistryValueNames(kHklm, "Software\\Run"), std::vector<std::string>{});
}

// ---------------------------------------------------- registry: deleting

TEST_F(ModRegistryTest, DeleteValueRemovesTheValueAndCountsWhatIsNotThereAsDone) {
  os.SetRegistryString(kHkcu, kKeyPath, "Key", "121");
  os.SetRegistryString(kHkcu, kKeyPath, "Shift", "");
  EXPECT_EQ(modRegistry::DeleteValue(os, "HKCU", kKeyPath, "Key"), 0);
  EXPECT_EQ(os.RegistryValueNames(kHkcu, kKeyPath), std::vector<std::string>{"Shift"});
  EXPECT_EQ(modRegistry::DeleteValue(os, "HKCU", kKeyPath, "Key"), 0);                 // value gone
  EXPECT_EQ(modRegistry::DeleteValue(os, "HKCU", "Software\\Nowhere", "Key"), 0);      // key missing
}

TEST_F(ModRegistryTest, DeleteValueWhereTheUserMayNotReportsAccessDenied) {
  os.SetRegistryString(kHklm, "Software\\Run", "Tamberlinox", "x");
  os.DenyRegistryWrites(kHklm);
  EXPECT_EQ(modRegistry::DeleteValue(os, "HKLM", "Software\\Run", "Tamberlinox"), platform::kErrorAccessDenied);
  EXPECT_EQ(os.RegistryString(kHklm, "Software\\Run", "Tamberlinox"), "x");
}

TEST_F(ModRegistryTest, DeleteKeyRemovesTheLastKeyWithItsValuesAndKeepsItsParent) {
  for (const char* name : {"Key", "Shift", "Ctrl", "Alt", "F10"}) os.SetRegistryString(kHkcu, kKeyPath, name, "1");
  os.SetRegistryString(kHkcu, "Software\\Zemrik Software", "Other", "kept");
  modRegistry::DeleteKey(os, "hkcu", kKeyPath);
  EXPECT_FALSE(os.KeyExists(kHkcu, kKeyPath));
  EXPECT_EQ(os.RegistryString(kHkcu, "Software\\Zemrik Software", "Other"), "kept");
}

TEST_F(ModRegistryTest, DeleteKeyOfAKeyWithSubkeysLeavesItInPlace) {
  os.AddRegistryKey(kHkcu, kKeyPath + "\\Sub");
  modRegistry::DeleteKey(os, "HKCU", kKeyPath);
  EXPECT_TRUE(os.KeyExists(kHkcu, kKeyPath + "\\Sub"));
}

TEST_F(ModRegistryTest, DeleteKeyWithAnIniRootCallsNoRegistryFunction) {
  os.AddFile(kIniFile, 0, "[" + kKeyPath + "]\r\nKey=121\r\n");
  modRegistry::DeleteKey(os, kIniFile, kKeyPath);
  EXPECT_TRUE(os.RegistryCalls().empty());
  EXPECT_EQ(os.ProfileString(kIniFile, kKeyPath, "Key"), "121");
}

// ------------------------------------------- every key closed on every path

struct PathCase {
  const char* name;
  std::function<void(FakePlatform&)> setUp;
  std::function<std::int32_t(FakePlatform&)> call;
  std::int32_t expected;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class KeysClosedTest : public ModRegistryTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(KeysClosedTest, ClosesEveryKeyItOpened) {
  GetParam().setUp(os);
  EXPECT_EQ(GetParam().call(os), GetParam().expected);
  std::size_t opened = 0, closed = 0;
  for (const platform::RegistryCall& call : os.RegistryCalls()) {
    if ((call.function == "RegOpenKeyExA" || call.function == "RegCreateKeyExA") && call.result == 0) ++opened;
    if (call.function == "RegCloseKey" && call.result == 0) ++closed;
  }
  EXPECT_GT(opened, 0u);
  EXPECT_EQ(closed, opened);  // and TearDown finds none open
}

std::int32_t ReadS(FakePlatform& os, const char* name, const char* type) {
  std::string text;
  return modRegistry::ReadValue(os, "HKCU", kKeyPath, name, type, "", text);
}

void WithValues(FakePlatform& os) {
  os.SetRegistryString(kHkcu, kKeyPath, "Text", "121");
  os.SetRegistryValue(kHkcu, kKeyPath, "Empty", platform::kRegSz, {});
  os.SetRegistryValue(kHkcu, kKeyPath, "Long", kDw, {1, 2, 3, 4, 5, 6});
}

INSTANTIATE_TEST_SUITE_P(
    Paths, KeysClosedTest,
    ::testing::Values(
        PathCase{"ReadText", WithValues, [](FakePlatform& os) { return ReadS(os, "Text", "S"); }, 0},
        PathCase{"ReadEmptyText", WithValues, [](FakePlatform& os) { return ReadS(os, "Empty", "S"); }, 0},
        PathCase{"ReadMissingText", WithValues, [](FakePlatform& os) { return ReadS(os, "None", "S"); }, 2},
        PathCase{"ReadLongTruth", WithValues, [](FakePlatform& os) { return ReadS(os, "Long", "B"); }, 234},
        PathCase{"ReadLongInteger", WithValues, [](FakePlatform& os) { return ReadS(os, "Long", "D"); }, 234},
        PathCase{"ReadOtherType", WithValues, [](FakePlatform& os) { return ReadS(os, "Text", "Z"); }, 0},
        PathCase{"WriteText", WithValues,
                 [](FakePlatform& os) { return modRegistry::WriteValue(os, "HKCU", kKeyPath, "N", "S", "1"s); }, 0},
        PathCase{"WriteBadInteger", WithValues,
                 [](FakePlatform& os) { return modRegistry::WriteValue(os, "HKCU", kKeyPath, "N", "D", 1e6); }, 13},
        PathCase{"WriteBadTruth", WithValues,
                 [](FakePlatform& os) { return modRegistry::WriteValue(os, "HKCU", kKeyPath, "N", "B", "no"s); }, 13},
        PathCase{"WriteDenied",
                 [](FakePlatform& os) {
                   os.AddRegistryKey(kHkcu, kKeyPath);
                   os.DenyRegistryWrites(kHkcu);
                   os.AddRegistryKey(kHkcu, "Software\\Readable");
                 },
                 [](FakePlatform& os) {
                   // The key opens (it exists and is read), the value cannot be set.
                   std::string text;
                   modRegistry::ReadValue(os, "HKCU", "Software\\Readable", "N", "S", "", text);
                   return modRegistry::WriteValue(os, "HKCU", kKeyPath, "N", "S", "1"s);
                 },
                 5},
        PathCase{"DeleteValue", WithValues,
                 [](FakePlatform& os) { return modRegistry::DeleteValue(os, "HKCU", kKeyPath, "Text"); }, 0},
        PathCase{"DeleteMissingValue", WithValues,
                 [](FakePlatform& os) { return modRegistry::DeleteValue(os, "HKCU", kKeyPath, "None"); }, 0}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- INI files

class IniTest : public ModRegistryTest {
 protected:
  void SetUp() override { os.AddFile(kIniFile, 0, "[Settings]\r\nKey = 121 \r\nQuoted=\"a b\"\r\n"); }
};

TEST_F(IniTest, ReadsTextEntriesAndFallsBackToTheDefault) {
  EXPECT_EQ(Read(kIniFile, "Key", "S", "dflt", "Settings").text, "121");
  EXPECT_EQ(Read(kIniFile, "key", "s", "dflt", "SETTINGS").text, "121");
  EXPECT_EQ(Read(kIniFile, "Quoted", "S", "dflt", "Settings").text, "a b");
  ReadResult missing = Read(kIniFile, "None", "S", "dflt", "Settings");
  EXPECT_EQ(missing.code, 0);
  EXPECT_EQ(missing.text, "dflt");
  EXPECT_EQ(Read(kIniFile, "Key", "S", "dflt", "Nowhere").text, "dflt");
}

TEST_F(IniTest, ReadOfALongEntryReturnsItsFirst254Characters) {
  const std::string longText(300, 'x');
  os.AddFile(kIniFile, 0, "[Settings]\r\nLong=" + longText + "\r\n");
  ReadResult read = Read(kIniFile, "Long", "S", "", "Settings");
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(read.text, std::string(254, 'x'));
}

TEST_F(IniTest, OtherTypesReadTheDefaultAndWriteNothing) {
  EXPECT_EQ(Read(kIniFile, "Key", "D", "dflt", "Settings").code, 0);
  EXPECT_EQ(Read(kIniFile, "Key", "D", "dflt", "Settings").text, "dflt");
  EXPECT_EQ(Write(kIniFile, "Key", "D", 5.0, "Settings"), 99);
  EXPECT_EQ(Write(kIniFile, "Key", "B", true, "Settings"), 99);
  EXPECT_EQ(os.ProfileString(kIniFile, "Settings", "Key"), "121");
}

TEST_F(IniTest, WriteCreatesSectionAndEntryAndReadsBack) {
  ASSERT_EQ(Write(kIniFile, "Key", "S", "65"s, "Settings"), 0);
  ASSERT_EQ(Write(kIniFile, "Shift", "S", 65536.0, kKeyPath), 0);
  EXPECT_EQ(Read(kIniFile, "Key", "S", "", "Settings").text, "65");
  EXPECT_EQ(Read(kIniFile, "Shift", "S", "", kKeyPath).text, "65536");
  EXPECT_TRUE(os.RegistryCalls().empty());
}

TEST_F(IniTest, DeleteLeavesTheEntryWithAnEmptyText) {
  EXPECT_EQ(modRegistry::DeleteValue(os, kIniFile, "Settings", "Key"), 0);
  EXPECT_EQ(os.ProfileString(kIniFile, "Settings", "Key"), "");
  EXPECT_EQ(Read(kIniFile, "Key", "S", "dflt", "Settings").text, "");
}

TEST_F(IniTest, FailingProfileWriteReportsItsSystemErrorCode) {
  os.FailProfileWrites(platform::kErrorAccessDenied);
  EXPECT_EQ(Write(kIniFile, "Key", "S", "1"s, "Settings"), platform::kErrorAccessDenied);
  EXPECT_EQ(modRegistry::DeleteValue(os, kIniFile, "Settings", "Key"), platform::kErrorAccessDenied);
  EXPECT_EQ(os.ProfileString(kIniFile, "Settings", "Key"), "121");
}

TEST_F(IniTest, RelativeRootMeansTheSameFileForTheTestAndTheProfileFunctions) {
  // A bare name would send the profile functions to the Windows folder; the
  // store hands them the full path, so they work on the file it found.
  os.SetCurrentFolder("C:\\Data");
  os.AddFile("C:\\WINDOWS\\app.ini", 0, "[Settings]\r\nKey=from windows\r\n");
  EXPECT_EQ(Read("app.ini", "Key", "S", "", "Settings").text, "121");
  ASSERT_EQ(Write("app.ini", "Key", "S", "122"s, "Settings"), 0);
  EXPECT_EQ(os.ProfileString(kIniFile, "Settings", "Key"), "122");
  EXPECT_EQ(os.ProfileString("C:\\WINDOWS\\app.ini", "Settings", "Key"), "from windows");
}

}  // namespace
}  // namespace tamberlinox
