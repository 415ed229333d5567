// Reads the resources back out of the built kestaro.exe and compares them
// field by field with the texts, ids and layouts they must have.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace kestaro {
namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

HMODULE program() {
  static HMODULE module = [] {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "kestaro.exe");
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }();
  return module;
}

std::vector<BYTE> resource(LPCSTR type, LPCSTR name) {
  HRSRC found = FindResourceExA(program(), type, name, kJapanese);
  if (found == nullptr) return {};
  const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(program(), found)));
  return std::vector<BYTE>(data, data + SizeofResource(program(), found));
}

std::string utf8(const std::wstring& text) {
  char buffer[256] = "";
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

// Reads a resource template front to back.
class Reader {
 public:
  explicit Reader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
  WORD word() {
    WORD value;
    std::memcpy(&value, bytes_.data() + pos_, 2);
    pos_ += 2;
    return value;
  }
  DWORD dword() { return word() | static_cast<DWORD>(word()) << 16; }
  short coordinate() { return static_cast<short>(word()); }
  std::string text() {
    std::wstring value;
    for (WORD c = word(); c != 0; c = word()) value += static_cast<wchar_t>(c);
    return utf8(value);
  }
  // A name or an ordinal: "#n" for an ordinal.
  std::string nameOrOrdinal() {
    if (peek() == 0xFFFF) {
      word();
      return "#" + std::to_string(word());
    }
    return text();
  }
  WORD peek() const {
    WORD value;
    std::memcpy(&value, bytes_.data() + pos_, 2);
    return value;
  }
  void alignDword() { pos_ = (pos_ + 3) & ~std::size_t{3}; }
  bool atEnd() const { return pos_ >= bytes_.size(); }

 private:
  const std::vector<BYTE>& bytes_;
  std::size_t pos_ = 0;
};

struct MenuEntry {
  WORD flags;
  int id;  // -1 for a pop-up
  std::string text;
  bool operator==(const MenuEntry& o) const {
    return flags == o.flags && id == o.id && text == o.text;
  }
};

void PrintTo(const MenuEntry& e, std::ostream* out) {
  *out << e.flags << ' ' << e.id << ' ' << e.text;
}

TEST(Resources, MenuHasTheSixPopUpsAndTenCommands) {
  std::vector<BYTE> bytes = resource(RT_MENU, "MYMENU");
  ASSERT_FALSE(bytes.empty());
  Reader reader(bytes);
  EXPECT_EQ(reader.word(), 0);  // version
  EXPECT_EQ(reader.word(), 0);  // header size
  std::vector<MenuEntry> entries;
  while (!reader.atEnd()) {
    WORD flags = reader.word();
    int id = (flags & MF_POPUP) ? -1 : reader.word();
    entries.push_back({flags, id, reader.text()});
  }
  const WORD popup = MF_POPUP, end = MF_END;
  const std::vector<MenuEntry> expected{
      {popup, -1, "ファイル(&F)"},
      {end, 1000, "終了(&X)"},
      {popup, -1, "表示(&V)"},
      {end, 1003, "クリア(&C)"},
      {popup, -1, "履歴(&L)"},
      {0, 1004, "当選番号履歴(&R)"},
      {end, 1005, "当選番号分布(&B)"},
      {popup, -1, "検索(&F)"},
      {0, 1001, "開始(&S)"},
      {end, 1002, "停止(&T)"},
      {popup, -1, "設定(&T)"},
      {0, 1006, "当選番号登録(&S)"},
      {end, 1007, "検索設定(&F)"},
      {popup | end, -1, "ﾍﾙﾌﾟ(&H)"},
      {0, 1008, "Kestaroの使い方(&R)"},
      {end, 1009, "ﾊﾞｰｼﾞｮﾝ情報(&A)"},
  };
  EXPECT_EQ(entries, expected);
}

struct Control {
  int id;
  std::string className;
  std::string text;
  DWORD style;
  short x, y, cx, cy;
  bool operator==(const Control& o) const {
    return id == o.id && className == o.className && text == o.text && style == o.style &&
           x == o.x && y == o.y && cx == o.cx && cy == o.cy;
  }
};

void PrintTo(const Control& c, std::ostream* out) {
  *out << c.id << ' ' << c.className << " \"" << c.text << "\" " << std::hex << c.style << std::dec
       << ' ' << c.x << ',' << c.y << ',' << c.cx << ',' << c.cy;
}

struct Dialog {
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string menu, className, caption, font;
  WORD pointSize = 0;
  std::vector<Control> controls;
};

Dialog readDialog(LPCSTR name) {
  std::vector<BYTE> bytes = resource(RT_DIALOG, name);
  Dialog dialog;
  if (bytes.empty()) return dialog;
  Reader reader(bytes);
  dialog.style = reader.dword();
  dialog.exStyle = reader.dword();
  WORD count = reader.word();
  dialog.x = reader.coordinate();
  dialog.y = reader.coordinate();
  dialog.cx = reader.coordinate();
  dialog.cy = reader.coordinate();
  dialog.menu = reader.nameOrOrdinal();
  dialog.className = reader.nameOrOrdinal();
  dialog.caption = reader.text();
  if (dialog.style & DS_SETFONT) {
    dialog.pointSize = reader.word();
    dialog.font = reader.text();
  }
  for (WORD i = 0; i < count; ++i) {
    reader.alignDword();
    Control control{};
    control.style = reader.dword();
    EXPECT_EQ(reader.dword(), 0u) << "extended style";
    control.x = reader.coordinate();
    control.y = reader.coordinate();
    control.cx = reader.coordinate();
    control.cy = reader.coordinate();
    control.id = reader.word();
    control.className = reader.nameOrOrdinal();
    control.text = reader.nameOrOrdinal();
    EXPECT_EQ(reader.word(), 0) << "creation data";
    dialog.controls.push_back(control);
  }
  return dialog;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const char kButton[] = "#128", kEdit[] = "#129", kStatic[] = "#130";

void expectFrame(const Dialog& dialog, const std::string& caption, short cx, short cy) {
  EXPECT_EQ(dialog.style,
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, cx);
  EXPECT_EQ(dialog.cy, cy);
  EXPECT_EQ(dialog.menu, "");
  EXPECT_EQ(dialog.className, "");
  EXPECT_EQ(dialog.caption, caption);
  EXPECT_EQ(dialog.pointSize, 9);
  EXPECT_EQ(dialog.font, "ＭＳ Ｐゴシック");
}

TEST(Resources, DrawEntryDialog) {
  Dialog dialog = readDialog("WRITELOTO");
  expectFrame(dialog, "番号登録", 165, 90);
  std::vector<Control> expected;
  const char* labels[] = {"A", "B", "C", "D", "E", "Z"};
  for (short i = 0; i < 6; ++i) {
    expected.push_back({2006 + i, kStatic, labels[i], kChild | WS_GROUP | SS_CENTER,
                        static_cast<short>(10 + 25 * i), 20, 20, 7});
  }
  for (short i = 0; i < 6; ++i) {
    expected.push_back({2000 + i, kEdit, "", kChild | WS_BORDER | WS_TABSTOP | ES_RIGHT,
                        static_cast<short>(10 + 25 * i), 28, 20, 14});
  }
  expected.push_back({1, kButton, "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 25, 60, 50, 14});
  expected.push_back({2, kButton, "ｷｬﾝｾﾙ", kChild | WS_TABSTOP | BS_PUSHBUTTON, 90, 60, 50, 14});
  EXPECT_EQ(dialog.controls, expected);
}

TEST(Resources, SearchSettingsDialog) {
  Dialog dialog = readDialog("SETCONF");
  expectFrame(dialog, "検索設定", 145, 130);
  const std::vector<Control> expected{
      {2006, kStatic, "検索回数", kChild | WS_GROUP | SS_LEFT, 40, 15, 28, 7},
      {2000, kEdit, "", kChild | WS_BORDER | WS_TABSTOP | ES_RIGHT, 70, 13, 30, 14},
      {2012, kButton, "標準", kChild | WS_GROUP | BS_AUTORADIOBUTTON, 50, 50, 40, 14},
      {2013, kButton, "大穴狙い", kChild | BS_AUTORADIOBUTTON, 50, 70, 40, 14},
      {2014, kButton, "出現率", kChild | BS_GROUPBOX, 40, 35, 60, 60},
      {1, kButton, "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 15, 105, 50, 14},
      {2, kButton, "ｷｬﾝｾﾙ", kChild | WS_TABSTOP | BS_PUSHBUTTON, 80, 105, 50, 14},
  };
  EXPECT_EQ(dialog.controls, expected);
}

TEST(Resources, VersionDialog) {
  Dialog dialog = readDialog("VERSIONINF");
  expectFrame(dialog, "ﾊﾞｰｼﾞｮﾝ情報", 150, 70);
  ASSERT_EQ(dialog.controls.size(), 4u);
  EXPECT_EQ(dialog.controls[0], (Control{2006, kStatic, "Kestaro Ver 1.0",
                                         kChild | WS_GROUP | SS_LEFT, 30, 15, 100, 14}));
  Control notice = dialog.controls[1];
  EXPECT_FALSE(notice.text.empty());
  notice.text.clear();
  EXPECT_EQ(notice, (Control{2007, kStatic, "", kChild | WS_GROUP | SS_LEFT, 30, 30, 130, 14}));
  EXPECT_EQ(dialog.controls[2], (Control{2008, kStatic, "MYBMP",
                                         kChild | SS_BITMAP | SS_REALSIZEIMAGE, 10, 10, 13, 14}));
  EXPECT_EQ(dialog.controls[3],
            (Control{1, kButton, "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 50, 50, 50, 14}));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD ordinal;
};
#pragma pack(pop)

TEST(Resources, IconGroupHoldsTwoSixteenColourImages) {
  std::vector<BYTE> group = resource(RT_GROUP_ICON, "MYICON");
  ASSERT_EQ(group.size(), 6u + 2 * sizeof(GroupIconEntry));
  Reader reader(group);
  EXPECT_EQ(reader.word(), 0);
  EXPECT_EQ(reader.word(), 1);
  EXPECT_EQ(reader.word(), 2);
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(group.data() + 6);
  const int sizes[] = {32, 16};
  const DWORD bytes[] = {744, 296};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(entries[i].width, sizes[i]);
    EXPECT_EQ(entries[i].height, sizes[i]);
    EXPECT_EQ(entries[i].colours, 16);
    EXPECT_EQ(entries[i].planes, 1);
    EXPECT_EQ(entries[i].bitCount, 4);
    EXPECT_EQ(entries[i].bytes, bytes[i]);
    EXPECT_EQ(entries[i].ordinal, i + 1);
    std::vector<BYTE> image = resource(RT_ICON, MAKEINTRESOURCEA(i + 1));
    ASSERT_EQ(image.size(), bytes[i]);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, sizes[i]);
    EXPECT_EQ(header.biHeight, 2 * sizes[i]);
    EXPECT_EQ(header.biBitCount, 4);
  }
}

TEST(Resources, BitmapIsA616ByteSixteenColourPicture) {
  std::vector<BYTE> bitmap = resource(RT_BITMAP, "MYBMP");
  ASSERT_EQ(bitmap.size(), 616u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bitmap.data(), sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 32);
  EXPECT_EQ(header.biHeight, 32);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 4);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 512u);
  EXPECT_EQ(header.biClrUsed, 0u);
  // The first pixels, bottom-left, are the surround: dark cyan.
  EXPECT_EQ(bitmap[40 + 64], 0x66);
  // The standard palette's index 6 is dark cyan.
  EXPECT_EQ(std::vector<BYTE>(bitmap.begin() + 40 + 24, bitmap.begin() + 40 + 28),
            (std::vector<BYTE>{128, 128, 0, 0}));
}

BOOL CALLBACK collectType(HMODULE, LPSTR type, LONG_PTR found) {
  reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(reinterpret_cast<ULONG_PTR>(type));
  return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::set<WORD>*>(found)->insert(language);
  return TRUE;
}

BOOL CALLBACK collectNamesLanguages(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
  EnumResourceLanguagesA(module, type, name, collectLanguage, found);
  return TRUE;
}

TEST(Resources, OnlyTheseKindsAllJapanese) {
  ASSERT_NE(program(), nullptr);
  std::set<ULONG_PTR> types;
  EnumResourceTypesA(program(), collectType, reinterpret_cast<LONG_PTR>(&types));
  const std::set<ULONG_PTR> expected{
      reinterpret_cast<ULONG_PTR>(RT_MENU), reinterpret_cast<ULONG_PTR>(RT_DIALOG),
      reinterpret_cast<ULONG_PTR>(RT_ICON), reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON),
      reinterpret_cast<ULONG_PTR>(RT_BITMAP)};
  EXPECT_EQ(types, expected);
  std::set<WORD> languages;
  for (ULONG_PTR type : types) {
    EnumResourceNamesA(program(), reinterpret_cast<LPCSTR>(type), collectNamesLanguages,
                       reinterpret_cast<LONG_PTR>(&languages));
  }
  EXPECT_EQ(languages, std::set<WORD>{kJapanese});
}

}  // namespace
}  // namespace kestaro
