// The message dialog resources against the variant records: the template
// numbers the programs are built with must be the ones the code asks for,
// and every template must carry its exact text and buttons in both languages.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "ResourceTestSupport.h"
#include "variant/Variant.h"

namespace {

using namespace qv::testing;

// The #define numbers of one branch of messages.h ("A" or "BC").
std::map<std::string, int> templateDefines(const std::string& header, const std::string& branch) {
    return branch == "A" ? definesBetween(header, "#if defined(QV_VARIANT_A)", "#elif")
                         : definesBetween(header, "#elif defined(QV_VARIANT_B) || defined(QV_VARIANT_C)", "#else");
}

struct Expected {
    const char* macro;
    const char* english;
    const char* japanese;
    bool question;  // YES / NO, Japanese OK / Cancel
};

// Texts as the programs show them, "\n" marking a line break.
const Expected kMessages[] = {
    {"IDD_MSG_ALREADY_LISTED", "The selected picture has already been listed.\\nSelect another picture.",
     "すでにリストに表示されている画像が選択されました。\\n他の画像を選択してください。", false},
    {"IDD_MSG_CONFIRM_REMOVE", "Are you sure you want to remove the picture from the list?",
     "この画像をリストから削除します。\\nよろしいですか？", true},
    {"IDD_MSG_CONFIRM_INITIALIZE", "Are you sure you want to initialize the list?",
     "画像リストを初期設定に戻します。よろしいですか？", true},
    {"IDD_MSG_LIST_FULL", "Cannot add any more pictures.\\nThe maximum number of pictures to add is 10.",
     "画像を追加できません。\\n追加できる画像は 10 枚までです。", false},
    {"IDD_MSG_UNSUPPORTED_FILE", "Non-supported file is selected.\\nSelect a JPEG or BMP file.",
     "サポートされていない形式のファイルが選択されました。\\nJPEG または BMP 形式のファイルを選択してください。", false},
    {"IDD_MSG_PICTURE_TOO_LARGE",
     "Cannot add this picture.\\nThe largest picture that can be added is 100 megapixels, 16384 pixels a side.",
     "画像を追加できません。\\n追加できる画像は 1億画素、一辺 16384 ピクセルまでです。", false},
    {"IDD_MSG_OUT_OF_MEMORY",
     "Cannot allocate enough memory for the selected file.\\nDecrease the file size and try again.",
     "ファイルに対して十分なメモリ領域を確保できませんでした。\\nファイルサイズを小さくして再度実行してください。", false},
    {"IDD_MSG_CANNOT_DELETE_ALL",
     "Cannot delete all pictures in the list.\\nIf you want to initialize the picture list, click [Initialize].",
     "リスト内の画像をすべて削除することはできません。\\n\\n画像リストをお買い上げ時の状態に戻すときは、\\n[初期設定] をクリックしてください。",
     false},
    {"IDD_MSG_CANNOT_SAVE_PICTURE",
     "Cannot save the picture.\\nCheck that the disk has free space and that you may write to it.",
     "画像を保存できません。\\nディスクの空き容量と、書き込みの権限があることを確認してください。", false},
    {"IDD_MSG_FOLDER_WITHOUT_PICTURES", "This folder has no pictures that can be shown.\\nSelect another folder.",
     "このフォルダーには表示できる画像がありません。\\n他のフォルダーを選択してください。", false},
};

}  // namespace

TEST(MessageResources, TemplateNumbersMatchTheVariantRecords) {
#ifdef _WIN32
    GTEST_SKIP() << "reads the source tree, which only the native build is given";
#endif
    const std::string header = sourceFile("resources/messages.h");
    if (header.empty()) GTEST_SKIP() << "QV_SOURCE_DIR is not set";

    auto check = [&](const std::string& branch, const qv::Variant& v) {
        const auto n = templateDefines(header, branch);
        ASSERT_EQ(n.size(), 10u) << branch;
        const qv::MessageTemplates& t = v.messages;
        EXPECT_EQ(n.at("IDD_MSG_ALREADY_LISTED"), t.alreadyListed) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_CONFIRM_REMOVE"), t.confirmRemove) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_CONFIRM_INITIALIZE"), t.confirmInitialize) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_LIST_FULL"), t.listFull) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_UNSUPPORTED_FILE"), t.unsupportedFile) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_PICTURE_TOO_LARGE"), t.pictureTooLarge) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_OUT_OF_MEMORY"), t.outOfMemory) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_CANNOT_DELETE_ALL"), t.cannotDeleteAll) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_CANNOT_SAVE_PICTURE"), t.cannotSavePicture) << v.letter;
        EXPECT_EQ(n.at("IDD_MSG_FOLDER_WITHOUT_PICTURES"), t.folderWithoutPictures) << v.letter;
    };
    check("A", qv::variantA());
    check("BC", qv::variantB());
    check("BC", qv::variantC());

    // The captions are the product names.
    for (const qv::Variant* v : {&qv::variantA(), &qv::variantB(), &qv::variantC()})
        EXPECT_NE(header.find(std::string("#define QV_MSG_CAPTION \"") + v->productName + "\""),
                  std::string::npos)
            << v->letter;
}

TEST(MessageResources, EveryMessageHasItsTextAndButtonsInBothLanguages) {
#ifdef _WIN32
    GTEST_SKIP() << "reads the source tree, which only the native build is given";
#endif
    const std::string rc = sourceFile("resources/messages.rc");
    if (rc.empty()) GTEST_SKIP() << "QV_SOURCE_DIR is not set";
    EXPECT_EQ(rc.rfind("#pragma code_page(65001)", 0), 0u);  // UTF-8 for windres

    // The shared style: a popup with caption and modal frame, no system menu.
    const std::regex style(R"(#define QV_MSG_STYLE ([^\n]*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rc, m, style));
    const std::string flags = m[1];
    for (const char* flag : {"WS_POPUP", "WS_CAPTION", "DS_MODALFRAME"})
        EXPECT_NE(flags.find(flag), std::string::npos) << flag;
    EXPECT_EQ(flags.find("WS_SYSMENU"), std::string::npos);

    const auto all = templates(rc);
    EXPECT_EQ(all.size(), 10u);
    for (const Expected& e : kMessages) {
        SCOPED_TRACE(e.macro);
        ASSERT_EQ(all.count(e.macro), 1u);
        const auto& pair = all.at(e.macro);
        ASSERT_EQ(pair.size(), 2u);
        for (const Template& t : pair) {
            const bool japanese = t.language.find("LANG_JAPANESE") != std::string::npos;
            if (!japanese) {
                EXPECT_NE(t.language.find("LANG_ENGLISH"), std::string::npos);
            }
            EXPECT_NE(t.body.find("STYLE QV_MSG_STYLE\n"), std::string::npos);
            EXPECT_NE(t.body.find("CAPTION QV_MSG_CAPTION\n"), std::string::npos);
            EXPECT_NE(t.body.find("FONT 9, \"ＭＳ Ｐゴシック\""), std::string::npos);
            const std::string text = std::string("CTEXT \"") + (japanese ? e.japanese : e.english) +
                                     "\", IDC_MESSAGE_TEXT,";
            EXPECT_NE(t.body.find(text), std::string::npos) << (japanese ? "Japanese" : "English");
            const std::string first = e.question && !japanese ? "YES" : "OK";
            EXPECT_NE(t.body.find("DEFPUSHBUTTON \"" + first + "\", IDOK,"), std::string::npos);
            if (e.question) {
                const std::string second = japanese ? "ｷｬﾝｾﾙ" : "NO";
                EXPECT_NE(t.body.find("PUSHBUTTON \"" + second + "\", IDCANCEL,"), std::string::npos);
            } else {
                EXPECT_EQ(t.body.find("IDCANCEL"), std::string::npos);
            }
        }
        EXPECT_NE(pair[0].language, pair[1].language);
    }
}
