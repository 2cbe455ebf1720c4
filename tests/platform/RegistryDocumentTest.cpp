#include "platform/RegistryDocument.h"
#include "platform/RegistryValueLine.h"

#include <gtest/gtest.h>

#include <random>

using platform::RegistryDocument;
using platform::RegistryValue;
namespace RegistryType = platform::RegistryType;

namespace {

RegistryDocument parsed(const std::string& text)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    EXPECT_TRUE(document.parse(text)) << text;
    return document;
}

RegistryDocument roundTrip(const RegistryDocument& document)
{
    return parsed(document.format());
}

}

// Backslashes and quotes must be escaped on the way out and unescaped on the way in, or a
// folder path written by the program would come back changed.
TEST(RegistryDocument, EscapedTextSurvivesARoundTrip)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    document.setValue("A\\B", RegistryValue::text("Na\"me\\", "C:\\dir\\ \"quoted\" \\\\"));
    std::string text = document.format();
    EXPECT_NE(text.find("\"Na\\\"me\\\\\"=\"C:\\\\dir\\\\ \\\"quoted\\\" \\\\\\\\\""), std::string::npos)
        << text;
    RegistryDocument again = roundTrip(document);
    const RegistryValue* value = again.findValue("A\\B", "Na\"me\\");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->asText(), "C:\\dir\\ \"quoted\" \\\\");
    EXPECT_EQ(value->type, RegistryType::String);
}

TEST(RegistryDocument, NamesMatchWithoutCaseAndKeepTheirFirstCase)
{
    RegistryDocument document
        = parsed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tarnwick]\n\"Level\"=dword:00000001\n");
    ASSERT_NE(document.findValue("SOFTWARE\\tarnwick", "LEVEL"), nullptr);
    document.setValue("software\\TARNWICK", RegistryValue::dword("level", 2));
    std::string text = document.format();
    EXPECT_NE(
        text.find("[HKEY_CURRENT_USER\\Software\\Tarnwick]\n\"Level\"=dword:00000002\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("TARNWICK"), std::string::npos) << "a second key was made for another case";
    // Only ASCII letters fold: other bytes must match exactly.
    EXPECT_EQ(document.findValue("Software\\Tarnwick", "Lével"), nullptr);
}

TEST(RegistryDocument, DefaultValueIsTheAtSignAndDistinctFromANamedOne)
{
    RegistryDocument document
        = parsed("REGEDIT4\n\n[HKEY_CURRENT_USER\\.doc]\n@=\"Word.Document.8\"\n\"@\"=\"named\"\n");
    ASSERT_NE(document.findValue(".doc", ""), nullptr);
    EXPECT_EQ(document.findValue(".doc", "")->asText(), "Word.Document.8");
    EXPECT_EQ(document.findValue(".doc", "@")->asText(), "named");
    std::string text = document.format();
    EXPECT_NE(text.find("\n@=\"Word.Document.8\"\n"), std::string::npos) << text;
}

// An empty key is a setting in itself (the program creates its settings key empty).
TEST(RegistryDocument, EmptyKeysAreKeptAndParentsExist)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    EXPECT_TRUE(document.createKey("SOFTWARE\\Tarnwick\\Empty"));
    RegistryDocument again = roundTrip(document);
    EXPECT_TRUE(again.keyExists("software\\tarnwick\\empty"));
    EXPECT_TRUE(again.keyExists("SOFTWARE\\Tarnwick"));
    EXPECT_FALSE(again.keyExists("SOFTWARE\\Tarnwick\\Empty\\Below"));
    EXPECT_FALSE(again.keyExists("SOFTWARE\\Tarn"));
    ASSERT_NE(again.values("SOFTWARE\\Tarnwick\\Empty"), nullptr);
    EXPECT_TRUE(again.values("SOFTWARE\\Tarnwick\\Empty")->empty());
}

// A hand-written file may name only the deepest key; its parents must still exist and list it.
TEST(RegistryDocument, ParentsOfAListedKeyExistWithoutSections)
{
    RegistryDocument document = parsed("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\C]\n");
    EXPECT_TRUE(document.keyExists("A"));
    EXPECT_EQ(document.subkeyNames("A"), std::vector<std::string> { "B" });
    EXPECT_EQ(document.subkeyNames(""), std::vector<std::string> { "A" });
}

// Types the program never writes must come back byte for byte, or editing one setting with the
// program would damage a value that another tool put there.
TEST(RegistryDocument, UnknownTypesAndOddStringsKeepTheirBytes)
{
    std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"
                       "\"Bin\"=hex:00,ff,10\n"
                       "\"Multi\"=hex(7):61,00,62,00,00\n"
                       "\"Big\"=hex(b):01,02,03,04,05,06,07,08\n"
                       "\"Odd\"=hex(1234):\n"
                       "\"Wrapped\"=hex:01,02,\\\n  03,04\n"
                       "\"ShortDword\"=hex(4):01,02\n";
    RegistryDocument document = parsed(text);
    RegistryValue lines;
    lines.name = "Lines";
    lines.type = RegistryType::String;
    lines.data = { 'a', '\n', 'b', 0 };
    document.setValue("K", lines);
    RegistryDocument again = roundTrip(document);
    EXPECT_EQ(again.findValue("K", "Bin")->data, (std::vector<unsigned char> { 0x00, 0xff, 0x10 }));
    EXPECT_EQ(again.findValue("K", "Multi")->type, RegistryType::MultiString);
    EXPECT_EQ(again.findValue("K", "Big")->type, RegistryType::Qword);
    EXPECT_EQ(again.findValue("K", "Big")->data.size(), 8u);
    EXPECT_EQ(again.findValue("K", "Odd")->type, 0x1234u);
    EXPECT_TRUE(again.findValue("K", "Odd")->data.empty());
    EXPECT_EQ(again.findValue("K", "Wrapped")->data, (std::vector<unsigned char> { 1, 2, 3, 4 }));
    EXPECT_EQ(again.findValue("K", "ShortDword")->type, RegistryType::Dword);
    EXPECT_EQ(again.findValue("K", "ShortDword")->data.size(), 2u);
    EXPECT_EQ(again.findValue("K", "Lines")->data, lines.data);
    EXPECT_EQ(again.findValue("K", "Lines")->type, RegistryType::String);
}

TEST(RegistryDocument, ExpandStringIsHexTwoOfItsText)
{
    EXPECT_EQ(
        platform::formatRegistryValueLine(RegistryValue::text("P", "%HOME%", RegistryType::ExpandString)),
        "\"P\"=hex(2):25,48,4f,4d,45,25,00");
    EXPECT_EQ(
        platform::formatRegistryValueLine(RegistryValue::dword("D", 0xdeadbeef)), "\"D\"=dword:deadbeef");
}

// Hand edits include comments; rewriting the file must not drop them.
TEST(RegistryDocument, CommentsAndCrLfLinesSurvive)
{
    RegistryDocument document = parsed("\xEF\xBB\xBFREGEDIT4\r\n\r\n; my level\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                       "\"A\"=\"x\"\r\n; tail\r\n");
    EXPECT_EQ(document.findValue("K", "A")->asText(), "x");
    std::string text = document.format();
    EXPECT_NE(text.find("; my level\n[HKEY_CURRENT_USER\\K]"), std::string::npos) << text;
    EXPECT_NE(text.find("; tail"), std::string::npos) << text;
}

// Anything that is not exactly a store file of this root must be refused as a whole, so that the
// store treats it as unreadable (and keeps it) instead of half-reading it.
TEST(RegistryDocument, RefusesWhatIsNotAStoreFileOfItsRoot)
{
    const char* broken[] = {
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n",
        "REGEDIT4\n\"A\"=\"value before any key\"\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n",
        "REGEDIT4\n[HKEY_CURRENT_USERS\\K]\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER\\K]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"bad \\escape\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=dword:\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=hex:1,2\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=hex:01,02,\\\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"A\"=-\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K\\\\L]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\ngarbage\n",
        "\x7f"
        "ELF\x02\x01\x01\0\0\0",
    };
    for (const char* text : broken) {
        RegistryDocument document("HKEY_CURRENT_USER");
        EXPECT_FALSE(document.parse(text)) << text;
        EXPECT_FALSE(document.keyExists("K")) << "a refused file left keys behind: " << text;
    }
}

TEST(RegistryDocument, DeleteKeyTakesEverythingBelowButNotSiblingsWithTheSamePrefix)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    document.createKey("A\\B\\C");
    document.createKey("A\\BC");
    EXPECT_TRUE(document.deleteKey("a\\b"));
    EXPECT_FALSE(document.keyExists("A\\B\\C"));
    EXPECT_FALSE(document.keyExists("A\\B"));
    EXPECT_TRUE(document.keyExists("A\\BC"));
    EXPECT_FALSE(document.deleteKey("A\\B"));
    EXPECT_FALSE(document.deleteValue("A\\BC", "none"));
}

TEST(RegistryDocument, RefusesPathsAndNamesTheFileCannotHold)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    EXPECT_FALSE(document.setValue("A\\\\B", RegistryValue::dword("x", 1)));
    EXPECT_FALSE(document.setValue("\\A", RegistryValue::dword("x", 1)));
    EXPECT_FALSE(document.setValue("A", RegistryValue::dword("two\nlines", 1)));
    EXPECT_FALSE(document.createKey("A\nB"));
    EXPECT_FALSE(document.keyExists("A"));
}

// Damaged files come in every shape. Whatever a mutated file gives, reading it must not crash,
// and whatever is accepted must be written back in a form that reads back the same.
TEST(RegistryDocument, MutatedFilesNeverCrashAndAcceptedOnesRoundTrip)
{
    const std::string seed
        = "REGEDIT4\n\n; c\n[HKEY_CURRENT_USER\\A\\B]\n@=\"x\\\\y\\\"z\"\n\"N\"=dword:0000000a\n"
          "\"H\"=hex(2):41,42,\\\n  00\n[HKEY_CURRENT_USER]\n\"r\"=hex:\n";
    const std::string alphabet = "[]\\\"@=:,;\n\r hexdword()0fA\t";
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = seed;
        for (int edit = 1 + random() % 4; edit > 0; --edit) {
            size_t position = random() % (text.size() + 1);
            if (random() % 3 == 0)
                text.insert(position, 1, alphabet[random() % alphabet.size()]);
            else if (position < text.size() && random() % 2)
                text.erase(position, 1);
            else if (position < text.size())
                text[position] = static_cast<char>(random());
        }
        RegistryDocument document("HKEY_CURRENT_USER");
        if (!document.parse(text))
            continue;
        ++accepted;
        std::string written = document.format();
        RegistryDocument again("HKEY_CURRENT_USER");
        ASSERT_TRUE(again.parse(written)) << text;
        ASSERT_EQ(again.format(), written) << text;
    }
    EXPECT_GT(accepted, 0) << "no mutation was accepted, so the round trip was never checked";
}

// Catches a store of many keys read wrongly once keys and values are found through an index:
// 20,000 keys in groups, one key with thousands of values, a key whose section comes twice in
// another case, and a value named twice in another case. Every key and value is found with its
// first case and its last data, and the text written back reads back the same.
TEST(RegistryDocument, StoreOfManyKeysReadsBackWhole)
{
    const int Keys = 20000;
    const int CrowdedValues = 5000;
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < Keys; ++i) {
        text += "\n[HKEY_CURRENT_USER\\Software\\Group" + std::to_string(i % 50) + "\\Key" + std::to_string(i)
            + "]\n\"Number\"=dword:" + std::string(8 - std::to_string(i % 10).size(), '0')
            + std::to_string(i % 10) + "\n\"Name\"=\"key " + std::to_string(i) + "\"\n";
    }
    text += "\n[HKEY_CURRENT_USER\\Software\\Crowded]\n";
    for (int i = 0; i < CrowdedValues; ++i)
        text += "\"Value" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\n";
    text += "\n[HKEY_CURRENT_USER\\SOFTWARE\\GROUP7\\KEY7]\n\"NAME\"=\"renamed\"\n\"Extra\"=hex:01\n";

    RegistryDocument document = parsed(text);
    for (int i : { 0, 1, 7, 49, 50, 12345, Keys - 1 }) {
        SCOPED_TRACE(i);
        std::string key = "software\\group" + std::to_string(i % 50) + "\\KEY" + std::to_string(i);
        ASSERT_NE(document.findValue(key, "number"), nullptr);
        EXPECT_EQ(document.findValue(key, "number")->asDword(), static_cast<uint32_t>(i % 10));
        ASSERT_NE(document.values(key), nullptr);
        EXPECT_EQ(document.values(key)->front().name, "Number");
    }
    EXPECT_EQ(document.findValue("Software\\Group7\\Key7", "name")->asText(), "renamed");
    EXPECT_EQ(document.values("Software\\Group7\\Key7")->at(1).name, "Name");
    EXPECT_EQ(document.values("Software\\Group7\\Key7")->size(), 3u);
    EXPECT_EQ(document.values("Software\\Group8\\Key8")->size(), 2u);
    EXPECT_EQ(document.values("Software\\Crowded")->size(), static_cast<size_t>(CrowdedValues));
    EXPECT_EQ(document.findValue("Software\\Crowded", "VALUE4321")->asText(), "4321");
    EXPECT_EQ(document.subkeyNames("Software").size(), 51u);
    EXPECT_EQ(document.subkeyNames("SOFTWARE\\GROUP3").size(), static_cast<size_t>(Keys / 50));
    EXPECT_EQ(document.subkeyNames("Software").front(), "Crowded");

    std::string written = document.format();
    RegistryDocument again = parsed(written);
    EXPECT_EQ(again.format(), written);
    EXPECT_EQ(written.find("GROUP7"), std::string::npos) << "a key was made twice in two cases";
}

// Catches keys or values found at their old places once others are removed before them: after
// removing a key with everything below it and a value from the middle of a key, every other key
// and value is still found with its own data, and what was removed is gone.
TEST(RegistryDocument, KeysAndValuesAreFoundAfterOthersAreRemoved)
{
    RegistryDocument document("HKEY_CURRENT_USER");
    for (int i = 0; i < 30; ++i) {
        std::string key = "A" + std::to_string(i % 3) + "\\K" + std::to_string(i);
        document.setValue(key, RegistryValue::dword("n", static_cast<uint32_t>(i)));
        document.setValue("Many", RegistryValue::dword("v" + std::to_string(i), static_cast<uint32_t>(i)));
    }
    EXPECT_TRUE(document.deleteKey("a1"));
    EXPECT_TRUE(document.deleteValue("MANY", "V10"));
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE(i);
        std::string key = "A" + std::to_string(i % 3) + "\\K" + std::to_string(i);
        const RegistryValue* value = document.findValue(key, "N");
        if (i % 3 == 1) {
            EXPECT_EQ(value, nullptr);
            EXPECT_FALSE(document.keyExists(key));
        } else {
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(value->asDword(), static_cast<uint32_t>(i));
        }
        const RegistryValue* many = document.findValue("Many", "v" + std::to_string(i));
        if (i == 10) {
            EXPECT_EQ(many, nullptr);
        } else {
            ASSERT_NE(many, nullptr);
            EXPECT_EQ(many->asDword(), static_cast<uint32_t>(i));
        }
    }
    EXPECT_TRUE(document.setValue("A1\\K1", RegistryValue::dword("N", 99)));
    EXPECT_EQ(document.findValue("a1\\k1", "n")->asDword(), 99u);
    EXPECT_EQ(document.findValue("A2\\K29", "n")->asDword(), 29u);
    EXPECT_EQ(document.subkeyNames(""), (std::vector<std::string> { "A0", "A1", "A2", "Many" }));
}
