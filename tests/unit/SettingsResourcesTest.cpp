// The settings dialog's resources against the variant records: the control
// numbers each program is built with, the captions, and every control's
// text in both languages; the icon holds the four sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "ResourceTestSupport.h"
#include "variant/Variant.h"

namespace {

using namespace qv::testing;

struct Control {
    const char* line;      // kind, text and id as the English template has them
    const char* place;     // English place in variant B
    const char* japanese;  // the same control's Japanese text
};

const Control kControls[] = {
    {"LTEXT \"You can add maximum 10 pictures to the list for this screensaver.\", IDC_STATIC", "7, 13, 298, 17",
     "本スクリーンセーバー用に、最大10枚の画像を追加できます。"},
    {"GROUPBOX \"Selected Pictures\", IDC_STATIC", "7, 37, 321, 134", "選択された画像のリスト"},
    {"CONTROL \"\", IDC_PICTURE_LIST, \"SysListView32\", QV_LIST_STYLE", "14, 51, 307, 94", ""},
    // Access keys: underlined in English, "(&A)" after the Japanese text.
    // Five buttons share the row the first four had, Add Folder beside Add.
    {"PUSHBUTTON \"&Add\", IDC_ADD", "14, 150, 48, 14", "追加(&A)"},
    {"PUSHBUTTON \"Add &Folder...\", IDC_ADD_FOLDER", "73, 150, 62, 14", "フォルダー追加(&F)..."},
    {"PUSHBUTTON \"E&xchange\", IDC_EXCHANGE", "146, 150, 52, 14", "入替(&X)"},
    {"PUSHBUTTON \"&Initialize\", IDC_INITIALIZE", "209, 150, 52, 14", "初期設定(&I)"},
    {"PUSHBUTTON \"&Delete\", IDC_DELETE", "272, 150, 48, 14", "削除(&D)"},
    {"GROUPBOX \"BGM\", IDC_STATIC", "7, 173, 120, 25", "音楽"},
    {"AUTORADIOBUTTON \"On\", IDC_MUSIC_ON", "27, 184, 27, 10", "あり"},
    {"AUTORADIOBUTTON \"Off\", IDC_MUSIC_OFF", "74, 184, 27, 10", "なし"},
    {"GROUPBOX \"View Options\", IDC_STATIC", "135, 173, 154, 25", "画像の表示方法"},
    {"AUTORADIOBUTTON \"Enlarge\", IDC_ENLARGE", "QV_ENLARGE_X, QV_VIEW_Y, 41, 10", "拡大表示"},
    {"AUTORADIOBUTTON \"Fit Screen\", IDC_FIT_SCREEN", "QV_FIT_X, QV_VIEW_Y, 51, 10", "全体表示"},
    {"DEFPUSHBUTTON \"OK\", IDOK", "171, 201, 70, 20", "OK"},
    {"PUSHBUTTON \"Cancel\", IDCANCEL", "245, 201, 70, 20", "ｷｬﾝｾﾙ"},
    {"LTEXT \"Converting picture %d of %d...\", IDC_PROGRESS_TEXT", "7, 206, 108, 10", "画像を変換中 (%d/%d)..."},
};

}  // namespace

TEST(SettingsResources, ControlNumbersMatchTheVariantRecords) {
#ifdef _WIN32
    GTEST_SKIP() << "reads the source tree, which only the native build is given";
#endif
    const std::string header = sourceFile("resources/settings.h");
    if (header.empty()) GTEST_SKIP() << "QV_SOURCE_DIR is not set";
    const auto shared = definesBetween(header, "#pragma once", "#if defined(QV_VARIANT_B)");
    const auto b = definesBetween(header, "#if defined(QV_VARIANT_B)", "#elif");
    const auto ac = definesBetween(header, "#elif defined(QV_VARIANT_A) || defined(QV_VARIANT_C)", "#else");
    for (const qv::Variant* v : {&qv::variantA(), &qv::variantB(), &qv::variantC()}) {
        SCOPED_TRACE(v->letter);
        const qv::SettingsDialogIds& ids = v->dialogIds;
        EXPECT_EQ(shared.at("IDD_SETTINGS"), ids.dialog);
        EXPECT_EQ(shared.at("IDI_QUORVELK"), ids.icon);
        EXPECT_EQ(shared.at("IDC_PICTURE_LIST"), ids.pictureList);
        EXPECT_EQ(shared.at("IDC_ADD"), ids.addButton);
        EXPECT_EQ(shared.at("IDC_DELETE"), ids.deleteButton);
        EXPECT_EQ(shared.at("IDC_INITIALIZE"), ids.initializeButton);
        EXPECT_EQ(shared.at("IDC_EXCHANGE"), ids.exchangeButton);
        EXPECT_EQ(shared.at("IDC_ADD_FOLDER"), ids.addFolderButton);
        EXPECT_EQ(shared.at("IDC_MUSIC_ON"), ids.musicOn);
        EXPECT_EQ(shared.at("IDC_MUSIC_OFF"), ids.musicOff);
        EXPECT_EQ(shared.at("IDC_PROGRESS_TEXT"), ids.progressText);
        EXPECT_EQ(shared.at("IDC_PROGRESS_BAR"), ids.progressBar);
        const auto& own = v->letter == 'B' ? b : ac;
        EXPECT_EQ(own.at("IDC_ENLARGE"), ids.enlarge);
        EXPECT_EQ(own.at("IDC_FIT_SCREEN"), ids.fitScreen);
    }
}

TEST(SettingsResources, BothTemplatesCarryEveryControlWithItsText) {
#ifdef _WIN32
    GTEST_SKIP() << "reads the source tree, which only the native build is given";
#endif
    const std::string rc = sourceFile("resources/settings.rc");
    if (rc.empty()) GTEST_SKIP() << "QV_SOURCE_DIR is not set";
    EXPECT_EQ(rc.rfind("#pragma code_page(65001)", 0), 0u);

    // Captions: the product name and "Setting", in Japanese "設定".
    for (const qv::Variant* v : {&qv::variantA(), &qv::variantB(), &qv::variantC()}) {
        const std::string name = v->productName;
        EXPECT_NE(rc.find("#define QV_SETTINGS_CAPTION     \"" + name + " Setting\""), std::string::npos) << name;
        EXPECT_NE(rc.find("#define QV_SETTINGS_CAPTION_JA  \"" + name + " 設定\""), std::string::npos) << name;
    }
    // Variant B's trimming buttons stand where the English template says.
    const auto places = definesBetween(rc, "#if defined(QV_VARIANT_B)\n#define QV_ENLARGE_X", "#else");
    EXPECT_EQ(places.at("QV_ENLARGE_X"), 162);
    EXPECT_EQ(places.at("QV_FIT_X"), 218);
    EXPECT_EQ(places.at("QV_VIEW_Y"), 182);
    // A popup with caption and modal frame, no system menu.
    const std::regex style(R"(#define QV_SETTINGS_STYLE ([^\n]*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rc, m, style));
    for (const char* flag : {"WS_POPUP", "WS_CAPTION", "DS_MODALFRAME"})
        EXPECT_NE(std::string(m[1]).find(flag), std::string::npos) << flag;
    EXPECT_EQ(std::string(m[1]).find("WS_SYSMENU"), std::string::npos);

    const auto all = templates(rc);
    ASSERT_EQ(all.count("IDD_SETTINGS"), 1u);
    const auto& pair = all.at("IDD_SETTINGS");
    ASSERT_EQ(pair.size(), 2u);
    const std::string& en = pair[0].body;
    const std::string& ja = pair[1].body;
    EXPECT_NE(pair[0].language.find("LANG_ENGLISH"), std::string::npos);
    EXPECT_NE(pair[1].language.find("LANG_JAPANESE"), std::string::npos);
    EXPECT_NE(en.find("IDD_SETTINGS DIALOGEX 0, 0, 336, 228\n"), std::string::npos);
    EXPECT_NE(ja.find("IDD_SETTINGS DIALOGEX 0, 0, 383, 269\n"), std::string::npos);
    EXPECT_NE(en.find("CAPTION QV_SETTINGS_CAPTION\n"), std::string::npos);
    EXPECT_NE(ja.find("CAPTION QV_SETTINGS_CAPTION_JA\n"), std::string::npos);
    EXPECT_NE(en.find("FONT 9, "), std::string::npos);
    EXPECT_NE(ja.find("FONT 9, \"ＭＳ Ｐゴシック\""), std::string::npos);

    for (const Control& c : kControls) {
        SCOPED_TRACE(c.line);
        const std::string line = c.line;
        EXPECT_NE(en.find("    " + line + ", " + c.place), std::string::npos);
        // The Japanese line: the same kind and id with the Japanese text.
        const std::size_t open = line.find('"');
        const std::string jaLine =
            line.substr(0, open + 1) + c.japanese + line.substr(line.find('"', open + 1));
        EXPECT_NE(ja.find("    " + jaLine + ", "), std::string::npos);
    }
    // Nothing more than those controls and the progress bar in either language.
    for (const std::string* body : {&en, &ja})
        EXPECT_EQ(std::count(body->begin(), body->end(), '\n'), 5 + 18 + 1);

    // The icon: resource 128 from quorvelk.ico, which holds 16, 32, 48 and
    // 256 pixels (the directory's width byte says 0 for 256).
    EXPECT_NE(rc.find("IDI_QUORVELK ICON \"quorvelk.ico\""), std::string::npos);
    const std::string ico = sourceFile("resources/quorvelk.ico");
    ASSERT_GE(ico.size(), 6u);
    const int entries = static_cast<unsigned char>(ico[4]);
    std::set<int> sizes;
    for (int i = 0; i < entries && 6u + 16u * i + 1 < ico.size(); ++i)
        sizes.insert(static_cast<unsigned char>(ico[6 + 16 * i]));
    EXPECT_EQ(sizes, (std::set<int>{0, 16, 32, 48}));
}
